# Our own code builds warning-free; third-party headers are included as system headers.
function(orvel_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor)
endfunction()
