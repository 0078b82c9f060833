# Our own code builds warning-free; third-party headers are included as system
# headers. ORVEL_WERROR makes a warning fail the build; it is off by default
# so that a newer compiler's new warning does not stop a user's build.
function(orvel_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${ORVEL_WERROR}>:-Werror> -Wshadow -Wnon-virtual-dtor)
endfunction()
