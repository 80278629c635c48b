# Warnings for the project's own targets only; third-party headers come in as
# system includes and are not held to them. They stop the build only when
# SKYVANE_WERROR is on (scripts/test and CI turn it on), so that a newer or
# older compiler's new warning never breaks a user's plain build.
function(skyvane_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                           -Wnon-virtual-dtor)
  if(SKYVANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
