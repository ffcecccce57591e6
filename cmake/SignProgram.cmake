# Signs PROGRAM in place. The signed program is written beside it and only
# then takes its name; on failure the program is deleted, so that the next
# build links and signs it again instead of taking an unsigned file for done.
set(command ${TOOL} sign -pkcs12 ${PKCS12} -readpass ${PASSWORD_FILE} -h sha256 -n ${DESCRIPTION})
if(TIMESTAMP_URL)
  list(APPEND command -ts ${TIMESTAMP_URL})
endif()
file(REMOVE ${PROGRAM}.signed)
execute_process(COMMAND ${command} -in ${PROGRAM} -out ${PROGRAM}.signed
                RESULT_VARIABLE failed OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(failed)
  file(REMOVE ${PROGRAM} ${PROGRAM}.signed)
  message(FATAL_ERROR "Cannot sign ${PROGRAM}:\n${said}")
endif()
file(RENAME ${PROGRAM}.signed ${PROGRAM})
