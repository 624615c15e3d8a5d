// Baseline for the benchmark: a Win32 program that creates and shows one window and nothing else.
// For the breakdown of start-up costs it can first load what lviehlp loads:
//   "libs"  the DLLs lviehlp imports beyond the bare program's
//   "com"   also CoInitialize and one CoCreateInstance of the Shell Windows collection
// Both go through LoadLibrary so that the plain run imports nothing more than before.
#include <windows.h>

#include <cstring>
#include <initializer_list>

namespace {

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

template <typename F>
F Proc(HMODULE m, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(m, name)));
}

void LoadLikeLviehlp(bool com) {
    for (const char* dll : {"advapi32.dll", "comctl32.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "ws2_32.dll"})
        LoadLibraryA(dll);
    if (!com) return;
    HMODULE ole = GetModuleHandleA("ole32.dll");
    auto coInit = Proc<HRESULT(WINAPI*)(LPVOID)>(ole, "CoInitialize");
    auto coCreate = Proc<HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*)>(ole, "CoCreateInstance");
    if (!coInit || !coCreate) return;
    coInit(nullptr);
    const CLSID shellWindows = {0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};
    const IID dispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    IUnknown* obj = nullptr;
    if (SUCCEEDED(coCreate(shellWindows, nullptr, CLSCTX_ALL, dispatch, reinterpret_cast<void**>(&obj))) && obj)
        obj->Release();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int) {
    if (std::strstr(cmdLine, "libs") || std::strstr(cmdLine, "com")) LoadLikeLviehlp(std::strstr(cmdLine, "com"));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "LvBenchBareWnd";
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                320, 160, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
