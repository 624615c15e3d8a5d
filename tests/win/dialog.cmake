# The query dialog and the browser URL capture: stand-in browser, driven dialog tests, layout per DPI.
set(LV_STANDIN_DIR "${CMAKE_BINARY_DIR}/standins")
set(LV_BROWSER_DIR "${CMAKE_SOURCE_DIR}/tests/standins/browser")

add_executable(lvbrowser WIN32 ${LV_BROWSER_DIR}/browser.cpp)
target_compile_options(lvbrowser PRIVATE ${LV_WARN})
target_link_options(lvbrowser PRIVATE -static)
set_target_properties(lvbrowser PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${LV_STANDIN_DIR}")

add_library(lvshellwin SHARED ${LV_BROWSER_DIR}/shellwindows.cpp)
target_compile_options(lvshellwin PRIVATE ${LV_WARN})
target_link_libraries(lvshellwin PRIVATE ole32 oleaut32 uuid advapi32)
target_link_options(lvshellwin PRIVATE -static -Wl,--kill-at)
set_target_properties(lvshellwin PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${LV_STANDIN_DIR}")

add_library(lvdialogdriver STATIC dialogdriver.cpp)
target_link_libraries(lvdialogdriver PUBLIC lvtestutil)

# The real lviehlp.exe driven from outside.
lv_windows_test(dialog_tests dialog_tests.cpp)
target_link_libraries(dialog_tests PRIVATE lvdialogdriver)
add_dependencies(dialog_tests lvbrowser lvshellwin)

# Inside the process: what cannot be read across processes, and the URL capture call by call.
lv_windows_test(dialog_inproc_tests dialog_inproc_tests.cpp ${CMAKE_SOURCE_DIR}/res/lviehlp.rc)
target_link_libraries(dialog_inproc_tests PRIVATE lvdialogdriver)
add_dependencies(dialog_inproc_tests lvbrowser lvshellwin)

# Layout at 96 dpi with the others, and at 120 and 144 dpi with the prefix switched around the run.
add_executable(dialog_layout_tests dialog_layout_tests.cpp)
target_link_libraries(dialog_layout_tests PRIVATE lvdialogdriver gtest_main)
target_link_options(dialog_layout_tests PRIVATE -static)
add_dependencies(dialog_layout_tests lviehlp lvbrowser)
gtest_discover_tests(dialog_layout_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
foreach(dpi 120 144)
    add_test(NAME dialog_layout_${dpi}dpi
        COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/with-dpi.sh ${dpi}
                ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:dialog_layout_tests>)
    set_tests_properties(dialog_layout_${dpi}dpi PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endforeach()

# Hand-over to the stand-in main application.
lv_windows_test(dialog_handover_tests dialog_handover_tests.cpp)
target_link_libraries(dialog_handover_tests PRIVATE lvdialogdriver lvstandin)

# The demo's driver (scripts/demo.sh).
add_executable(dialog_demo dialog_demo.cpp)
target_link_libraries(dialog_demo PRIVATE lvdialogdriver lvstandin)
target_link_options(dialog_demo PRIVATE -static)
add_dependencies(dialog_demo lviehlp lvbrowser lvshellwin lv3_standin)
