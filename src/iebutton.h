// The browser's toolbar button that runs this program, with icons from lvieres.dll.
#pragma once
#include <string>

namespace lv {

// True when the key and all six values were written.
bool InstallToolbarButton(const std::string& exePath);
// True when the key is gone afterwards (already absent counts).
bool UninstallToolbarButton();

}  // namespace lv
