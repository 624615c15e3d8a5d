// The browser's Tools-menu item that runs this program.
#pragma once
#include <string>

namespace lv {

// True when the key and all four values were written.
bool InstallMenuItem(const std::string& exePath);
// True when the key is gone afterwards (already absent counts).
bool UninstallMenuItem();

}  // namespace lv
