# The desktop entry and its polkit policy. Raw drive access needs root, so the
# entry starts the program through pkexec; the policy names the installed
# executable and lets it keep the display (allow_gui), and goes to
# ORVEL_POLKIT_ACTIONS_DIR.

set(orvel_desktop_entry_template "${PROJECT_SOURCE_DIR}/resources/org.orvel.disk-image.desktop.in")
set(orvel_polkit_policy_template "${PROJECT_SOURCE_DIR}/resources/org.orvel.disk-image.policy.in")
set(orvel_desktop_staging "${PROJECT_BINARY_DIR}/desktop-entry")

# Written at install time: the executable's path depends on the prefix, which
# `cmake --install --prefix` may change after configuring.
install(CODE "
  set(app_dir \"${ORVEL_INSTALL_APP_DIR}\")
  if(NOT IS_ABSOLUTE \"\${app_dir}\")
    set(app_dir \"\${CMAKE_INSTALL_PREFIX}/\${app_dir}\")
  endif()
  set(ORVEL_INSTALLED_EXECUTABLE \"\${app_dir}/orvel-disk-image\")
  set(ORVEL_DESKTOP_EXEC \"pkexec \${ORVEL_INSTALLED_EXECUTABLE}\")
  configure_file(\"${orvel_desktop_entry_template}\" \"${orvel_desktop_staging}/org.orvel.disk-image.desktop\" @ONLY)
  configure_file(\"${orvel_polkit_policy_template}\" \"${orvel_desktop_staging}/org.orvel.disk-image.policy\" @ONLY)

  set(actions_dir \"${ORVEL_POLKIT_ACTIONS_DIR}\")
  if(actions_dir STREQUAL \"\")
    if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\" OR CMAKE_INSTALL_PREFIX STREQUAL \"/usr/local\")
      set(actions_dir \"/usr/share/polkit-1/actions\")
    else()
      set(actions_dir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/polkit-1/actions\")
    endif()
  elseif(NOT IS_ABSOLUTE \"\${actions_dir}\")
    set(actions_dir \"\${CMAKE_INSTALL_PREFIX}/\${actions_dir}\")
  endif()

  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
       TYPE FILE FILES \"${orvel_desktop_staging}/org.orvel.disk-image.desktop\")
  file(INSTALL DESTINATION \"\${actions_dir}\"
       TYPE FILE FILES \"${orvel_desktop_staging}/org.orvel.disk-image.policy\")
")
