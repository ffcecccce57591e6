# Authenticode signatures (SHA-256) for the Windows programs that this build
# makes, off unless a release names its certificate. The carried programs
# are signed as soon as they are linked, so that the setup program embeds,
# and installs, signed files; the setup program is signed last. Programs
# given by FX_PAYLOAD_PROGRAM or FX_PAYLOAD_UNINSTALLER are embedded as
# given: they come signed from their own build.
set(FX_SIGN_PKCS12 "" CACHE FILEPATH
    "PKCS#12 file with the code-signing certificate and its key; empty: nothing is signed")
set(FX_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File whose first line is the password of FX_SIGN_PKCS12")
set(FX_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server for the signatures; empty: none")

if(FX_SIGN_PKCS12)
  if(NOT EXISTS "${FX_SIGN_PKCS12}" OR NOT EXISTS "${FX_SIGN_PASSWORD_FILE}")
    message(FATAL_ERROR "Signing needs FX_SIGN_PKCS12 and FX_SIGN_PASSWORD_FILE to name existing files")
  endif()
  find_program(FX_OSSLSIGNCODE osslsigncode REQUIRED)
endif()

# Signs the target's program after every link; DESCRIPTION is the name that
# Windows shows for it when it asks whether to run it.
function(fx_sign target description)
  if(NOT FX_SIGN_PKCS12)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DTOOL=${FX_OSSLSIGNCODE} -DPROGRAM=$<TARGET_FILE:${target}>
            -DDESCRIPTION=${description} -DPKCS12=${FX_SIGN_PKCS12}
            -DPASSWORD_FILE=${FX_SIGN_PASSWORD_FILE} -DTIMESTAMP_URL=${FX_SIGN_TIMESTAMP_URL}
            -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/SignProgram.cmake
    COMMENT "Signing ${description}"
    VERBATIM)
endfunction()
