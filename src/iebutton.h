// The browser's toolbar button that runs this program, with icons from lvieres.dll.
#pragma once
#include <windows.h>

#include <string>

#include "win32.h"

namespace lv {

// True when the key and all six values were written in the given registry view (0: our own).
bool InstallToolbarButton(const ModulePath& exePath, REGSAM view);
// True when the key is gone from that view afterwards (already absent counts).
bool UninstallToolbarButton(REGSAM view);

}  // namespace lv
