# skyvane_install_gzipped(SOURCE DESTINATION): writes SOURCE into the build
# folder with its @VARIABLES@ replaced (a trailing ".in" dropped from its
# name), compresses it the way Debian wants manual pages and changelogs
# (gzip -9, no name or time stamp inside, so that builds repeat byte for
# byte) and installs NAME.gz in DESTINATION.
function(skyvane_install_gzipped source destination)
  get_filename_component(name "${source}" NAME)
  string(REGEX REPLACE "\\.in$" "" name "${name}")
  set(plain "${CMAKE_CURRENT_BINARY_DIR}/${name}")
  configure_file("${source}" "${plain}" @ONLY)
  add_custom_command(
    OUTPUT "${plain}.gz"
    COMMAND gzip -9 --no-name --force --keep "${plain}"
    DEPENDS "${plain}"
    COMMENT "Compressing ${name}"
    VERBATIM)
  string(MAKE_C_IDENTIFIER "${name}" id)
  add_custom_target(skyvane_gzip_${id} ALL DEPENDS "${plain}.gz")
  install(FILES "${plain}.gz" DESTINATION "${destination}")
endfunction()
