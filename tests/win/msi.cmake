# The Windows Installer package under Wine's own msiexec, in a prefix of its own; only when the
# build makes the package.
if(NOT TARGET lviehlp_msi)
    return()
endif()
# The same files packaged as the next two versions (last field + 1, + 2), to be installed over this
# one, with host manifests and offers built from a scratch copy of extension/ids.json with store ids.
string(REGEX MATCH "[0-9]+$" lv_last "${LV_PACKAGE_VERSION}")
math(EXPR lv_last "${lv_last} + 1")
string(REGEX REPLACE "[0-9]+$" "${lv_last}" LV_NEXT_VERSION "${LV_PACKAGE_VERSION}")
set(LV_NEXT_MSI "${CMAKE_BINARY_DIR}/package/lviehlp-${LV_NEXT_VERSION}.msi")
math(EXPR lv_after "${lv_last} + 1")
string(REGEX REPLACE "[0-9]+$" "${lv_after}" LV_AFTER_NEXT_VERSION "${LV_PACKAGE_VERSION}")
set(LV_AFTER_NEXT_MSI "${CMAKE_BINARY_DIR}/package/lviehlp-${LV_AFTER_NEXT_VERSION}.msi")
set(lv_store_dir "${CMAKE_BINARY_DIR}/package/store-ids")
file(READ "${LV_EXTENSION_IDS}" lv_ids)
string(JSON lv_ids SET "${lv_ids}" chrome-web-store [["abcdefghijklmnopabcdefghijklmnop"]])
string(JSON lv_ids SET "${lv_ids}" edge-add-ons [["ponmlkjihgfedcbaponmlkjihgfedcba"]])
file(CONFIGURE OUTPUT "${lv_store_dir}/ids.json" CONTENT "${lv_ids}" @ONLY)
lv_host_manifests("${lv_store_dir}/ids.json" "${lv_store_dir}")
lv_add_msi(lviehlp_next_msi "${LV_NEXT_MSI}" ${LV_NEXT_VERSION} "${lv_store_dir}/ids.json" "${lv_store_dir}")
lv_add_msi(lviehlp_after_next_msi "${LV_AFTER_NEXT_MSI}" ${LV_AFTER_NEXT_VERSION} "${lv_store_dir}/ids.json" "${lv_store_dir}")

# Many msiexec runs: the emulated machine needs far more than the usual time.
lv_windows_test(msi_tests msi_tests.cpp TIMEOUT 900
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/msi-tests.sh $<TARGET_FILE:msi_tests>)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)  # the 32-bit package under WOW64 too, in a 64-bit prefix
    lv_windows_test(msi_tests_wow64 TIMEOUT 900 COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/msi-tests.sh $<TARGET_FILE:msi_tests> win64)
endif()
target_compile_definitions(msi_tests PRIVATE LV_MSI_NAME="${LV_MSI_NAME}" LV_VERSION="${LV_PACKAGE_VERSION}"
    LV_NEXT_MSI="${LV_NEXT_MSI}" LV_NEXT_VERSION="${LV_NEXT_VERSION}" LV_AFTER_NEXT_MSI="${LV_AFTER_NEXT_MSI}")
add_dependencies(msi_tests lviehlp_msi lviehlp_next_msi lviehlp_after_next_msi)

# The package's tables, read as files: the locked folder, registration on repair, File.Version.
lv_windows_test(msi_tables COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/msi-tables.sh "${LV_DIST_DIR}/${LV_MSI_NAME}" ${LV_PACKAGE_VERSION})
