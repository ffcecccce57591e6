# Writes the PE time stamp of the Windows programs into FILE: the builder's
# SOURCE_DATE_EPOCH where it is set, else the time of the commit, else zero
# (sources without their history; Windows ignores a zero stamp). Run at
# every build, it touches FILE only when the stamp changes, so that the
# programs are linked again after a new commit and only then.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${CMAKE_CURRENT_LIST_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_failed ERROR_QUIET)
  if(git_failed)
    set(epoch 0)
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a number of seconds, not \"${epoch}\"")
endif()
set(old "")
if(EXISTS ${FILE})
  file(READ ${FILE} old)
endif()
if(NOT old STREQUAL epoch)
  file(WRITE ${FILE} "${epoch}")
endif()
