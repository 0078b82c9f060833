# On Linux: the Windows platform's request buffers and answer parsers
# (platform/windows/requests) are pure code, so their tests run here too,
# as test_windows_requests. The Windows build compiles them into the
# platform library (and the same tests into test_windows).

file(GLOB ORVEL_WINDOWS_REQUEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/windows/requests/*.cpp)
orvel_library(orvel_windows_requests FOLDERS platform SOURCES ${ORVEL_WINDOWS_REQUEST_SOURCES})

# GoogleTest is found by tests/ in its own folder; the test program comes
# once the top-level file is read.
function(orvel_add_windows_request_tests)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/windows/requests/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_windows_requests ${sources})
  target_link_libraries(test_windows_requests PRIVATE orvel_windows_requests GTest::gtest_main)
  orvel_strict_warnings(test_windows_requests)
  gtest_discover_tests(test_windows_requests DISCOVERY_TIMEOUT 60)
endfunction()
cmake_language(DEFER CALL orvel_add_windows_request_tests)
