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
lv_windows_test(dialog_tests dialog_tests.cpp LIBS lvdialogdriver)
add_dependencies(dialog_tests lvbrowser lvshellwin)

# Inside the process: what cannot be read across processes, and the URL capture call by call.
lv_windows_test(dialog_inproc_tests dialog_inproc_tests.cpp ${CMAKE_SOURCE_DIR}/res/lviehlp.rc LIBS lvdialogdriver)
add_dependencies(dialog_inproc_tests lvbrowser lvshellwin)

# Layout at 96 dpi with the others, and at 120 and 144 dpi with the prefix switched around the run.
lv_windows_test(dialog_layout_tests dialog_layout_tests.cpp LIBS lvdialogdriver)
add_dependencies(dialog_layout_tests lvbrowser)
foreach(dpi 120 144)
    lv_windows_test(dialog_layout_${dpi}dpi TIMEOUT 120
        COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/with-dpi.sh ${dpi}
                ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:dialog_layout_tests>
        PROPERTIES RUN_SERIAL TRUE)
endforeach()

# Hand-over to the stand-in main application.
lv_windows_test(dialog_handover_tests dialog_handover_tests.cpp LIBS lvdialogdriver lvstandin)

# The demo's driver (scripts/demo.sh).
add_executable(dialog_demo dialog_demo.cpp)
target_link_libraries(dialog_demo PRIVATE lvdialogdriver lvstandin)
target_link_options(dialog_demo PRIVATE -static)
add_dependencies(dialog_demo lviehlp lvbrowser lvshellwin lv3_standin)

# lviehlp.exe as a browser's native messaging host, started as Chrome and as Firefox start it.
add_library(lvhostdriver STATIC hostdriver.cpp)
target_link_libraries(lvhostdriver PUBLIC lvtestutil)
# The pre-fill table's 19 starts took 93 s in the emulated machine (5 to 11 s here).
lv_windows_test(nativehost_tests nativehost_tests.cpp TIMEOUT 240 LIBS lvhostdriver lvdialogdriver lvstandin)
add_dependencies(nativehost_tests lvbrowser lv3_standin)
# What the host pre-fills under the Hebrew code page (1255), which holds the bidi marks.
lv_windows_test(nativehost_hebrew COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:nativehost_tests>
    --gtest_filter=NativeHostTest.Prefill* PROPERTIES ENVIRONMENT "LC_ALL=he_IL.UTF-8"
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test\\.")

# The real-browser road's driver (tests/browser): clicks a button of the dialog a browser opened.
add_executable(dialog_click dialog_click.cpp)
target_link_libraries(dialog_click PRIVATE lvdialogdriver lvstandin)
target_link_options(dialog_click PRIVATE -static)
