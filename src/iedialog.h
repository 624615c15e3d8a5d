// The query dialog: "Query address:" with "As Domain", "As IP/Hostname" and "Cancel".
#pragma once
#include <windows.h>

#include <string>

namespace lv {

// The whole no-argument run: builds the dialog, fills it from the browser and runs the loop.
void RunQueryDialog();

// The control's current text, exactly the bytes it handed over.
std::string GetControlText(HWND control);

}  // namespace lv
