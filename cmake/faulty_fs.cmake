# orvel-faulty-fs: a FUSE file system whose served file has sectors that fail
# with EIO; attached as a loop device it gives the tests real unreadable and
# unwritable sectors. Built only for the tests, and only where libfuse3 is
# found; without it the target is absent and the tests that need it skip.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(FUSE3 QUIET IMPORTED_TARGET fuse3)
endif()
if(FUSE3_FOUND)
  file(GLOB FAULTY_FS_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/faulty_fs/*.cpp)
  add_executable(orvel-faulty-fs ${FAULTY_FS_SOURCES})
  # The imported target's include folder is a system one, so libfuse's own
  # headers do not meet our warning flags.
  target_link_libraries(orvel-faulty-fs PRIVATE PkgConfig::FUSE3)
  set_target_properties(orvel-faulty-fs PROPERTIES AUTOMOC OFF AUTORCC OFF)
  orvel_strict_warnings(orvel-faulty-fs)
else()
  message(STATUS "libfuse3 not found: orvel-faulty-fs is not built; tests with failing sectors on loop devices will skip")
endif()
