// Program entry: picks one of the three actions from the command line.
#pragma once
#include <string>

#include "win32.h"

namespace lv {

// Exit codes: install and uninstall report a key they could not write or delete.
enum ExitCode : int { kExitOk = 0, kExitRegistryFailed = 1 };

int Main();
// Both keys in every registry view the browser may read (ExtensionViews).
bool Install(const ModulePath& exePath);
bool Uninstall();

}  // namespace lv
