// The query dialog: "Query address:" with "As Domain", "As IP/Hostname" and "Cancel".
#pragma once
#include <windows.h>

#include <string>

namespace lv {

// The whole no-argument run: builds the dialog, fills it from the browser and runs the loop.
void RunQueryDialog();

// Steps of RunQueryDialog: the scale from the dialog's dots per inch, then size and place it.
void ComputeScale();
void PlaceDialog();

// A 96-dpi length at the screen's resolution (halves round to the even neighbour).
int ScaleX(int v);
int ScaleY(int v);

LRESULT CALLBACK OwnerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DialogWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The control's current text, exactly the bytes it handed over.
std::string GetControlText(HWND control);

// Enables "As Domain" by domainOk, then "As IP/Hostname" by hostOk.
void UpdateQueryButtons(bool domainOk, bool hostOk);

// Read the edit, shape the address and hand it to the main application.
void QueryAsDomain();
void QueryAsHost();

}  // namespace lv
