# Installs a file gzip-compressed as Debian wants documentation: at the
# highest level, without the file's name or time, so every build gives the
# same bytes. The file is also built by `all`, so an install never waits.
function(vyla_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND sh -c "gzip -9 -n -c \"$1\" >\"$2\"" sh ${source} ${compressed}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  add_custom_target(vyla_gzip_${name} ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION ${destination})
endfunction()
