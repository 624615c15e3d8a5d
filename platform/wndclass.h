// The window classes of the query dialog: its owner and the dialog itself. Header only, so that the
// benchmark's floor program registers its classes exactly as the dialog does.
#pragma once
#include <windows.h>

namespace lv {

// Icon "WNDICON" from the module's resources, arrow cursor, button-face background.
inline bool RegisterWindowClass(const char* name, UINT style, WNDPROC proc, HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "WNDICON");
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

}  // namespace lv
