# Project code builds clean with every warning an error; third-party code does not get these flags.
function(qm_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
