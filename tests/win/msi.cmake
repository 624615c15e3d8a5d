# The Windows Installer package under Wine's own msiexec, in a prefix of its own; only when the
# build makes the package.
if(NOT TARGET lviehlp_msi)
    return()
endif()
set(LV_MSI_WINEPREFIX "${CMAKE_SOURCE_DIR}/build/wineprefix-msi" CACHE PATH "Wine prefix of the package tests")
add_executable(msi_tests msi_tests.cpp)
target_link_libraries(msi_tests PRIVATE lvtestutil gtest_main)
target_link_options(msi_tests PRIVATE -static)
target_compile_definitions(msi_tests PRIVATE LV_MSI_NAME="${LV_MSI_NAME}")
add_dependencies(msi_tests lviehlp_msi)
add_test(NAME msi_package COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/msi-tests.sh "${LV_MSI_WINEPREFIX}" $<TARGET_FILE:msi_tests>)
set_tests_properties(msi_package PROPERTIES TIMEOUT 600)
