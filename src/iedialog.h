// The query dialog: "Query address:" with "As Domain", "As IP/Hostname" and "Cancel".
#pragma once
#include <windows.h>

#include <string>

#include "layout.h"

namespace lv {

// The whole no-argument run: builds the dialog, fills it from the browser and runs the loop.
void RunQueryDialog();

// The control's current text, exactly the bytes it handed over.
std::string GetControlText(HWND control);

// The window's screen rectangle; false when it cannot be read (a browser frame that closed after
// it was found is then placed over as if there were none).
bool ReadWindowBox(HWND window, Box& box);

}  // namespace lv
