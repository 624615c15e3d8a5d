# Benchmark programs (Windows build only): the bare one-window baseline and the driver that
# times and measures programs under Wine. bench/run.sh builds and runs them.
add_executable(lvbench_bare WIN32 ${CMAKE_SOURCE_DIR}/bench/bare/bare.cpp)
target_compile_options(lvbench_bare PRIVATE ${LV_WARN})
target_link_options(lvbench_bare PRIVATE ${LV_WIN_LINK} $<$<BOOL:${MINGW}>:-s>)
target_link_libraries(lvbench_bare PRIVATE user32 gdi32)

add_executable(lvbench ${CMAKE_SOURCE_DIR}/bench/driver/lvbench.cpp)
target_compile_options(lvbench PRIVATE ${LV_WARN})
target_link_options(lvbench PRIVATE ${LV_WIN_LINK})
target_link_libraries(lvbench PRIVATE user32 psapi)
set_target_properties(lvbench_bare lvbench PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")

# Stands in for the main application in the hand-over timing; stamps each query on receipt.
add_executable(lvbench_receiver WIN32 ${CMAKE_SOURCE_DIR}/bench/receiver/receiver.cpp)
target_compile_options(lvbench_receiver PRIVATE ${LV_WARN})
target_link_options(lvbench_receiver PRIVATE ${LV_WIN_LINK})
set_target_properties(lvbench_receiver PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")

# The bare program with lviehlp's application manifest (common controls 6): one more breakdown step.
set(LV_BARE_MF_RC "${CMAKE_BINARY_DIR}/bench/bare_manifest.rc")
file(WRITE "${LV_BARE_MF_RC}" "1 24 \"${CMAKE_SOURCE_DIR}/res/lviehlp.manifest\"\n")
set_source_files_properties("${LV_BARE_MF_RC}" PROPERTIES OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/lviehlp.manifest")
add_executable(lvbench_bare_mf WIN32 ${CMAKE_SOURCE_DIR}/bench/bare/bare.cpp "${LV_BARE_MF_RC}")
target_compile_options(lvbench_bare_mf PRIVATE ${LV_WARN})
target_link_options(lvbench_bare_mf PRIVATE ${LV_WIN_LINK} $<$<BOOL:${MINGW}>:-s>)
set_target_properties(lvbench_bare_mf PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")
