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
    platform/dyncalls.cpp
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

# What the no-argument run does not always need is loaded on the first call instead of at start:
# shell32 only starts the main application, ole32 and oleaut32 only serve a browser frame, and
# advapi32 only the registry of install and uninstall. mingw's delay-import libraries are made
# from the .def files (the functions called); the toolchain's libmingwex has __delayLoadHelper2.
# The MSVC build imports these DLLs at start.
#
# GNU ld for pe-i386 (binutils before 2.45) drops an import library member whose code nothing
# names by its own symbol: callers name only __imp__Func@N, so the delay stub would go, leaving
# its address slot 0 and the first call jumping there. An undefined reference (-u) to every
# delay-imported function keeps the stubs. The x86_64 linker keeps them anyway; both builds get
# the references, so both link the same way. tests/win/check-dist.sh reads the slots back.
set(LV_DELAYED_DLLS advapi32 shell32 ole32 oleaut32)
set(LV_DELAY_LIBS)
set(LV_DELAY_KEEP)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(lv_symbol_prefix "_")  # 32-bit C symbols carry a leading underscore
else()
    set(lv_symbol_prefix "")
endif()
foreach(dll ${LV_DELAYED_DLLS})
    set(def "${CMAKE_SOURCE_DIR}/cmake/delayload/${dll}.def")
    # Read here, so an edit to the .def must configure again.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${def}")
    file(STRINGS "${def}" exports REGEX "^[A-Za-z_][A-Za-z0-9_]*@[0-9]+$")
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)  # 64-bit names carry no @<argument bytes>
        file(READ "${def}" text)
        string(REGEX REPLACE "@[0-9]+" "" text "${text}")
        set(def "${CMAKE_BINARY_DIR}/delayload/${dll}.def")
        file(CONFIGURE OUTPUT "${def}" CONTENT "${text}" @ONLY)  # rewritten only when it changes
        list(TRANSFORM exports REPLACE "@[0-9]+$" "")
    endif()
    list(TRANSFORM exports PREPEND "-Wl,-u,${lv_symbol_prefix}")
    list(APPEND LV_DELAY_KEEP ${exports})
    set(lib "${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a")
    if(MINGW)
        add_custom_command(OUTPUT "${lib}"
            COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/delayload"
            COMMAND ${CMAKE_DLLTOOL} --kill-at --dllname ${dll}.dll --deterministic-libraries
                    --input-def "${def}" --output-delaylib "${lib}"
            DEPENDS "${def}" VERBATIM)
        list(APPEND LV_DELAY_LIBS "${lib}")
    endif()
endforeach()
add_custom_target(lv_delaylibs DEPENDS ${LV_DELAY_LIBS})

# Delay-loads those DLLs for target: the delay-import libraries go on its link line ahead of the
# import libraries it links afterwards (lvwin's come after lvwin itself).
function(lv_delay_load target)
    target_link_libraries(${target} PRIVATE ${LV_DELAY_LIBS})
    if(MINGW)
        target_link_options(${target} PRIVATE ${LV_DELAY_KEEP})
    endif()
    add_dependencies(${target} lv_delaylibs)
endfunction()

set_source_files_properties(res/lviehlp.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/res/lviehlp.ico;${CMAKE_SOURCE_DIR}/res/wndicon.ico;${CMAKE_SOURCE_DIR}/res/lviehlp.manifest")
add_executable(lviehlp WIN32 src/lviehlp.cpp res/lviehlp.rc)
target_compile_options(lviehlp PRIVATE ${LV_WARN})
target_link_libraries(lviehlp PRIVATE lvwin)
lv_delay_load(lviehlp)
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
include(${CMAKE_SOURCE_DIR}/bench/bench.cmake)
