# Cross build for 32-bit Windows with mingw-w64: the shipped program.
set(LV_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
