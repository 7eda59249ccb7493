# Warnings are errors on the project's own code; third-party headers come in as SYSTEM.
function(calvaro_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()
