# The Windows program, its icon library, and the tests that run on Windows (Wine here).
enable_language(RC)

set(LV_DIST_DIR "${CMAKE_SOURCE_DIR}/dist" CACHE PATH "Where the shippable files land")

if(MINGW)
    # Static runtime: only system DLLs are imported. No time stamp: identical bytes per build.
    set(LV_WIN_LINK -static -Wl,--no-insert-timestamp)
    set(LV_WARN -Wall -Wextra -Werror)
    # The shipped code: stack protector and fortified string calls (the fortify level needs an
    # optimised build). The guard comes from platform/stackguard, not libssp (see there); libssp
    # still gives the fortified calls, whose failure handler is stackguard's too.
    set(LV_HARDEN -fstack-protector-strong -D_FORTIFY_SOURCE=2)
    # The shipped files' PE flags, stated rather than left to the linker's defaults: ASLR with a
    # relocation section, no execution of data, and (64-bit) the high-entropy address space.
    set(LV_HARDEN_LINK -Wl,--dynamicbase -Wl,--nxcompat)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        list(APPEND LV_HARDEN_LINK -Wl,--high-entropy-va)
    endif()
    # Terminal-server aware: no terminal-server compatibility shims (a flag of programs only).
    set(LV_EXE_HARDEN_LINK -Wl,--tsaware)
else()
    set(LV_WIN_LINK)
    set(LV_WARN /W4)
    set(LV_HARDEN /GS)
    set(LV_HARDEN_LINK /DYNAMICBASE /NXCOMPAT)
    set(LV_EXE_HARDEN_LINK /TSAWARE)
endif()

# Win32 modules shared by the program and the Windows tests.
set(LV_WIN_SOURCES
    platform/win32.cpp
    platform/dyncalls.cpp
    src/regprocs.cpp
    src/iemenu.cpp
    src/iebutton.cpp
    src/Launch.cpp
    src/geturl.cpp
    src/iedialog.cpp
    src/nativehost.cpp
)
# inet_addr comes from ws2_32, a KnownDLL (wsock32 is not: it would be looked for beside the program).
set(LV_WIN_LIBS user32 gdi32 comctl32 advapi32 shell32 ole32 oleaut32 uuid ws2_32)
add_library(lvwin STATIC ${LV_WIN_SOURCES})
target_include_directories(lvwin PUBLIC src platform)
target_compile_definitions(lvwin PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_options(lvwin PRIVATE ${LV_WARN} ${LV_HARDEN})
target_link_libraries(lvwin PUBLIC lvcore ${LV_WIN_LIBS})

# Everything that links the hardened modules gets the guard as an object (an archive member
# would be skipped when the first reference comes after the archive), then libssp's fortified calls.
target_compile_options(lvcore PRIVATE ${LV_HARDEN})
if(MINGW)
    add_library(lvstackguard OBJECT platform/stackguard.cpp)
    target_compile_options(lvstackguard PRIVATE ${LV_WARN})
    target_link_libraries(lvcore INTERFACE $<TARGET_OBJECTS:lvstackguard> ssp)
endif()

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
    "${CMAKE_SOURCE_DIR}/res/lviehlp.ico;${CMAKE_SOURCE_DIR}/res/wndicon.ico;${CMAKE_SOURCE_DIR}/res/lviehlp.manifest;${CMAKE_SOURCE_DIR}/src/version.h")
add_executable(lviehlp WIN32 src/lviehlp.cpp res/lviehlp.rc)
target_compile_options(lviehlp PRIVATE ${LV_WARN} ${LV_HARDEN})
target_link_libraries(lviehlp PRIVATE lvwin)
lv_delay_load(lviehlp)
target_link_options(lviehlp PRIVATE ${LV_WIN_LINK} ${LV_HARDEN_LINK} ${LV_EXE_HARDEN_LINK} $<$<BOOL:${MINGW}>:-s>)
set_target_properties(lviehlp PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${LV_DIST_DIR}")

# Resource-only icon library: no code, no entry point.
set_source_files_properties(res/lvieres.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/res/button0.ico;${CMAKE_SOURCE_DIR}/res/button1.ico;${CMAKE_SOURCE_DIR}/res/button2.ico;${CMAKE_SOURCE_DIR}/res/button3.ico;${CMAKE_SOURCE_DIR}/src/version.h")
add_library(lvieres SHARED res/lvieres.rc)
set_target_properties(lvieres PROPERTIES LINKER_LANGUAGE C PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${LV_DIST_DIR}")
if(MINGW)
    # A fixed image base: the automatic one is a hash of the output path, so each build folder
    # gave other bytes. It has no code, hence no relocations; ASLR may still move it.
    target_link_options(lvieres PRIVATE -nostdlib -Wl,--entry=0 -Wl,--no-insert-timestamp -Wl,--disable-auto-image-base
        ${LV_HARDEN_LINK} -s)
else()
    target_link_options(lvieres PRIVATE /NOENTRY ${LV_HARDEN_LINK})
endif()

# Signing, when an integrator brings a certificate: a PKCS#12 file named here or in the
# environment, its password in LV_SIGN_PASSWORD (never on a command line). The program and the
# icon library are signed as they are linked, so the package carries the signed files; the
# package itself is signed last (package.cmake). Without a certificate nothing changes.
set(LV_SIGN_PKCS12 "$ENV{LV_SIGN_PKCS12}" CACHE FILEPATH "PKCS#12 file to sign the shipped files with (empty: unsigned)")
set(LV_SIGN_TIMESTAMP_URL "$ENV{LV_SIGN_TIMESTAMP_URL}" CACHE STRING "RFC 3161 time-stamp server for the signatures (empty: none)")
if(LV_SIGN_PKCS12)
    find_program(LV_OSSLSIGNCODE osslsigncode REQUIRED)
endif()
# lv_sign_command(out file description): in out, a command that signs file; empty without a certificate.
function(lv_sign_command out file description)
    if(LV_SIGN_PKCS12)
        set(${out} COMMAND "${CMAKE_COMMAND}" "-DFILE=${file}" "-DPKCS12=${LV_SIGN_PKCS12}" "-DSIGNER=${LV_OSSLSIGNCODE}"
            "-DDESCRIPTION=${description}" "-DTIMESTAMP_URL=${LV_SIGN_TIMESTAMP_URL}"
            -P "${CMAKE_SOURCE_DIR}/cmake/sign-file.cmake" PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()
foreach(target lviehlp lvieres)
    lv_sign_command(sign "$<TARGET_FILE:${target}>" "Lorvane/MSIE Integration")
    if(sign)
        add_custom_command(TARGET ${target} POST_BUILD ${sign} VERBATIM)
    endif()
endforeach()

include(${CMAKE_SOURCE_DIR}/package/host-manifests.cmake)
include(${CMAKE_SOURCE_DIR}/package/package.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/extension.cmake)

option(LV_WINDOWS_TESTS "Build the tests that run on Windows" ON)
if(LV_WINDOWS_TESTS)
    add_subdirectory(tests/win)
endif()
include(${CMAKE_SOURCE_DIR}/bench/bench.cmake)
