# The Windows program, its icon library, and the tests that run on Windows (Wine here).
enable_language(RC)

set(LV_DIST_DIR "${CMAKE_SOURCE_DIR}/dist" CACHE PATH "Where the shippable files land")

if(MINGW)
    # Static runtime: only system DLLs are imported. No time stamp: identical bytes per build.
    set(LV_WIN_LINK -static -Wl,--no-insert-timestamp)
    set(LV_WARN -Wall -Wextra -Werror)
else()
    set(LV_WIN_LINK)
    set(LV_WARN /W4)
endif()

# Win32 modules shared by the program and the Windows tests.
add_library(lvwin STATIC
    platform/win32.cpp
    src/regprocs.cpp
    src/iemenu.cpp
    src/iebutton.cpp
    src/Launch.cpp
    src/geturl.cpp
    src/iedialog.cpp
)
target_include_directories(lvwin PUBLIC src platform)
target_compile_definitions(lvwin PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_options(lvwin PRIVATE ${LV_WARN})
target_link_libraries(lvwin PUBLIC lvcore user32 gdi32 comctl32 advapi32 shell32 ole32 oleaut32 uuid wsock32)

set_source_files_properties(res/lviehlp.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/res/lviehlp.ico;${CMAKE_SOURCE_DIR}/res/wndicon.ico;${CMAKE_SOURCE_DIR}/res/lviehlp.manifest")
add_executable(lviehlp WIN32 src/lviehlp.cpp res/lviehlp.rc)
target_compile_options(lviehlp PRIVATE ${LV_WARN})
target_link_libraries(lviehlp PRIVATE lvwin)
target_link_options(lviehlp PRIVATE ${LV_WIN_LINK} $<$<BOOL:${MINGW}>:-s>)
set_target_properties(lviehlp PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${LV_DIST_DIR}")

# Resource-only icon library: no code, no entry point.
set_source_files_properties(res/lvieres.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/res/button0.ico;${CMAKE_SOURCE_DIR}/res/button1.ico;${CMAKE_SOURCE_DIR}/res/button2.ico;${CMAKE_SOURCE_DIR}/res/button3.ico")
add_library(lvieres SHARED res/lvieres.rc)
set_target_properties(lvieres PROPERTIES LINKER_LANGUAGE C PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${LV_DIST_DIR}")
if(MINGW)
    target_link_options(lvieres PRIVATE -nostdlib -Wl,--entry=0 -Wl,--no-insert-timestamp -s)
else()
    target_link_options(lvieres PRIVATE /NOENTRY)
endif()

include(${CMAKE_SOURCE_DIR}/package/package.cmake)

option(LV_WINDOWS_TESTS "Build the tests that run on Windows" ON)
if(LV_WINDOWS_TESTS)
    add_subdirectory(tests/win)
endif()
include(${CMAKE_SOURCE_DIR}/bench/bench.cmake OPTIONAL)
