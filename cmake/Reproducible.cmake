# The Windows programs are the same bytes from the same sources, whatever
# folder they are built in and whenever, so that anyone can check that a
# published program came from the published sources:
# - the PE time stamp is the commit's time, or SOURCE_DATE_EPOCH where the
#   builder sets it (cmake/SourceDateEpoch.cmake keeps it in a file of the
#   build folder, which the links read and depend on);
# - no path of the source or the build folder is compiled in (__FILE__ and
#   the like become relative);
# - archives carry no times or owners (MinGW's ar is deterministic by
#   default), and link-time optimisation runs in one partition.
# Gives fx_link_launcher, the command that every Windows program is linked
# through, and fx_reproducible(TARGET) for each program that is shipped.
get_filename_component(fx_top ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
add_compile_options(-ffile-prefix-map=${fx_top}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)

set(fx_source_date_file ${CMAKE_BINARY_DIR}/source-date-epoch)
# Every program links through the launcher, which reads the file: it is
# made at configure time too, so that a program outside those that depend
# on its target (a test's helper program, built first) finds it.
execute_process(COMMAND ${CMAKE_COMMAND} -DFILE=${fx_source_date_file} -P ${fx_top}/cmake/SourceDateEpoch.cmake)
add_custom_target(fx_source_date
  COMMAND ${CMAKE_COMMAND} -DFILE=${fx_source_date_file} -P ${fx_top}/cmake/SourceDateEpoch.cmake
  BYPRODUCTS ${fx_source_date_file}
  VERBATIM)
set(fx_link_launcher ${fx_top}/cmake/with-source-date.sh ${fx_source_date_file}
    ${fx_top}/cmake/link-live-unwind-tables.py)

function(fx_reproducible target)
  add_dependencies(${target} fx_source_date)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${fx_source_date_file})
endfunction()
