// The window classes of the query dialog: its owner and the dialog itself. Header only, so that the
// benchmark's floor program registers its classes exactly as the dialog does.
#pragma once
#include <windows.h>

namespace lv {

// Icon "WNDICON" from the module's resources, arrow cursor, button-face background. The small
// icon is the same resource's small image, loaded once for both classes: left out, each
// registration would make a copy of its own from the resource.
inline bool RegisterWindowClass(const char* name, UINT style, WNDPROC proc, HINSTANCE instance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "WNDICON");
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, "WNDICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

}  // namespace lv
