# Every folder of our code has an include root of its own below the build
# folder: include-roots/<folder> holds one link, <folder>, to the source
# folder. Includes are still written from the top ("engine/copy_job.h"), but a
# library sees only the roots of its own folders and of the libraries it links
# to, so a header of a higher layer is not found and the build fails.
function(orvel_include_root folder out)
  set(root "${PROJECT_BINARY_DIR}/include-roots/${folder}")
  if(NOT IS_SYMLINK "${root}/${folder}")
    file(MAKE_DIRECTORY "${root}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${folder}" "${root}/${folder}" RESULT failed SYMBOLIC)
    if(failed)
      # Windows without the right to make links: the whole tree is visible and
      # the layers go unchecked there.
      message(STATUS "No link for ${folder}/ (${failed}); includes are not checked against the layers")
      set(root "${PROJECT_SOURCE_DIR}")
    endif()
  endif()
  set(${out} "${root}" PARENT_SCOPE)
endfunction()

# orvel_library(name FOLDERS folders... SOURCES files... DEPS targets...): a
# static library of our own code, built from FOLDERS and seeing those and its
# DEPS' folders; or an interface target while its folders have no sources yet.
function(orvel_library name)
  cmake_parse_arguments(ARG "" "" "FOLDERS;SOURCES;DEPS" ${ARGN})
  set(roots)
  foreach(folder ${ARG_FOLDERS})
    orvel_include_root(${folder} root)
    list(APPEND roots "${root}")
  endforeach()
  set(compiled ${ARG_SOURCES})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|qrc)$")
  if(compiled)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    target_include_directories(${name} PUBLIC ${roots})
    orvel_strict_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    target_include_directories(${name} INTERFACE ${roots})
  endif()
endfunction()
