// The key-to-dialog benchmark's second floor: a native messaging host that reads the browser's one
// message and at once shows a plain window titled "Lorvane" (user32 alone, no manifest). What any
// host with a window costs on this Win32 implementation. Replies {} when the window is closed.
// Built a second time with LV_FLOOR_DLLS: the same window with the two DLLs lviehlp imports beyond
// it, loaded at start as lviehlp loads them (comctl32 6 by lviehlp's manifest, for the themed
// controls; ws2_32, for the classic IP address parser).
#ifdef LV_FLOOR_DLLS
#include <winsock2.h>  // ahead of windows.h, which would bring the older winsock.h
#include <commctrl.h>
#endif
#include <windows.h>

#include "message.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!floorhost::ReadMessage()) return 1;
#ifdef LV_FLOOR_DLLS
    InitCommonControls();
    static volatile unsigned long parsed = inet_addr("127.0.0.1");
    (void)parsed;
#endif
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "LvFloorHostWnd";
    if (!RegisterClassA(&wc)) return 1;
    if (!CreateWindowExA(0, wc.lpszClassName, "Lorvane", WS_OVERLAPPED | WS_SYSMENU | WS_VISIBLE, 400, 400, 420, 130,
                         nullptr, nullptr, instance, nullptr))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    floorhost::ReplyEmpty();
    return 0;
}
