# The desktop program's companions: the help file beside the executable, the
# install layout, the gallery of skinned controls, and the test program's own
# resources.

# The help command opens "Orvel Disk Image.html" in the executable's folder,
# so the build puts a copy there.
set(ORVEL_HELP_FILE "${PROJECT_SOURCE_DIR}/docs/Orvel Disk Image.html")
get_target_property(orvel_executable_dir orvel-disk-image RUNTIME_OUTPUT_DIRECTORY)
if(NOT orvel_executable_dir)
  set(orvel_executable_dir "${PROJECT_BINARY_DIR}")
endif()
set(ORVEL_BUILT_HELP_FILE "${orvel_executable_dir}/Orvel Disk Image.html")
add_custom_command(
  OUTPUT "${ORVEL_BUILT_HELP_FILE}"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${ORVEL_HELP_FILE}" "${ORVEL_BUILT_HELP_FILE}"
  DEPENDS "${ORVEL_HELP_FILE}"
  COMMENT "Placing the help file beside orvel-disk-image")
add_custom_target(orvel_help_file ALL DEPENDS "${ORVEL_BUILT_HELP_FILE}")
add_dependencies(orvel-disk-image orvel_help_file)

# Installed layout: the executable and its help file share a folder of their
# own (the help file must sit beside the executable), bin/ holds a link to it,
# and the icon goes to the desktop's icon theme.
install(TARGETS orvel-disk-image RUNTIME DESTINATION "${ORVEL_INSTALL_APP_DIR}")
install(FILES "${ORVEL_HELP_FILE}" DESTINATION "${ORVEL_INSTALL_APP_DIR}")
install(CODE "
  set(app_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ORVEL_INSTALL_APP_DIR}\")
  set(bin_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(RELATIVE_PATH target \"\${bin_dir}\" \"\${app_dir}/orvel-disk-image\")
  file(MAKE_DIRECTORY \"\${bin_dir}\")
  message(STATUS \"Linking: \${bin_dir}/orvel-disk-image -> \${target}\")
  file(CREATE_LINK \"\${target}\" \"\${bin_dir}/orvel-disk-image\" SYMBOLIC)
")
foreach(size 64 128)
  install(FILES "${PROJECT_SOURCE_DIR}/resources/application_icon_${size}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
          RENAME orvel-disk-image.png)
endforeach()
install(FILES "${PROJECT_SOURCE_DIR}/resources/application_icon.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps"
        RENAME orvel-disk-image.svg)

# tools/gallery renders every skinned control in each of its states to PNG
# files, for a person to look at.
add_executable(orvel_gallery tools/gallery/gallery_main.cpp)
target_link_libraries(orvel_gallery PRIVATE orvel_controls)
orvel_strict_warnings(orvel_gallery)

# The test program exists only after tests/ has been read, at the end of the
# top-level file.
function(orvel_finish_gui_tests)
  if(NOT TARGET test_gui)
    return()
  endif()
  # Broken and empty PNG resources, for the loader's failure paths.
  target_sources(test_gui PRIVATE "${PROJECT_SOURCE_DIR}/tests/gui/test_resources.qrc")
  add_dependencies(test_gui orvel_help_file)
  add_test(NAME gallery
           COMMAND orvel_gallery "${PROJECT_BINARY_DIR}/gallery")
endfunction()
cmake_language(DEFER CALL orvel_finish_gui_tests)
