# ORVEL_SANITIZE (address,undefined or thread) instruments everything built here.
if(ORVEL_SANITIZE)
  add_compile_options(-fsanitize=${ORVEL_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ORVEL_SANITIZE})
  # GCC's flow analysis sees the instrumentation's extra paths and reports
  # uninitialised values in the standard library (std::regex, std::function)
  # that the plain build does not; the sanitizers themselves check for real ones.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
endif()
