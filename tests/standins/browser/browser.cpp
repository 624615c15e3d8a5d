// Stand-in browser: top-level windows of the browser's frame class "IEFrame", each titled with
// and showing one URL. Used by the dialog tests and the demo.
//
//   lvbrowser.exe URL[@x,y,w,h] ...
//
// Windows are created and shown in argument order, so the last one ends up highest in Z order.
// The program ends when all its windows are closed (WM_CLOSE).
#include <windows.h>

#include <cstdio>
#include <string>

#include "../../win/wintools.h"

namespace {

int openWindows;

LRESULT OnPaint(HWND w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    const std::string url = lvtest::Text(w);
    RECT r;
    GetClientRect(w, &r);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    // An address bar across the top, the page below.
    RECT bar = {8, 8, r.right - 8, 32};
    FillRect(dc, &bar, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    DrawEdge(dc, &bar, EDGE_SUNKEN, BF_RECT);
    SetBkMode(dc, TRANSPARENT);
    RECT text = {bar.left + 6, bar.top, bar.right - 6, bar.bottom};
    DrawTextA(dc, url.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    RECT page = {8, 40, r.right - 8, r.bottom - 8};
    FillRect(dc, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawTextA(dc, "Stand-in browser page", -1, &page, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(dc, old);
    EndPaint(w, &ps);
    return 0;
}

LRESULT CALLBACK FrameProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_PAINT:
        return OnPaint(w);
    case WM_DESTROY:
        if (--openWindows == 0) PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(w, m, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // DPI-aware like the browser itself: the frame lands where a test puts it, in screen pixels,
    // whatever resolution the system virtualises for programs that are not.
    SetProcessDPIAware();
    if (!lvtest::RegisterWindowClass("IEFrame", FrameProc, COLOR_BTNFACE, CS_HREDRAW | CS_VREDRAW)) return 1;

    for (int i = 1; i < __argc; ++i) {
        std::string arg = __argv[i];
        int x = 100 + 30 * i, y = 80 + 30 * i, width = 800, height = 600;
        const std::size_t at = arg.rfind('@');
        if (at != std::string::npos &&
            std::sscanf(arg.c_str() + at + 1, "%d,%d,%d,%d", &x, &y, &width, &height) == 4)
            arg.resize(at);
        HWND w = CreateWindowExA(0, "IEFrame", arg.c_str(), WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr,
                                 nullptr, instance, nullptr);
        if (!w) return 2;
        ++openWindows;
        ShowWindow(w, SW_SHOWNORMAL);
        UpdateWindow(w);
    }
    if (openWindows == 0) return 0;
    lvtest::RunMessageLoop();
    return 0;
}
