# The Debian package, built by tools/package.sh (or the `package` target)
# through CPack's DEB generator from the optimised build: the program in
# /usr/bin, its desktop entry and polkit policies, the launcher that starts
# it through pkexec on X11 and Wayland sessions, icons, user guide, demo
# scenario, manual page and bash completion. Its install rules belong to the
# `deb` component and are left out of a plain `cmake --install`, which keeps
# its own layout (the program and its companions under libexec).
if(NOT ORVEL_BUILD_GUI OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

# The installed paths are fixed: the launcher, the helper and the policies name them.
set(ORVEL_PACKAGE_PREFIX /usr)
set(ORVEL_PACKAGE_PROGRAM "${ORVEL_PACKAGE_PREFIX}/bin/orvel-disk-image")
set(ORVEL_PACKAGE_LIBEXEC "${ORVEL_PACKAGE_PREFIX}/libexec/orvel-disk-image")
set(ORVEL_PACKAGE_WAYLAND_HELPER "${ORVEL_PACKAGE_LIBEXEC}/orvel-disk-image-wayland")

# On a Wayland session the program starts through this helper, which checks
# the socket handed over before the program uses it.
add_executable(orvel-disk-image-wayland packaging/wayland_session_main.cpp)
target_link_libraries(orvel-disk-image-wayland PRIVATE orvel_platform)
target_compile_definitions(orvel-disk-image-wayland PRIVATE ORVEL_PACKAGE_PROGRAM="${ORVEL_PACKAGE_PROGRAM}")
orvel_strict_warnings(orvel-disk-image-wayland)

function(orvel_stage_package_files staging)
  set(ORVEL_DESKTOP_EXEC "${ORVEL_PACKAGE_LIBEXEC}/orvel-disk-image-desktop")
  set(ORVEL_INSTALLED_EXECUTABLE "${ORVEL_PACKAGE_PROGRAM}")
  configure_file(resources/org.orvel.disk-image.desktop.in "${staging}/org.orvel.disk-image.desktop" @ONLY)
  configure_file(resources/org.orvel.disk-image.policy.in "${staging}/org.orvel.disk-image.policy" @ONLY)
  configure_file(packaging/org.orvel.disk-image.wayland.policy.in
                 "${staging}/org.orvel.disk-image.wayland.policy" @ONLY)
  configure_file(packaging/orvel-disk-image-desktop.in "${staging}/orvel-disk-image-desktop" @ONLY)

  # Compressed as Debian wants them (best compression, no time stamp), here
  # rather than in a build step: cpack installs without building.
  foreach(pair "docs/orvel-disk-image.1|orvel-disk-image.1.gz" "packaging/changelog|changelog.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 compressed)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${source}")
    execute_process(COMMAND gzip -9nc "${PROJECT_SOURCE_DIR}/${source}"
                    OUTPUT_FILE "${staging}/${compressed}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "Cannot compress ${source} for the package")
    endif()
  endforeach()
endfunction()

set(orvel_package_staging "${PROJECT_BINARY_DIR}/package-files")
orvel_stage_package_files("${orvel_package_staging}")

set(orvel_deb COMPONENT deb EXCLUDE_FROM_ALL)
install(TARGETS orvel-disk-image RUNTIME DESTINATION bin ${orvel_deb})
install(TARGETS orvel-disk-image-wayland RUNTIME DESTINATION libexec/orvel-disk-image ${orvel_deb})
install(PROGRAMS "${orvel_package_staging}/orvel-disk-image-desktop" DESTINATION libexec/orvel-disk-image ${orvel_deb})
install(FILES "${orvel_package_staging}/org.orvel.disk-image.desktop" DESTINATION share/applications ${orvel_deb})
install(FILES "${orvel_package_staging}/org.orvel.disk-image.policy"
              "${orvel_package_staging}/org.orvel.disk-image.wayland.policy"
        DESTINATION share/polkit-1/actions ${orvel_deb})
foreach(size 64 128)
  install(FILES resources/application_icon_${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
          RENAME orvel-disk-image.png ${orvel_deb})
endforeach()
install(FILES resources/application_icon.svg DESTINATION share/icons/hicolor/scalable/apps
        RENAME orvel-disk-image.svg ${orvel_deb})
install(FILES "docs/Orvel Disk Image.html" packaging/copyright "${orvel_package_staging}/changelog.gz"
        DESTINATION share/doc/orvel-disk-image ${orvel_deb})
install(DIRECTORY scenarios/demo DESTINATION share/orvel-disk-image/scenarios ${orvel_deb})
install(FILES "${orvel_package_staging}/orvel-disk-image.1.gz" DESTINATION share/man/man1 ${orvel_deb})
install(FILES packaging/orvel-disk-image.bash-completion DESTINATION share/bash-completion/completions
        RENAME orvel-disk-image ${orvel_deb})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvel-disk-image)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "${ORVEL_PACKAGE_PREFIX}")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL deb)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Orvel Disk Image maintainers <maintainers@orvel.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries from the binary (dpkg-shlibdeps); pkexec for the desktop entry,
# the Wayland platform plugin, and the face the windows are drawn in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "pkexec, qt6-wayland, fonts-liberation2")
# The summary is the synopsis line, the description the text below it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "disk cloning and imaging sector by sector, with SMART health")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Orvel Disk Image clones a drive or volume onto another (whole, a range of
sectors, or in reverse) and images one into a raw .img file. Unreadable
sectors are read again and, where they stay unreadable, marked on the
destination; every operation is logged. It lists the machine's drives and
shows their S.M.A.R.T. attributes.
.
It is a Qt desktop program, started as root through pkexec from its menu
entry, with a command line in the same executable.")
include(CPack)
