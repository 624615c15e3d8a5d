// Stand-in for the Lorvane main application (lv3.exe) in the tests: the windows lviehlp looks for,
// a log of what reaches them, and switches for the ways a real application can be late or broken.
// It takes no parameters (lviehlp starts it with none); it reads its settings from the environment
// it inherits from whoever starts it.
//
// Log: one event per line ("\n"), appended to the log file as it happens:
//   start <pid> <path>       the process is up: decimal id (so a test can end it) and its own exe path
//   form                     the main form "TForm1" exists
//   child <class>            TCoolBar, TPanel or TComboBoxEx exists
//   settext <text>           the query box received WM_SETTEXT, text as received
//   restore                  the hidden (or minimised) application window was shown from outside,
//                            as ShowWindow(SW_RESTORE) does; a visible one gets no message for it
//   query <wparam> <lparam>  message 0x4FD reached the application window (decimal)
//   box <text>               right after it: the query box's text at that moment, the query run
//   activate                 the main form became active
//   broadcast <ms>           a send to every top-level window (LV3_BROADCAST) was answered by all
//                            after this long (or given up on after 5 s per window)
//   exit                     the process is leaving
// The activation arrives as a sent message and so overtakes a posted query message still waiting
// in the queue; the form takes such a waiting message first, so the log keeps the issuing order.
//
// Settings (environment, all optional, times in milliseconds):
//   LV3_LOG              log file (default: lv3.log beside the exe)
//   LV3_FORM_TITLE       title of the form (default "Lorvane 3")
//   LV3_FORM_DELAY       wait before creating the form
//   LV3_CHILD_DELAY      wait before creating each of the three children
//   LV3_OMIT             leave out this child and those below it: TCoolBar, TPanel or TComboBoxEx
//   LV3_NO_FORM=1        never create the form
//   LV3_HANG             the query box stays busy this long inside each WM_SETTEXT (after logging it)
//   LV3_BUSY             each query keeps the UI thread busy this long, handling no messages, as a
//                        whois query does; past 5 s the system deems the application hung
//   LV3_BROADCAST        this long into each busy spell, send WM_NULL to every top-level window, as a
//                        settings-change broadcast does, and wait for the answers (SMTO_BLOCK: this
//                        thread answers nothing meanwhile, as a thread in a plain send on Windows)
//   LV3_EXIT_AFTER_FORM  exit this long after the form and its children are complete (0: at once)
//   LV3_LIFETIME         exit on its own after this long (default 120000), so none is left behind
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../../cases/expected.h"
#include "../../win/wintools.h"

namespace {

constexpr UINT kQueryMessage = expected::kQueryMessage;
constexpr UINT_PTR kFormTimer = 1, kChildTimer = 2, kExitTimer = 3, kLifeTimer = 4;
constexpr UINT kBroadcastTimeoutMs = 5000;  // per window
const char* const kChildClasses[3] = {"TCoolBar", "TPanel", "TComboBoxEx"};

struct Settings {
    std::string log;
    std::string formTitle = "Lorvane 3";
    std::string omit;
    DWORD formDelay = 0, childDelay = 0, hang = 0, busy = 0, lifetime = 120000;
    bool noForm = false;
    bool exitAfterForm = false;
    DWORD exitDelay = 0;
    bool broadcast = false;
    DWORD broadcastAt = 0;
};

// The stand-in's own state: its settings, its windows and the last query it was told to run.
struct State {
    Settings cfg;
    HWND app = nullptr, form = nullptr;
    HWND children[3] = {};
    int nextChild = 0;
    std::string lastQuery;
    LPARAM lastMode = -1;
} g;

DWORD EnvMs(const char* name, DWORD fallback) {
    std::string v = lvtest::Env(name);
    return v.empty() ? fallback : static_cast<DWORD>(std::strtoul(v.c_str(), nullptr, 10));
}

std::string OwnPath() {
    char path[MAX_PATH] = "";
    return std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
}

void LoadSettings() {
    Settings& c = g.cfg;
    c.log = lvtest::Env("LV3_LOG");
    if (c.log.empty()) {
        const std::string p = OwnPath();
        c.log = p.substr(0, p.find_last_of("\\/") + 1) + "lv3.log";
    }
    if (!lvtest::Env("LV3_FORM_TITLE").empty()) c.formTitle = lvtest::Env("LV3_FORM_TITLE");
    c.omit = lvtest::Env("LV3_OMIT");
    c.formDelay = EnvMs("LV3_FORM_DELAY", 0);
    c.childDelay = EnvMs("LV3_CHILD_DELAY", 0);
    c.hang = EnvMs("LV3_HANG", 0);
    c.busy = EnvMs("LV3_BUSY", 0);
    c.lifetime = EnvMs("LV3_LIFETIME", 120000);
    c.noForm = lvtest::Env("LV3_NO_FORM") == "1";
    c.exitAfterForm = !lvtest::Env("LV3_EXIT_AFTER_FORM").empty();
    c.exitDelay = EnvMs("LV3_EXIT_AFTER_FORM", 0);
    c.broadcast = !lvtest::Env("LV3_BROADCAST").empty();
    c.broadcastAt = EnvMs("LV3_BROADCAST", 0);
}

// One whole line per write, the file opened for each so readers always see complete lines.
void Log(const std::string& event) {
    HANDLE f = CreateFileA(g.cfg.log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    std::string line = event + "\n";
    DWORD written = 0;
    WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(f);
}

// A step that may be put off: at once when the delay is 0, otherwise on the app window's timer.
void After(DWORD delay, UINT_PTR timer, void (*step)()) {
    if (delay == 0)
        step();
    else
        SetTimer(g.app, timer, delay, nullptr);
}

void Quit() {
    Log("exit");
    DestroyWindow(g.app);  // the form is owned by it and goes too
}

void ChildrenComplete() {
    if (g.cfg.exitAfterForm) After(g.cfg.exitDelay, kExitTimer, Quit);
}

void CreateNextChild() {
    int i = g.nextChild;
    if (i >= 3 || g.cfg.omit == kChildClasses[i]) {
        ChildrenComplete();
        return;
    }
    HWND parent = i == 0 ? g.form : g.children[i - 1];
    RECT r;
    GetClientRect(parent, &r);
    const int inset = i == 0 ? 0 : 4;
    const int width = i == 2 ? 320 : r.right - 2 * inset;
    const int height = i == 0 ? 44 : r.bottom - 2 * inset;
    g.children[i] = CreateWindowExA(0, kChildClasses[i], "", WS_CHILD | WS_VISIBLE | WS_BORDER, inset, inset,
                                    width, height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    Log(std::string("child ") + kChildClasses[i]);
    g.nextChild = i + 1;
    After(g.cfg.childDelay, kChildTimer, CreateNextChild);
}

void CreateForm() {
    g.form = CreateWindowExA(0, "TForm1", g.cfg.formTitle.c_str(), WS_OVERLAPPEDWINDOW, 80, 80, 520, 200, g.app,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    Log("form");
    ShowWindow(g.form, SW_SHOWNORMAL);
    After(g.cfg.childDelay, kChildTimer, CreateNextChild);
}

void OnTimer(UINT_PTR id) {
    KillTimer(g.app, id);
    switch (id) {
    case kFormTimer: CreateForm(); break;
    case kChildTimer: CreateNextChild(); break;
    case kExitTimer:
    case kLifeTimer: Quit(); break;
    default: break;
    }
}

void Broadcast() {
    const DWORD t0 = GetTickCount();
    DWORD_PTR ignored;
    SendMessageTimeoutA(HWND_BROADCAST, WM_NULL, 0, 0, SMTO_BLOCK, kBroadcastTimeoutMs, &ignored);
    Log("broadcast " + std::to_string(GetTickCount() - t0));
}

// The query runs on this thread, handling no messages, with the broadcast somewhere inside.
void RunBusy() {
    const DWORD before = g.cfg.broadcast && g.cfg.broadcastAt < g.cfg.busy ? g.cfg.broadcastAt : g.cfg.busy;
    Sleep(before);
    if (g.cfg.broadcast) Broadcast();
    Sleep(g.cfg.busy - before);
}

void OnQuery(WPARAM wParam, LPARAM lParam) {
    Log("query " + std::to_string(wParam) + " " + std::to_string(lParam));
    g.lastQuery = g.children[2] ? lvtest::Text(g.children[2]) : std::string();
    g.lastMode = lParam;
    Log("box " + g.lastQuery);
    if (g.form) InvalidateRect(g.form, nullptr, TRUE);
    if (g.cfg.busy) RunBusy();
}

LRESULT CALLBACK AppProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kQueryMessage: OnQuery(wp, lp); return 0;
    case WM_SHOWWINDOW:
        // Shown by a ShowWindow call from outside (lParam 0), or brought back from an icon.
        if (wp && lp == 0) Log("restore");
        break;
    case WM_QUERYOPEN: Log("restore"); return TRUE;
    case WM_TIMER: OnTimer(wp); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

void PaintForm(HWND w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    SetBkMode(dc, TRANSPARENT);
    std::string q = "Last query: " + (g.lastMode < 0 ? std::string("(none)") : g.lastQuery);
    std::string m = "Mode: " + (g.lastMode < 0 ? std::string("-")
                                               : (g.lastMode == 1 ? std::string("as domain") : std::string("as IP/host")) +
                                                     " (" + std::to_string(g.lastMode) + ")");
    TextOutA(dc, 12, 60, q.c_str(), static_cast<int>(q.size()));
    TextOutA(dc, 12, 84, m.c_str(), static_cast<int>(m.size()));
    EndPaint(w, &ps);
}

void OnFormActivate(WPARAM wp) {
    if (LOWORD(wp) == WA_INACTIVE) return;
    MSG m;
    while (PeekMessageA(&m, g.app, kQueryMessage, kQueryMessage, PM_REMOVE)) OnQuery(m.wParam, m.lParam);
    Log("activate");
}

LRESULT CALLBACK FormProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE: OnFormActivate(wp); break;
    case WM_PAINT: PaintForm(w); return 0;
    case WM_CLOSE: Quit(); return 0;
    default: break;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

void PaintChild(HWND w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    const std::string text = lvtest::Text(w);
    const std::string s = std::string(cls) + (text.empty() ? "" : ": ") + text;
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 4, 2, s.c_str(), static_cast<int>(s.size()));
    EndPaint(w, &ps);
}

LRESULT CALLBACK ChildProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: PaintChild(w); return 0;
    case WM_SETTEXT:
        if (w == g.children[2]) {
            Log(std::string("settext ") + (lp ? reinterpret_cast<const char*>(lp) : ""));
            if (g.cfg.hang) Sleep(g.cfg.hang);
            InvalidateRect(w, nullptr, TRUE);
        }
        break;
    default: break;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadSettings();
    Log("start " + std::to_string(GetCurrentProcessId()) + " " + OwnPath());
    lvtest::RegisterWindowClass("TApplication", AppProc, COLOR_BTNFACE);
    lvtest::RegisterWindowClass("TForm1", FormProc, COLOR_BTNFACE);
    for (const char* cls : kChildClasses) lvtest::RegisterWindowClass(cls, ChildProc, COLOR_WINDOW);

    // The application window owns the form and starts out of sight, so that each restore from
    // outside shows it (a test hides it again before the next one).
    g.app = CreateWindowExA(0, "TApplication", "Lorvane", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 300,
                            300, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetTimer(g.app, kLifeTimer, g.cfg.lifetime, nullptr);
    if (!g.cfg.noForm) After(g.cfg.formDelay, kFormTimer, CreateForm);

    lvtest::RunMessageLoop();
    return 0;
}
