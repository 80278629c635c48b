# In a build tree the panel loads its weather icons from tianqi_ICON beside
# its own executable. skyvane_copy_icons(target) keeps a copy of the whole
# data/tianqi_ICON folder (every icon set in it) beside `target`'s
# executable, refreshed whenever a file in it changes.
function(skyvane_copy_icons target)
  set(source_dir "${PROJECT_SOURCE_DIR}/data/tianqi_ICON")
  file(GLOB_RECURSE icons CONFIGURE_DEPENDS "${source_dir}/*")
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}_icons.stamp")
  add_custom_command(
    OUTPUT "${stamp}"
    COMMAND "${CMAKE_COMMAND}" -E copy_directory "${source_dir}"
            "$<TARGET_FILE_DIR:${target}>/tianqi_ICON"
    COMMAND "${CMAKE_COMMAND}" -E touch "${stamp}"
    DEPENDS ${icons}
    COMMENT "Copying the weather icons beside ${target}"
    VERBATIM)
  add_custom_target(${target}_icons DEPENDS "${stamp}")
  add_dependencies(${target} ${target}_icons)
endfunction()
