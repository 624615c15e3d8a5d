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

# What the no-argument run does not always need is loaded on the first call instead of at start:
# shell32 only starts the main application, ole32 and oleaut32 only serve a browser frame, and
# advapi32 only the registry of install and uninstall. mingw's delay-import libraries are made
# from the .def files (the functions called); the toolchain's libmingwex has __delayLoadHelper2.
set(LV_DELAYED_DLLS advapi32 shell32 ole32 oleaut32)
set(LV_DELAY_LIBS)
foreach(dll ${LV_DELAYED_DLLS})
    set(def "${CMAKE_SOURCE_DIR}/cmake/delayload/${dll}.def")
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)  # 64-bit names carry no @<argument bytes>
        file(READ "${def}" text)
        string(REGEX REPLACE "@[0-9]+" "" text "${text}")
        set(def "${CMAKE_BINARY_DIR}/delayload/${dll}.def")
        file(WRITE "${def}" "${text}")
    endif()
    set(lib "${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a")
    if(MINGW)
        add_custom_command(OUTPUT "${lib}"
            COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/delayload"
            COMMAND ${CMAKE_DLLTOOL} --kill-at --dllname ${dll}.dll --deterministic-libraries
                    --input-def "${def}" --output-delaylib "${lib}"
            DEPENDS "${def}" VERBATIM)
        list(APPEND LV_DELAY_LIBS "${lib}")
    else()
        list(APPEND LV_DELAY_LIBS "-DELAYLOAD:${dll}.dll")
    endif()
endforeach()
if(MINGW)
    add_custom_target(lv_delaylibs DEPENDS ${LV_DELAY_LIBS})
else()
    add_custom_target(lv_delaylibs)
    list(APPEND LV_DELAY_LIBS delayimp)
endif()

# Links target with the delay-import libraries ahead of the import libraries lvwin brings.
function(lv_link_delayed target)
    target_link_libraries(${target} PRIVATE lvwin ${LV_DELAY_LIBS})
    add_dependencies(${target} lv_delaylibs)
endfunction()

set_source_files_properties(res/lviehlp.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/res/lviehlp.ico;${CMAKE_SOURCE_DIR}/res/wndicon.ico;${CMAKE_SOURCE_DIR}/res/lviehlp.manifest")
add_executable(lviehlp WIN32 src/lviehlp.cpp res/lviehlp.rc)
target_compile_options(lviehlp PRIVATE ${LV_WARN})
lv_link_delayed(lviehlp)
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
