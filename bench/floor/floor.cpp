// The floor of the start-up benchmark: lviehlp's no-argument work and nothing more, written as
// plainly as it can be. Same resources (manifest, icons), same DLLs, the hidden owner window, the
// dialog with its five controls, sized and placed by lviehlp's own layout code, and one walk of the
// Shell Windows collection for the URL of the foremost browser frame, which goes into the edit box.
// No host extraction, no query.
#include <winsock2.h>  // ahead of windows.h, which would bring the older winsock.h
#include <windows.h>
#include <commctrl.h>
#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>

#include "layout.h"
#include "wndclass.h"

namespace {

HWND dialog;
double scaleX = 1.0;
double scaleY = 1.0;
HWND edit;
HWND buttons[3];

// Referenced so that the floor imports what lviehlp imports, though it never registers or launches.
void* volatile const kSameImports[] = {reinterpret_cast<void*>(&RegCloseKey), reinterpret_cast<void*>(&ShellExecuteA)};

LRESULT CALLBACK DialogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_COMMAND && reinterpret_cast<HWND>(lp) == edit && HIWORD(wp) == EN_CHANGE) {
        char text[512];
        const int n = GetWindowTextA(edit, text, sizeof text);
        EnableWindow(buttons[0], n > 0 && inet_addr(text) == INADDR_NONE);
        EnableWindow(buttons[1], n > 0);
    }
    return DefWindowProcA(w, msg, wp, lp);
}

// The foremost browser frame's URL, or "" (no frame, no COM).
void BrowserURL(char* out, int size) {
    out[0] = 0;
    HWND frame = FindWindowA("IEFrame", nullptr);
    if (!frame || CoInitialize(nullptr) != S_OK) return;
    IShellWindows* windows = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IShellWindows, reinterpret_cast<void**>(&windows))))
        return;
    LONG count = 0;
    windows->get_Count(&count);
    for (LONG i = 0; i < count && !out[0]; ++i) {
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        IDispatch* item = nullptr;
        if (FAILED(windows->Item(index, &item)) || !item) continue;
        IWebBrowser2* browser = nullptr;
        if (SUCCEEDED(item->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser))) && browser) {
            SHANDLE_PTR h = 0;
            BSTR url = nullptr;
            if (SUCCEEDED(browser->get_HWND(&h)) && reinterpret_cast<HWND>(h) == frame &&
                SUCCEEDED(browser->get_LocationURL(&url))) {
                const int n = WideCharToMultiByte(CP_ACP, 0, url, SysStringLen(url), out, size - 1, nullptr, nullptr);
                out[n > 0 ? n : 0] = 0;
                SysFreeString(url);
            }
            browser->Release();
        }
        item->Release();
    }
    windows->Release();
}

HWND Control(const char* cls, const char* text, DWORD style, DWORD ex, int x, int y, int w, int h, HINSTANCE inst) {
    HWND c = CreateWindowExA(ex, cls, text, style, lv::ScaleRound(x, scaleX), lv::ScaleRound(y, scaleY),
                             lv::ScaleRound(w, scaleX), lv::ScaleRound(h, scaleY), dialog, nullptr, inst, nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return c;
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    if (!lv::RegisterWindowClass("LvFloorOwner", CS_HREDRAW | CS_VREDRAW, DefWindowProcA, inst)) return 1;
    HWND owner = CreateWindowExA(0, "LvFloorOwner", "Floor", 0, 0, 0, 0, 0, nullptr, nullptr, inst, nullptr);
    const UINT dialogStyle = CS_HREDRAW | CS_VREDRAW | CS_SAVEBITS;
    if (!owner || !lv::RegisterWindowClass("LvFloorDialog", dialogStyle, DialogProc, inst)) return 1;
    HDC dc = GetDC(nullptr);
    scaleY = lv::DpiScale(GetDeviceCaps(dc, LOGPIXELSY));
    scaleX = lv::DpiScale(GetDeviceCaps(dc, LOGPIXELSX));
    ReleaseDC(nullptr, dc);
    const lv::FrameMetrics f = {GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME),
                                GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CYBORDER)};
    const lv::Size size = lv::DialogWindowSize(lv::ScaleRound(420, scaleX), lv::ScaleRound(100, scaleY), f);
    const lv::ScreenMetrics m = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                 GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    lv::Box frame = {};
    const lv::Box* over = nullptr;
    if (HWND browser = FindWindowA("IEFrame", nullptr)) {
        RECT r;
        GetWindowRect(browser, &r);
        frame = lv::Box{r.left, r.top, r.right, r.bottom};
        over = &frame;
    }
    const lv::Point at = lv::PlaceDialogAt(size.w, size.h, over, m);
    dialog = CreateWindowExA(0, "LvFloorDialog", "Floor", WS_OVERLAPPED | WS_SYSMENU, at.x, at.y, size.w, size.h,
                             owner, nullptr, inst, nullptr);
    if (!dialog) return 1;
    Control("STATIC", "Query address:", WS_CHILD | WS_VISIBLE, 0, 10, 10, 100, 21, inst);
    edit = Control("EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 10, 30, 400, 21,
                   inst);
    buttons[0] = Control("BUTTON", "As Domain", WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
                         10, 64, 137, 25, inst);
    buttons[1] = Control("BUTTON", "As IP/Hostname", WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP, 0, 157, 64,
                         137, 25, inst);
    buttons[2] = Control("BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 314, 64, 96, 25, inst);
    char url[2048];
    BrowserURL(url, sizeof url);
    SetWindowTextA(edit, url);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    SetFocus(edit);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return kSameImports[0] == nullptr;
}
