# Gives a package its package code from its own bytes, with the clock fixed: first a zero code,
# then the name-based UUID of the package's SHA-256 with that zero code in it.
#   cmake -DMSI=file -DMSIBUILD=msibuild -DFAKETIME=faketime -DCLOCK="YYYY-MM-DD hh:mm:ss" -DNAMESPACE=uuid -DTITLE=text -P pin-msi.cmake
function(set_summary code)
    execute_process(COMMAND "${FAKETIME}" -f "@${CLOCK}" "${MSIBUILD}" "${MSI}" -s "${TITLE}" "lviehlp project" "Intel;1033" "{${code}}"
        RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "msibuild could not set the summary of ${MSI}")
    endif()
endfunction()
set_summary(00000000-0000-0000-0000-000000000000)
file(SHA256 "${MSI}" bytes)
string(UUID code NAMESPACE "${NAMESPACE}" NAME "package ${bytes}" TYPE SHA1 UPPER)
set_summary(${code})
