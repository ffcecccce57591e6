# The Windows programs are the same bytes from the same sources, whatever
# folder they are built in and whenever, so that anyone can check that a
# published program came from the published sources:
# - the PE time stamp, which the linker takes from SOURCE_DATE_EPOCH, is the
#   variable's value where the builder sets it, else the time of the commit;
# - no path of the source or the build folder is compiled in (__FILE__ and
#   the like become relative);
# - archives carry no times or owners (MinGW's ar is deterministic by
#   default), and link-time optimisation runs in one partition.
# Gives fx_link_launcher, the command that every Windows program is linked
# through.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(fx_source_date_epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${CMAKE_CURRENT_LIST_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE fx_source_date_epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE fx_git_failed ERROR_QUIET)
  # Sources without their history: the stamp is zero, which Windows ignores.
  if(fx_git_failed)
    set(fx_source_date_epoch 0)
  endif()
endif()
if(NOT fx_source_date_epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a number of seconds, not \"${fx_source_date_epoch}\"")
endif()

get_filename_component(fx_top ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
add_compile_options(-ffile-prefix-map=${fx_top}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)

set(fx_link_launcher ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${fx_source_date_epoch}
    ${fx_top}/cmake/link-live-unwind-tables.py)
