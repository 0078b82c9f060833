# libFuzzer targets (fuzz/*_fuzz.cpp), one per parser of what drives, the
# system, scenario files and the operator hand the program; docs/fuzzing.md
# says how to run them. Only a clang build with -DORVEL_FUZZ=ON has them, and
# in that build every target is instrumented for coverage and built with
# AddressSanitizer and UndefinedBehaviorSanitizer, so that a fault in the
# parsers' own code stops the run.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(WARNING "ORVEL_FUZZ needs clang with libFuzzer (configure with CC=clang CXX=clang++); "
                  "no fuzz targets are built with ${CMAKE_CXX_COMPILER_ID}")
  return()
endif()

set(ORVEL_FUZZ_COMPILE_OPTIONS
  -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
set(ORVEL_FUZZ_LINK_OPTIONS -fsanitize=address,undefined)

# Targets made before this file (the libraries, the program) get the flags
# here; those made after it (tests/) take them from the directory.
get_property(ORVEL_TARGETS_SO_FAR DIRECTORY ${PROJECT_SOURCE_DIR} PROPERTY BUILDSYSTEM_TARGETS)
foreach(target ${ORVEL_TARGETS_SO_FAR})
  get_target_property(type ${target} TYPE)
  if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
    target_compile_options(${target} PRIVATE ${ORVEL_FUZZ_COMPILE_OPTIONS})
    target_link_options(${target} PRIVATE ${ORVEL_FUZZ_LINK_OPTIONS})
  endif()
endforeach()
add_compile_options(${ORVEL_FUZZ_COMPILE_OPTIONS})
add_link_options(${ORVEL_FUZZ_LINK_OPTIONS})

file(GLOB ORVEL_FUZZ_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*_fuzz.cpp)
add_custom_target(orvel_fuzz)
orvel_include_root(fuzz fuzz_root)
foreach(source ${ORVEL_FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE orvel_cli orvel_engine orvel_inventory orvel_platform)
  target_include_directories(${name} PRIVATE ${fuzz_root})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF)
  orvel_strict_warnings(${name})
  add_dependencies(orvel_fuzz ${name})
endforeach()
