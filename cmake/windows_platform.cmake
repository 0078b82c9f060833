# The Windows build: the system libraries the platform layer calls, the
# Windows headers as the layer uses them, and the executable's resources
# (icon 128 and the manifest: administrator, common controls 6, DPI
# awareness, the supported systems).

target_compile_definitions(orvel_platform PRIVATE
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
target_link_libraries(orvel_platform PUBLIC ole32 oleaut32 wbemuuid)

# The test programs of tests/ need Linux (loop devices, FUSE, fork); Windows
# builds its own from the parts that run anywhere (windows_tests.cmake).
if(ORVEL_BUILD_TESTS)
  message(STATUS "Windows build: the Linux test programs are left out; cmake/windows_tests.cmake builds the Windows ones")
  set(ORVEL_BUILD_TESTS OFF)
endif()

enable_language(RC)

# orvel_windows_resources(target execution-level): the icon and a manifest
# asking for that execution level (requireAdministrator for the program,
# asInvoker for test programs), compiled into the target.
function(orvel_windows_resources target level)
  set(folder "${PROJECT_BINARY_DIR}/windows-resources/${target}")
  set(ORVEL_EXECUTION_LEVEL "${level}")
  set(ORVEL_MANIFEST_FILE "${folder}/${target}.manifest")
  set(ORVEL_ICON_FILE "${PROJECT_SOURCE_DIR}/resources/application_icon.ico")
  configure_file("${PROJECT_SOURCE_DIR}/resources/orvel-disk-image.manifest.in" "${ORVEL_MANIFEST_FILE}" @ONLY)
  configure_file("${PROJECT_SOURCE_DIR}/resources/orvel-disk-image.rc.in" "${folder}/${target}.rc" @ONLY)
  target_sources(${target} PRIVATE "${folder}/${target}.rc")
  set_property(SOURCE "${folder}/${target}.rc" APPEND PROPERTY OBJECT_DEPENDS
    "${ORVEL_MANIFEST_FILE}" "${ORVEL_ICON_FILE}")
endfunction()

orvel_windows_resources(orvel-disk-image requireAdministrator)
