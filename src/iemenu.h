// The browser's Tools-menu item that runs this program.
#pragma once
#include <windows.h>

#include <string>

#include "win32.h"

namespace lv {

// True when the key and all four values were written in the given registry view (0: our own).
bool InstallMenuItem(const ModulePath& exePath, REGSAM view);
// True when the key is gone from that view afterwards (already absent counts).
bool UninstallMenuItem(REGSAM view);

}  // namespace lv
