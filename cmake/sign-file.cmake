# Signs one file in place with osslsigncode: SHA-256 digests, the PKCS#12 file's certificate, and
# an RFC 3161 time stamp when a server is named. The password is read from the environment
# (LV_SIGN_PASSWORD) and handed over on a pipe: it never appears on a command line or in a log.
#   cmake -DFILE=f -DPKCS12=p12 -DSIGNER=osslsigncode [-DDESCRIPTION=text] [-DTIMESTAMP_URL=url] -P sign-file.cmake
set(args sign -pkcs12 "${PKCS12}" -h sha256)
if(DESCRIPTION)
    list(APPEND args -n "${DESCRIPTION}")
endif()
if(TIMESTAMP_URL)
    list(APPEND args -ts "${TIMESTAMP_URL}")
endif()
set(signed "${FILE}.signed")
file(REMOVE "${signed}")
if(DEFINED ENV{LV_SIGN_PASSWORD})
    execute_process(COMMAND printenv LV_SIGN_PASSWORD
                    COMMAND "${SIGNER}" ${args} -readpass - -in "${FILE}" -out "${signed}"
                    RESULT_VARIABLE failed OUTPUT_QUIET)
else()
    execute_process(COMMAND "${SIGNER}" ${args} -in "${FILE}" -out "${signed}" RESULT_VARIABLE failed OUTPUT_QUIET)
endif()
if(failed OR NOT EXISTS "${signed}")
    file(REMOVE "${signed}")
    message(FATAL_ERROR "could not sign ${FILE}")
endif()
file(RENAME "${signed}" "${FILE}")
