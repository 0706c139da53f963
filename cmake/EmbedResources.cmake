# Compiles the bitmaps of resources/bitmaps into the program for the
# backends that have no resource compiler: each NAME.bmp becomes the packed
# DIB (the file without its 14-byte file header) of the bitmap named NAME.
set(VYLA_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedBitmaps.cmake)

function(vyla_embed_bitmaps out_cpp bitmap_dir)
  file(GLOB bitmaps CONFIGURE_DEPENDS ${bitmap_dir}/*.bmp)
  list(SORT bitmaps)
  string(REPLACE ";" "|" files_arg "${bitmaps}")
  add_custom_command(
    OUTPUT ${out_cpp}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out_cpp} -DFILES=${files_arg} -P ${VYLA_EMBED_SCRIPT}
    DEPENDS ${bitmaps} ${VYLA_EMBED_SCRIPT}
    COMMENT "Embedding bitmaps"
    VERBATIM)
endfunction()
