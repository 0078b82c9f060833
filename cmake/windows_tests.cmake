# The Windows test programs, built by the cross build (tools/windows-tests.sh
# runs them under Wine) or on Windows itself:
#   test_platform, test_engine: the files of tests/platform and tests/engine
#     that need no Linux (no loop devices, FUSE, fork or POSIX headers): the
#     simulated drives and the copy engine on them, on this system's file
#     and thread layer (the inventory's and the command line's tests are
#     text and logic that run the same everywhere, so they are left to Linux);
#   test_windows: the Windows platform layer (tests/windows).
# GoogleTest is built from source with the same compiler (Debian's
# googletest package puts the sources in /usr/src/googletest, the default
# of ORVEL_GOOGLETEST_SOURCE).
if(NOT EXISTS "${ORVEL_GOOGLETEST_SOURCE}/CMakeLists.txt")
  message(WARNING "No GoogleTest sources in ${ORVEL_GOOGLETEST_SOURCE}: the Windows test programs are not built")
  return()
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory("${ORVEL_GOOGLETEST_SOURCE}" "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
enable_testing()

# orvel_runs_anywhere(out files...): the files that include nothing of Linux:
# no POSIX header, no platform/linux code, no helper that makes loop devices,
# mounts or child processes the POSIX way.
function(orvel_runs_anywhere out)
  set(linux_only_include
    "#include [<\"](unistd\\.h|fcntl\\.h|malloc\\.h|ftw\\.h|dirent\\.h|pwd\\.h|sys/|linux/|platform/linux/|linux_test_support\\.h|real_copy_fixture\\.h|support/(loop_device|faulty_disk|scoped_mount|run_command|spawned_process|process_resources)\\.h)")
  set(portable)
  foreach(file ${ARGN})
    file(STRINGS "${file}" linux_lines REGEX "${linux_only_include}")
    if(NOT linux_lines)
      list(APPEND portable "${file}")
    endif()
  endforeach()
  set(${out} ${portable} PARENT_SCOPE)
endfunction()

set(tests_dir "${PROJECT_SOURCE_DIR}/tests")
file(GLOB support_sources CONFIGURE_DEPENDS "${tests_dir}/support/*.cpp")
orvel_runs_anywhere(support_sources ${support_sources})
file(GLOB windows_support_sources CONFIGURE_DEPENDS "${tests_dir}/windows/support/*.cpp")
add_library(orvel_test_support STATIC ${support_sources} ${windows_support_sources})
target_link_libraries(orvel_test_support PUBLIC orvel_engine gtest)
target_include_directories(orvel_test_support PUBLIC "${tests_dir}")
target_compile_definitions(orvel_test_support PUBLIC
  ORVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
  ORVEL_BINARY_DIR="${PROJECT_BINARY_DIR}"
  ORVEL_EXECUTABLE="$<TARGET_FILE:orvel-disk-image>"
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
orvel_strict_warnings(orvel_test_support)

add_library(orvel_windows_test_headers STATIC "${tests_dir}/windows/pch/test_headers.cpp")
target_link_libraries(orvel_windows_test_headers PRIVATE orvel_test_support gmock)
target_precompile_headers(orvel_windows_test_headers PRIVATE <gmock/gmock.h> <gtest/gtest.h>)
orvel_strict_warnings(orvel_windows_test_headers)

# One program per layer, as on Linux; each runs as one test (a Wine start
# per test case would cost more than the tests).
function(orvel_windows_test_program name)
  cmake_parse_arguments(ARG "" "MAIN" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_SOURCES)
    return()
  endif()
  if(ARG_MAIN)
    set(main_library gmock)
  else()
    set(main_library gmock_main)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE orvel_test_support ${ARG_DEPS} ${main_library})
  # GoogleTest's headers are most of what every test file compiles.
  if(TARGET orvel_windows_test_headers)
    target_precompile_headers(${name} REUSE_FROM orvel_windows_test_headers)
  endif()
  orvel_strict_warnings(${name})
  orvel_windows_resources(${name} asInvoker)
  add_dependencies(${name} orvel-disk-image)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

foreach(layer platform engine)
  file(GLOB layer_sources CONFIGURE_DEPENDS "${tests_dir}/${layer}/*.cpp")
  orvel_runs_anywhere(layer_sources ${layer_sources})
  set(layer_library orvel_${layer})
  if(layer STREQUAL "platform")
    set(layer_library orvel_engine)
  endif()
  orvel_windows_test_program(test_${layer} SOURCES ${layer_sources} DEPS ${layer_library})
endforeach()

file(GLOB windows_test_sources CONFIGURE_DEPENDS
  "${tests_dir}/windows/*.cpp" "${tests_dir}/windows/requests/*.cpp" "${tests_dir}/windows/platform/*.cpp")
orvel_windows_test_program(test_windows MAIN own SOURCES ${windows_test_sources} DEPS orvel_engine)
