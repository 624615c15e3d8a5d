// Cross-process driving of the query dialog and the stand-in browser.
#include "dialogdriver.h"

#include <cstdio>

#include "../cases/expected.h"
#include "testutil.h"

namespace lvtest {

namespace {
const char* const kShellWindowsKey = expected::kShellWindowsServerKey;

struct Search {
    DWORD pid;
    const char* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND w, LPARAM lp) {
    Search* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[256] = "";
    GetClassNameA(w, cls, sizeof cls);
    if ((s->pid == 0 || pid == s->pid) && lstrcmpiA(cls, s->cls) == 0) s->found.push_back(w);
    return TRUE;
}

std::string SystemShellWindowsServer() {
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\ieframe.dll";
}
}  // namespace

std::vector<HWND> WindowsOf(DWORD pid, const char* cls) {
    Search s{pid, cls, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HWND> WindowsOf(const Process& p, const char* cls) { return WindowsOf(p.pi.dwProcessId, cls); }

HWND WaitForWindow(const Process& p, const char* cls, DWORD timeoutMs) {
    HWND w = nullptr;
    WaitUntil([&] {
        std::vector<HWND> all = WindowsOf(p, cls);
        w = all.empty() ? nullptr : all.front();
        return w != nullptr;
    }, timeoutMs);
    return w;
}

bool StartBrowser(Process& p, const std::vector<std::string>& urls, std::vector<HWND>& frames) {
    std::string cmd = "\"" + BinFile("standins\\lvbrowser.exe") + "\"";
    for (const std::string& u : urls) cmd += " \"" + u + "\"";
    if (!Start(p, cmd)) return false;
    // Waits until every frame is shown with its title, not just created, so that a test starts
    // from the stacking the browser ends with.
    std::vector<std::string> titles;
    for (const std::string& u : urls) titles.push_back(u.substr(0, u.rfind('@')));
    return WaitUntil(
        [&] {
            frames.clear();
            const std::vector<HWND> all = WindowsOf(p, "IEFrame");
            for (const std::string& title : titles)
                for (HWND w : all)
                    if (IsWindowVisible(w) && Text(w) == title) frames.push_back(w);
            return frames.size() == urls.size();
        },
        15000);
}

void CloseBrowser(Process& p) {
    for (HWND w : WindowsOf(p, "IEFrame")) PostMessageA(w, WM_CLOSE, 0, 0);
    p.Wait(5000);
}

void RegisterStandInShellWindows(const std::vector<std::string>& items) {
    std::string list;
    for (const std::string& i : items) list += i + "\n";
    SetSz(HKEY_LOCAL_MACHINE, kShellWindowsKey, "", BinFile("standins\\lvshellwin.dll"));
    SetSz(HKEY_LOCAL_MACHINE, kShellWindowsKey, "ThreadingModel", "Apartment");
    // Written as UTF-16 from UTF-8, so that URLs in any script reach the collection unchanged.
    SetWideSz(HKEY_LOCAL_MACHINE, kShellWindowsKey, L"StandInItems", ToWide(list, CP_UTF8));
}

void UnregisterStandInShellWindows() {
    SetSz(HKEY_LOCAL_MACHINE, kShellWindowsKey, "", SystemShellWindowsServer());
    DeleteValue(HKEY_LOCAL_MACHINE, kShellWindowsKey, "StandInItems");
    DeleteValue(HKEY_LOCAL_MACHINE, kShellWindowsKey, "StandInCountFails");
}

std::string BrowserItem(HWND frame, const std::string& url) {
    return std::to_string(reinterpret_cast<UINT_PTR>(frame)) + " " + url;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> all;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all.push_back(c);
    return all;
}

bool WaitForDialog(DWORD pid, Dialog& d) {
    d.window = nullptr;
    if (!WaitUntil([&] {
            const std::vector<HWND> all = WindowsOf(pid, "LvIeDialogWnd");
            d.window = all.empty() ? nullptr : all.front();
            return d.window && IsWindowVisible(d.window);
        }, 15000)) {
        std::printf("no dialog of process %lu was shown within 15 s\n", pid);
        return false;
    }
    const std::vector<HWND> c = Children(d.window);
    if (c.size() != 5) {
        std::printf("the dialog has %u controls, not 5\n", static_cast<unsigned>(c.size()));
        return false;
    }
    d.label = c[kLabel];
    d.edit = c[kEdit];
    d.domain = c[kDomain];
    d.host = c[kHost];
    d.cancel = c[kCancel];
    // Ready once the edit has the keyboard focus: keys go to the focused control.
    WaitUntil([&] { return FocusOf(d.window) == d.edit; }, 5000);
    return true;
}

bool StartDialog(Process& p, const std::string& exe, Dialog& d, const std::string& workDir) {
    return Start(p, "\"" + exe + "\"", workDir) && WaitForDialog(p.pi.dwProcessId, d);
}

bool StartDialog(Process& p, const std::wstring& exe, Dialog& d) {
    return StartWide(p, L"\"" + exe + L"\"") && WaitForDialog(p.pi.dwProcessId, d);
}

void SetText(HWND w, const std::string& text) {
    SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

namespace {
HWND FocusOfThread(DWORD thread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread, &info)) return nullptr;
    return info.hwndFocus;
}
}  // namespace

HWND Focus(const Process& p) { return FocusOfThread(p.pi.dwThreadId); }
HWND FocusOf(HWND window) { return FocusOfThread(GetWindowThreadProcessId(window, nullptr)); }

void PressKey(const Process& p, UINT vk) {
    HWND target = Focus(p);
    if (!target) return;  // a null window would post to this thread
    const UINT scan = MapVirtualKeyA(vk, 0);
    PostMessageA(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, vk, 1 | (scan << 16) | (3u << 30));
}

RECT ClientRect(HWND dialog, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace lvtest
