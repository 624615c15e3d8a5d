// Timing receiver for the hand-over benchmark, installed as lv3.exe beside lviehlp.exe: the main
// application's windows as lviehlp looks for them, and a log line per query message with the
// performance-counter reading taken the moment the message is retrieved.
//   log: "query <wParam> <lParam> <counter>"   file: LV3_LOG (default lv3.log beside the exe)
#include <windows.h>

#include <cstdio>
#include <string>

#include "../../tests/cases/expected.h"

namespace {

constexpr UINT kQueryMessage = expected::kQueryMessage;
std::string logPath;

void Append(const char* line) {
    if (FILE* f = std::fopen(logPath.c_str(), "ab")) {
        std::fputs(line, f);
        std::fclose(f);
    }
}

LRESULT CALLBACK AppProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kQueryMessage) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);  // first: the receipt time is what is measured
        char line[96];
        std::snprintf(line, sizeof line, "query %u %ld %lld\n", static_cast<unsigned>(wParam),
                      static_cast<long>(lParam), static_cast<long long>(now.QuadPart));
        Append(line);
        return 0;
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND Make(HINSTANCE inst, const char* cls, WNDPROC proc, const char* title, DWORD style, HWND parent) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = inst;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls, title, style, 0, 0, 400, 200, parent, nullptr, inst, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("LV3_LOG", buf, sizeof buf);
    if (n > 0 && n < sizeof buf) {
        logPath = buf;
    } else {
        GetModuleFileNameA(nullptr, buf, sizeof buf);
        logPath = std::string(buf).substr(0, std::string(buf).rfind('\\') + 1) + "lv3.log";
    }
    HWND app = Make(inst, "TApplication", AppProc, "Lorvane", WS_POPUP, nullptr);
    HWND form = Make(inst, "TForm1", DefWindowProcA, "Lorvane 3", WS_OVERLAPPEDWINDOW, nullptr);
    HWND bar = Make(inst, "TCoolBar", DefWindowProcA, "", WS_CHILD | WS_VISIBLE, form);
    HWND panel = Make(inst, "TPanel", DefWindowProcA, "", WS_CHILD | WS_VISIBLE, bar);
    Make(inst, "TComboBoxEx", DefWindowProcA, "", WS_CHILD | WS_VISIBLE, panel);
    if (!app || !form) return 1;
    ShowWindow(form, SW_SHOW);
    Append("ready\n");
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
