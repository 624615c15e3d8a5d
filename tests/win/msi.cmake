# The Windows Installer package under Wine's own msiexec, in a prefix of its own; only when the
# build makes the package.
if(NOT TARGET lviehlp_msi)
    return()
endif()
# The same files packaged as the next two versions (last field + 1 and + 2), to be installed over
# this one and over each other, with host manifests and offers built from a scratch copy of
# extension/ids.json that names store ids.
string(REGEX MATCH "[0-9]+$" lv_last "${LV_PACKAGE_VERSION}")
set(lv_store_dir "${CMAKE_BINARY_DIR}/package/store-ids")
file(READ "${LV_EXTENSION_IDS}" lv_ids)
string(JSON lv_ids SET "${lv_ids}" chrome-web-store [["abcdefghijklmnopabcdefghijklmnop"]])
string(JSON lv_ids SET "${lv_ids}" edge-add-ons [["ponmlkjihgfedcbaponmlkjihgfedcba"]])
file(CONFIGURE OUTPUT "${lv_store_dir}/ids.json" CONTENT "${lv_ids}" @ONLY)
lv_host_manifests("${lv_store_dir}/ids.json" "${lv_store_dir}")
foreach(lv_step NEXT AFTER_NEXT)
    math(EXPR lv_last "${lv_last} + 1")
    string(REGEX REPLACE "[0-9]+$" "${lv_last}" LV_${lv_step}_VERSION "${LV_PACKAGE_VERSION}")
    set(LV_${lv_step}_MSI "${CMAKE_BINARY_DIR}/package/lviehlp-${LV_${lv_step}_VERSION}.msi")
    string(TOLOWER "lviehlp_${lv_step}_msi" lv_target)
    lv_add_msi(${lv_target} "${LV_${lv_step}_MSI}" ${LV_${lv_step}_VERSION} "${lv_store_dir}/ids.json" "${lv_store_dir}")
endforeach()

# In the suite's prefix kind and, for the 32-bit package, under WOW64 in a 64-bit prefix too.
lv_windows_test(msi_tests msi_tests.cpp TIMEOUT 300
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/msi-tests.sh $<TARGET_FILE:msi_tests>)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    lv_windows_test(msi_tests_wow64 TIMEOUT 300
        COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/msi-tests.sh $<TARGET_FILE:msi_tests> win64)
endif()
target_compile_definitions(msi_tests PRIVATE LV_MSI_NAME="${LV_MSI_NAME}" LV_VERSION="${LV_PACKAGE_VERSION}"
    LV_NEXT_MSI="${LV_NEXT_MSI}" LV_NEXT_VERSION="${LV_NEXT_VERSION}"
    LV_AFTER_NEXT_MSI="${LV_AFTER_NEXT_MSI}" LV_AFTER_NEXT_VERSION="${LV_AFTER_NEXT_VERSION}")
add_dependencies(msi_tests lviehlp_msi lviehlp_next_msi lviehlp_after_next_msi)

# The package's tables, read as files: the locked folder, registration on repair, File.Version.
lv_windows_test(msi_tables COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/msi-tables.sh "${LV_DIST_DIR}/${LV_MSI_NAME}" ${LV_PACKAGE_VERSION})
