# The digest libraries. SHA-256 comes from the system's cryptography library:
# OpenSSL's libcrypto on Linux, CNG (bcrypt) on Windows. The region digests of
# a verification use xxHash as a header-only library (XXH_INLINE_ALL), so the
# one header serves the Windows build as well; it is copied into the build
# folder, because the cross compiler must not see the rest of /usr/include.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
  target_link_libraries(orvel_platform PRIVATE OpenSSL::Crypto)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  target_link_libraries(orvel_platform PUBLIC bcrypt)
endif()

set(ORVEL_XXHASH_HEADER "/usr/include/xxhash.h" CACHE FILEPATH "xxhash.h of xxHash 0.8 or later (Debian: libxxhash-dev)")
if(NOT EXISTS "${ORVEL_XXHASH_HEADER}")
  message(FATAL_ERROR "xxhash.h not found at ${ORVEL_XXHASH_HEADER}: install libxxhash-dev (tools/setup.sh does) or set ORVEL_XXHASH_HEADER")
endif()
configure_file("${ORVEL_XXHASH_HEADER}" "${PROJECT_BINARY_DIR}/third-party/xxhash/xxhash.h" COPYONLY)
target_include_directories(orvel_engine SYSTEM PRIVATE "${PROJECT_BINARY_DIR}/third-party/xxhash")
