// The program's version, written here only: the version blocks of lviehlp.exe and lvieres.dll
// (res/*.rc), the package's version (package/package.cmake reads these four lines) and the
// "version" of every reply to a browser's extension take it from here. Plain macros, so that the
// resource compiler reads this file too.
#pragma once

#define LV_VERSION_MAJOR 1
#define LV_VERSION_MINOR 0
#define LV_VERSION_PATCH 0
#define LV_VERSION_BUILD 4

#define LV_VERSION_TEXT_(a, b, c, d) #a "." #b "." #c "." #d
#define LV_VERSION_TEXT_OF(a, b, c, d) LV_VERSION_TEXT_(a, b, c, d)
// "1.0.0.4": the FileVersion string.
#define LV_VERSION_TEXT LV_VERSION_TEXT_OF(LV_VERSION_MAJOR, LV_VERSION_MINOR, LV_VERSION_PATCH, LV_VERSION_BUILD)
