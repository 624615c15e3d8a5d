# The Windows Installer package under Wine's own msiexec, in a prefix of its own; only when the
# build makes the package.
if(NOT TARGET lviehlp_msi)
    return()
endif()
set(LV_MSI_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix-msi" CACHE PATH "Wine prefix of the package tests")
# The same files packaged as the next version (last field + 1), to be installed over this one.
string(REGEX MATCH "[0-9]+$" lv_last "${LV_PACKAGE_VERSION}")
math(EXPR lv_last "${lv_last} + 1")
string(REGEX REPLACE "[0-9]+$" "${lv_last}" LV_NEXT_VERSION "${LV_PACKAGE_VERSION}")
set(LV_NEXT_MSI "${CMAKE_BINARY_DIR}/package/lviehlp-${LV_NEXT_VERSION}.msi")
lv_add_msi(lviehlp_next_msi "${LV_NEXT_MSI}" ${LV_NEXT_VERSION})

add_executable(msi_tests msi_tests.cpp)
target_link_libraries(msi_tests PRIVATE lvtestutil gtest_main)
target_link_options(msi_tests PRIVATE -static)
target_compile_definitions(msi_tests PRIVATE LV_MSI_NAME="${LV_MSI_NAME}" LV_VERSION="${LV_PACKAGE_VERSION}"
    LV_NEXT_MSI="${LV_NEXT_MSI}" LV_NEXT_VERSION="${LV_NEXT_VERSION}")
add_dependencies(msi_tests lviehlp_msi lviehlp_next_msi)
add_test(NAME msi_package COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/msi-tests.sh "${LV_MSI_WINEPREFIX}" $<TARGET_FILE:msi_tests>)
set_tests_properties(msi_package PROPERTIES TIMEOUT 600)
