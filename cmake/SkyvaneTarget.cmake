# Warnings as errors for the project's own targets only; third-party headers
# come in as system includes and are not held to them.
function(skyvane_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                           -Wnon-virtual-dtor -Werror)
endfunction()
