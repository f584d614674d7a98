# zarn_archive(NAME <gfx|sfx|maps> ENTRIES <files...> DEPENDS <targets...>)
# Packs the files, in the order given, into data/<NAME>.qva with the project's
# own packer. The entry name of each file is its file name. The archive is
# built by the target archive_<NAME>, which the `data` target waits for (the
# Makefile generators see a custom command's output only in its own folder).
function(zarn_archive)
  cmake_parse_arguments(A "" "NAME" "ENTRIES;DEPENDS" ${ARGN})
  set(out ${ZARN_DATA_DIR}/${A_NAME}.qva)
  add_custom_command(OUTPUT ${out}
    COMMAND qvapack create ${out} ${A_ENTRIES}
    DEPENDS qvapack ${A_ENTRIES} ${A_DEPENDS}
    COMMENT "Packing data/${A_NAME}.qva"
    VERBATIM)
  add_custom_target(archive_${A_NAME} ALL DEPENDS ${out})
  set_property(GLOBAL APPEND PROPERTY ZARN_DATA_TARGETS archive_${A_NAME})
endfunction()
