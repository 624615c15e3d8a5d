# Shared part of the two mingw-w64 toolchain files, which set LV_MINGW_TRIPLE and include this.
# The posix thread model is needed by GoogleTest; everything links statically so the executables
# import only system DLLs. CTest runs the Windows programs under Wine through scripts/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR "${LV_MINGW_TRIPLE}")
set(CMAKE_C_COMPILER ${LV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LV_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
