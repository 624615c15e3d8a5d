// Stand-in control, log reading and launch error box inspection for the Windows tests.
#include "standin.h"

#include <cstdlib>

#include "../cases/expected.h"
#include "testutil.h"

namespace lvtest {

namespace {

const char* const kSettings[] = {"LV3_LOG",    "LV3_FORM_TITLE", "LV3_FORM_DELAY",      "LV3_CHILD_DELAY", "LV3_OMIT",
                                 "LV3_NO_FORM", "LV3_HANG",       "LV3_EXIT_AFTER_FORM", "LV3_LIFETIME",    "LV3_BUSY",
                                 "LV3_BROADCAST"};

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && lstrcmpiA(s.c_str() + s.size() - tail.size(), tail.c_str()) == 0;
}

void EndIfStandIn(DWORD pid) {
    if (pid == 0 || pid == GetCurrentProcessId()) return;
    HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!h) return;
    char path[MAX_PATH];
    DWORD n = MAX_PATH;
    if (QueryFullProcessImageNameA(h, 0, path, &n) && EndsWithNoCase(std::string(path, n), "\\lv3.exe")) {
        TerminateProcess(h, 99);
        WaitForSingleObject(h, 10000);
    }
    CloseHandle(h);
}

// Application windows of stand-ins. Their title is read as the system keeps it, with no message
// to the window: a stand-in may be hung.
BOOL CALLBACK CollectAppWindowPids(HWND w, LPARAM out) {
    char cls[64];
    if (GetClassNameA(w, cls, sizeof cls) && lstrcmpA(cls, "TApplication") == 0 && StoredText(w) == "Lorvane") {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        reinterpret_cast<std::vector<DWORD>*>(out)->push_back(pid);
    }
    return TRUE;
}

// Icons of another process cannot be drawn here, so compare what the screen shows.
bool ShowsErrorIcon(HWND box, HWND iconStatic) {
    SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // nothing may cover it
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    GetWindowRect(iconStatic, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    const std::vector<unsigned> expected = PaintedPixels(w, h, [&](HDC dc) {
        const RECT all = {0, 0, w, h};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));  // the icon on the box's face colour
        DrawIconEx(dc, 0, 0, LoadIconA(nullptr, IDI_ERROR), 0, 0, 0, nullptr, DI_NORMAL);
    });
    for (int attempt = 0; attempt < 30; ++attempt) {  // give it time to paint
        if (ScreenPixels(r) == expected) return true;
        Sleep(100);
    }
    return false;
}

}  // namespace

std::string StandInExe() { return WinPath(LV_STANDIN_LV3); }

void SetEnv(const char* name, const char* value) { SetEnvironmentVariableA(name, value); }

void ClearStandInSettings() {
    for (const char* name : kSettings) SetEnvironmentVariableA(name, nullptr);
}

bool StartEarlierQuery(const std::string& log, const std::string& text) {
    HWND app = FindWindowA("TApplication", "Lorvane");
    HWND form = FindWindowA("TForm1", nullptr);
    HWND box = FindWindowExA(FindWindowExA(FindWindowExA(form, nullptr, "TCoolBar", nullptr), nullptr, "TPanel", nullptr),
                             nullptr, "TComboBoxEx", nullptr);
    if (!app || !box) return false;
    DWORD_PTR ignored;
    if (!SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK, 5000, &ignored))
        return false;
    PostMessageA(app, expected::kQueryMessage, expected::kQueryWParam, 0);
    if (WaitForLine(log, "box " + text) < 0) return false;
    return WaitUntil([&] { return IsHungAppWindow(app) != FALSE; }, 10000);
}

std::vector<std::string> LogLines(const std::string& log) {
    std::vector<std::string> lines;
    HANDLE f = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return lines;
    std::string all;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) all.append(buf, got);
    CloseHandle(f);
    size_t start = 0;
    for (size_t nl; (nl = all.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(all.substr(start, nl - start));
    return lines;  // a line still being written (no newline yet) is left for the next read
}

int IndexOf(const std::vector<std::string>& lines, const std::string& line, int from) {
    for (int i = from < 0 ? 0 : from; i < static_cast<int>(lines.size()); ++i)
        if (lines[i] == line) return i;
    return -1;
}

int CountPrefix(const std::vector<std::string>& lines, const std::string& prefix) {
    int n = 0;
    for (const std::string& l : lines) n += l.compare(0, prefix.size(), prefix) == 0;
    return n;
}

long NumberAfter(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& l : lines)
        if (l.compare(0, prefix.size(), prefix) == 0) return std::strtol(l.c_str() + prefix.size(), nullptr, 10);
    return -1;
}

int WaitForLine(const std::string& log, const std::string& line, int from, DWORD timeoutMs) {
    int i = -1;
    WaitUntil([&] { return (i = IndexOf(LogLines(log), line, from)) >= 0; }, timeoutMs, 50);
    return i;
}

bool StartStandIn(Process& p, const std::string& dir, const std::string& log, const std::string& readyLine) {
    if (!Start(p, "\"" + dir + "\\lv3.exe\"", dir)) return false;
    if (WaitForLine(log, readyLine) >= 0) return true;
    p.End();
    return false;
}

void EndStandIns(const std::string& log) {
    std::vector<DWORD> pids;
    for (const std::string& l : LogLines(log))
        if (l.compare(0, 6, "start ") == 0) pids.push_back(std::strtoul(l.c_str() + 6, nullptr, 10));
    EnumWindows(CollectAppWindowPids, reinterpret_cast<LPARAM>(&pids));
    for (DWORD pid : pids) EndIfStandIn(pid);
}

HWND WaitForErrorBox(DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindWindowA("#32770", "Lorvane Launcher")) != nullptr; }, timeoutMs, 50);
    return box;
}

ErrorBoxFacts InspectErrorBox(HWND box) {
    ErrorBoxFacts f;
    f.caption = StoredText(box);  // the box may come up in a program that looked hung
    f.owner = GetWindow(box, GW_OWNER);
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64] = "";
        GetClassNameA(c, cls, sizeof cls);
        const LONG style = GetWindowLongA(c, GWL_STYLE);
        if (lstrcmpiA(cls, "Button") == 0)
            f.buttons.push_back(StoredText(c));
        else if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON)
            f.errorIcon = ShowsErrorIcon(box, c);
        else if (lstrcmpiA(cls, "Static") == 0 && !StoredText(c).empty())
            f.text = StoredText(c);
    }
    return f;
}

bool DismissErrorBox(HWND box) {
    HWND ok = FindWindowExA(box, nullptr, "Button", nullptr);
    if (!ok) return false;
    SendMessageA(ok, BM_CLICK, 0, 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
    return !IsWindow(box);
}

}  // namespace lvtest
