# Benchmark programs (Windows build only): the bare one-window baseline, the floor that does
# lviehlp's work and nothing more, lviehlp as it was before delay-loading, and the driver that
# times and measures programs under Wine. bench/run.sh builds and runs them.
set(LV_BENCH_DIR "${CMAKE_BINARY_DIR}/bench")
function(lv_bench_program name)
    add_executable(${name} WIN32 ${ARGN})
    target_compile_options(${name} PRIVATE ${LV_WARN})
    target_link_options(${name} PRIVATE ${LV_WIN_LINK} $<$<BOOL:${MINGW}>:-s>)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${LV_BENCH_DIR}")
endfunction()

lv_bench_program(lvbench_bare ${CMAKE_SOURCE_DIR}/bench/bare/bare.cpp)
target_link_libraries(lvbench_bare PRIVATE user32 gdi32)

# The bare program with lviehlp's application manifest (common controls 6): one more breakdown step.
set(LV_BARE_MF_RC "${LV_BENCH_DIR}/bare_manifest.rc")
file(WRITE "${LV_BARE_MF_RC}" "1 24 \"${CMAKE_SOURCE_DIR}/res/lviehlp.manifest\"\n")
set_source_files_properties("${LV_BARE_MF_RC}" PROPERTIES OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/lviehlp.manifest")
lv_bench_program(lvbench_bare_mf ${CMAKE_SOURCE_DIR}/bench/bare/bare.cpp "${LV_BARE_MF_RC}")

# The floor, with lviehlp's resources and DLLs and its dialog geometry (lvcore's layout): once
# imported at start, once delay-loaded as lviehlp.
foreach(floor lvbench_floor lvbench_floor_delay)
    lv_bench_program(${floor} ${CMAKE_SOURCE_DIR}/bench/floor/floor.cpp ${CMAKE_SOURCE_DIR}/res/lviehlp.rc)
    target_include_directories(${floor} PRIVATE ${CMAKE_SOURCE_DIR}/platform)
endforeach()
lv_delay_load(lvbench_floor_delay)  # ahead of the import libraries below
foreach(floor lvbench_floor lvbench_floor_delay)
    target_link_libraries(${floor} PRIVATE lvcore ${LV_WIN_LIBS})
endforeach()

# lviehlp before delay-loading: every DLL imported at start.
lv_bench_program(lvbench_lviehlp_plain ${CMAKE_SOURCE_DIR}/src/lviehlp.cpp ${CMAKE_SOURCE_DIR}/res/lviehlp.rc)
target_link_libraries(lvbench_lviehlp_plain PRIVATE lvwin)

# lviehlp before the hardening: the same sources, delay-loaded as shipped, built without the stack
# protector and fortified calls and linked without the stated PE flags.
add_library(lvcore_soft STATIC ${LV_CORE_SOURCES})
target_include_directories(lvcore_soft PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_include_directories(lvcore_soft SYSTEM PUBLIC "${LV_JSON_DIR}")
add_library(lvwin_soft STATIC ${LV_WIN_SOURCES})
target_include_directories(lvwin_soft PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/platform)
target_compile_definitions(lvwin_soft PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(lvwin_soft PUBLIC lvcore_soft ${LV_WIN_LIBS})
lv_bench_program(lvbench_lviehlp_soft ${CMAKE_SOURCE_DIR}/src/lviehlp.cpp ${CMAKE_SOURCE_DIR}/res/lviehlp.rc)
lv_delay_load(lvbench_lviehlp_soft)
target_link_libraries(lvbench_lviehlp_soft PRIVATE lvwin_soft)

add_executable(lvbench ${CMAKE_SOURCE_DIR}/bench/driver/lvbench.cpp)
target_compile_options(lvbench PRIVATE ${LV_WARN})
target_link_options(lvbench PRIVATE ${LV_WIN_LINK})
target_link_libraries(lvbench PRIVATE user32 psapi)
set_target_properties(lvbench PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${LV_BENCH_DIR}")

# Stands in for the main application in the hand-over timing; stamps each query on receipt.
add_executable(lvbench_receiver WIN32 ${CMAKE_SOURCE_DIR}/bench/receiver/receiver.cpp)
target_compile_options(lvbench_receiver PRIVATE ${LV_WARN})
target_link_options(lvbench_receiver PRIVATE ${LV_WIN_LINK})
set_target_properties(lvbench_receiver PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${LV_BENCH_DIR}")

# The key-to-dialog row's floors, native messaging hosts started by the real browser as lviehlp
# is: a console program that replies at once, and a plain window titled "Lorvane", alone and with
# the DLLs lviehlp imports at start (and its manifest).
lv_bench_program(lvbench_host_window ${CMAKE_SOURCE_DIR}/bench/hosts/window.cpp)
lv_bench_program(lvbench_host_window_dlls ${CMAKE_SOURCE_DIR}/bench/hosts/window.cpp "${LV_BARE_MF_RC}")
target_compile_definitions(lvbench_host_window_dlls PRIVATE LV_FLOOR_DLLS)
target_link_libraries(lvbench_host_window_dlls PRIVATE comctl32 ws2_32)
add_executable(lvbench_host_console ${CMAKE_SOURCE_DIR}/bench/hosts/console.cpp)
target_compile_options(lvbench_host_console PRIVATE ${LV_WARN})
target_link_options(lvbench_host_console PRIVATE ${LV_WIN_LINK} $<$<BOOL:${MINGW}>:-s>)
set_target_properties(lvbench_host_console PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${LV_BENCH_DIR}")
