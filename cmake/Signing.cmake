# Authenticode signing of the installers with osslsigncode (SHA-256). Without
# a certificate nothing is signed.
set(QUENNEL_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 certificate to sign the installers with")
set(QUENNEL_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the certificate's password")
set(QUENNEL_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 timestamp server; empty for none")

if(QUENNEL_SIGN_PKCS12)
  if(NOT EXISTS "${QUENNEL_SIGN_PKCS12}")
    message(FATAL_ERROR "QUENNEL_SIGN_PKCS12: no certificate at ${QUENNEL_SIGN_PKCS12}")
  endif()
  if(NOT QUENNEL_SIGN_PASSWORD_FILE OR NOT EXISTS "${QUENNEL_SIGN_PASSWORD_FILE}")
    message(FATAL_ERROR "QUENNEL_SIGN_PASSWORD_FILE must name the file holding the certificate's password")
  endif()
  find_program(QUENNEL_OSSLSIGNCODE osslsigncode REQUIRED)
endif()

# Signs the target's executable after each link.
function(quennel_sign target)
  if(NOT QUENNEL_SIGN_PKCS12)
    return()
  endif()
  set(timestamp "")
  if(QUENNEL_SIGN_TIMESTAMP_URL)
    set(timestamp -ts ${QUENNEL_SIGN_TIMESTAMP_URL})
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${QUENNEL_OSSLSIGNCODE} sign -pkcs12 ${QUENNEL_SIGN_PKCS12} -readpass ${QUENNEL_SIGN_PASSWORD_FILE}
            -h sha256 -n "Quennel Language Pack" ${timestamp}
            -in $<TARGET_FILE:${target}> -out $<TARGET_FILE:${target}>.signed
    COMMAND ${CMAKE_COMMAND} -E rename $<TARGET_FILE:${target}>.signed $<TARGET_FILE:${target}>
    COMMENT "Signing $<TARGET_FILE_NAME:${target}>"
    VERBATIM)
endfunction()
