# Release-grade files: the DLL search after start-up (in a test program, then in the shipped one),
# and a build signed with a throwaway certificate (verified, run, installed and packaged under Wine).
foreach(kind beside system)
    add_library(lvplant_${kind} SHARED ${CMAKE_CURRENT_SOURCE_DIR}/plant.cpp)
    target_compile_definitions(lvplant_${kind} PRIVATE LV_PLANT_KIND=$<IF:$<STREQUAL:${kind},beside>,1,2>)
    target_link_options(lvplant_${kind} PRIVATE -static)
    set_target_properties(lvplant_${kind} PROPERTIES PREFIX "" OUTPUT_NAME lvplant
        RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/plant/${kind}")
endforeach()
lv_windows_test(hardening_tests hardening_tests.cpp)
add_dependencies(hardening_tests lvplant_beside lvplant_system)
# The shipped program itself: its own narrowing call comes before its first DLL load (relay trace).
lv_windows_test(dll_search COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/dll-search.sh ${LV_DIST_DIR})

find_program(LV_TEST_OSSLSIGNCODE osslsigncode)
find_program(LV_TEST_OPENSSL openssl)
if(TARGET lviehlp_msi AND LV_TEST_OSSLSIGNCODE AND LV_TEST_OPENSSL)
    lv_windows_test(signed_build TIMEOUT 900 COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/signed-build.sh
        "${CMAKE_SOURCE_DIR}" "${CMAKE_TOOLCHAIN_FILE}" "${CMAKE_BINARY_DIR}/signed" PROPERTIES RUN_SERIAL TRUE)
else()
    message(STATUS "osslsigncode, openssl or the package missing: no signed-build test")
endif()
