# Hand-over to the main application: a stand-in lv3.exe, a helper that calls LaunchQuery from the
# folder it is copied to, and the tests that drive both under Wine.
add_executable(lv3_standin WIN32 ${CMAKE_SOURCE_DIR}/tests/standins/lv3/lv3.cpp)
set_target_properties(lv3_standin PROPERTIES OUTPUT_NAME lv3 RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/standins")
target_compile_options(lv3_standin PRIVATE ${LV_WARN})
target_link_options(lv3_standin PRIVATE -static)

add_executable(launch_helper launch_helper.cpp)
target_compile_options(launch_helper PRIVATE ${LV_WARN})
target_link_libraries(launch_helper PRIVATE lvwin)
target_link_options(launch_helper PRIVATE -static)

# Stand-in control and error box inspection, for any test that hands a query over.
add_library(lvstandin STATIC standin.cpp)
target_compile_options(lvstandin PRIVATE ${LV_WARN})
target_link_libraries(lvstandin PUBLIC lvtestutil gdi32)
target_compile_definitions(lvstandin PRIVATE LV_STANDIN_LV3="$<TARGET_FILE:lv3_standin>")
add_dependencies(lvstandin lv3_standin)

# The start-up limit case waits the real 40 seconds.
lv_windows_test(launch_tests launch_tests.cpp LIBS lvstandin TIMEOUT 120)
target_compile_options(launch_tests PRIVATE ${LV_WARN})
add_dependencies(launch_tests launch_helper)
target_compile_definitions(launch_tests PRIVATE LV_LAUNCH_HELPER="$<TARGET_FILE:launch_helper>")
