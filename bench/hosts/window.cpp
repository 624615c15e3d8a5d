// The key-to-dialog benchmark's second floor: a native messaging host that reads the browser's one
// message and at once shows a plain window titled "Lorvane" (user32 alone, no manifest). What any
// host with a window costs on this Win32 implementation. Replies {} when the window is closed.
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
