# zarn_archive(NAME <gfx|sfx|maps> ENTRIES <files...> DEPENDS <targets...>)
# Packs the files, in the order given, into data/<NAME>.qva with the project's
# own packer. The entry name of each file is its file name.
function(zarn_archive)
  cmake_parse_arguments(A "" "NAME" "ENTRIES;DEPENDS" ${ARGN})
  set(out ${ZARN_DATA_DIR}/${A_NAME}.qva)
  add_custom_command(OUTPUT ${out}
    COMMAND qvapack create ${out} ${A_ENTRIES}
    DEPENDS qvapack ${A_ENTRIES} ${A_DEPENDS}
    COMMENT "Packing data/${A_NAME}.qva"
    VERBATIM)
  set_property(GLOBAL APPEND PROPERTY ZARN_DATA_FILES ${out})
endfunction()
