# Cross build of the same sources for 64-bit Windows: the tests, the demo and the benchmark use it on
# machines whose kernel cannot run 32-bit code (and so no 32-bit Wine). The shipped program is the
# 32-bit build.
set(LV_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
