// Benchmark driver, run under Wine: starts programs, times each to its window (and, when asked, to
// its pre-filled edit box, also as a browser's native messaging host given one message), reads its
// peak working set, and times the hand-over from a button click to the main application's
// receipt. Prints one line per run.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../../tests/cases/expected.h"

namespace {

double Ms(LONGLONG ticks) {
    static LONGLONG freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(freq);
}

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

HWND FindChild(HWND parent, const char* cls, const char* text) {
    return FindWindowExA(parent, nullptr, cls, text);
}

// The window is there, visible and, when asked, its edit box holds text.
HWND ReadyWindow(const char* cls, bool prefilled) {
    HWND w = FindWindowA(cls, nullptr);
    if (!w || !IsWindowVisible(w)) return nullptr;
    if (prefilled) {
        HWND edit = FindChild(w, "Edit", nullptr);
        DWORD_PTR len = 0;
        if (!edit || !SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &len) || len == 0)
            return nullptr;
    }
    return w;
}

struct Started {
    PROCESS_INFORMATION pi{};
    HWND window = nullptr;
    double ms = -1;
    HANDLE toHost = nullptr, fromHost = nullptr;  // a native messaging host's pipes
};

// A native messaging host's start: pipes as standard input and output, and the browser's message
// written at once, as the browser does.
const char kHostMessage[] = "{\"url\":\"http://www.shop.co.example/index.html\"}";

bool HostPipes(STARTUPINFOA& si, Started& s, HANDLE& hostIn, HANDLE& hostOut) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    if (!CreatePipe(&hostIn, &s.toHost, &sa, 0) || !CreatePipe(&s.fromHost, &hostOut, &sa, 1 << 16)) return false;
    SetHandleInformation(s.toHost, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(s.fromHost, HANDLE_FLAG_INHERIT, 0);
    si.dwFlags |= STARTF_USESTDHANDLES;
    si.hStdInput = hostIn;
    si.hStdOutput = hostOut;
    si.hStdError = hostOut;
    return true;
}

void SendHostMessage(HANDLE toHost) {
    const DWORD size = sizeof kHostMessage - 1;
    DWORD n;
    WriteFile(toHost, &size, 4, &n, nullptr);
    WriteFile(toHost, kHostMessage, size, &n, nullptr);
}

Started StartAndWait(const std::string& cmd, const char* cls, bool prefilled, DWORD timeoutMs, bool host = false) {
    Started s;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    HANDLE hostIn = nullptr, hostOut = nullptr;
    if (host && !HostPipes(si, s, hostIn, hostOut)) return s;
    std::string line = cmd;
    const LONGLONG t0 = Now();
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, host, 0, nullptr, nullptr, &si, &s.pi);
    if (host) {
        CloseHandle(hostIn);
        CloseHandle(hostOut);
        if (started) SendHostMessage(s.toHost);
    }
    if (!started) return s;
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < timeoutMs) {
        if ((s.window = ReadyWindow(cls, prefilled)) != nullptr) {
            s.ms = Ms(Now() - t0);
            break;
        }
        if (WaitForSingleObject(s.pi.hProcess, 0) == WAIT_OBJECT_0) break;
        Sleep(1);
    }
    return s;
}

SIZE_T PeakWorkingSet(HANDLE process) {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    return GetProcessMemoryInfo(process, &pmc, sizeof pmc) ? pmc.PeakWorkingSetSize : 0;
}

void Finish(Started& s) {
    if (s.window) PostMessageA(s.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(s.pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(s.pi.hProcess, 1);
    CloseHandle(s.pi.hThread);
    CloseHandle(s.pi.hProcess);
    if (s.toHost) CloseHandle(s.toHost);
    if (s.fromHost) CloseHandle(s.fromHost);
    // Let the window disappear before the next run looks for it.
    for (int i = 0; i < 2000 && s.window && IsWindow(s.window); ++i) Sleep(1);
}

// Receipts of message 0x4FD in the main application's log ("query <wParam> <lParam> [<counter>]").
// When the line carries the receiver's own counter reading, that is the receipt time; otherwise
// the driver's reading when it first sees the line (late by at most one polling step).
struct Receipts {
    int count = 0;
    int lines = 0;
    LONGLONG lastStamp = -1;
    std::string lastLine;
};

Receipts ReadReceipts(const char* logPath) {
    Receipts r;
    FILE* f = std::fopen(logPath, "rb");
    if (!f) return r;
    char buf[1024];
    while (std::fgets(buf, sizeof buf, f)) {
        ++r.lines;
        r.lastLine = buf;
        if (std::strncmp(buf, "query ", 6) != 0) continue;
        ++r.count;
        long long w = 0, l = 0, stamp = -1;
        r.lastStamp = std::sscanf(buf + 6, "%lld %lld %lld", &w, &l, &stamp) == 3 ? stamp : -1;
    }
    std::fclose(f);
    return r;
}

int Usage() {
    std::fprintf(stderr,
                 "lvbench startup RUNS LIST_FILE    (lines: LABEL<tab>CLASS<tab>prefilled|window|host<tab>COMMAND)\n"
                 "lvbench handover RUNS RECEIPT_LOG BUTTON_TEXT|ENTER COMMAND...\n"
                 "lvbench post RUNS RECEIPT_LOG CLASS TITLE\n"
                 "lvbench findwindow CLASS\n"
                 "lvbench close CLASS\n");
    return 2;
}

std::string JoinFrom(int argc, char** argv, int first) {
    std::string cmd;
    for (int i = first; i < argc; ++i) {
        if (!cmd.empty()) cmd += ' ';
        cmd += std::strchr(argv[i], ' ') ? "\"" + std::string(argv[i]) + "\"" : std::string(argv[i]);
    }
    return cmd;
}

struct Program {
    std::string label, cls, command;
    bool prefilled = false;
    bool host = false;  // started as a browser's native messaging host, to the pre-filled dialog
};

std::vector<Program> ReadProgramList(const char* path) {
    std::vector<Program> all;
    FILE* f = std::fopen(path, "rb");
    if (!f) return all;
    char buf[2048];
    while (std::fgets(buf, sizeof buf, f)) {
        std::string line(buf);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        std::string field[4];
        std::size_t from = 0;
        for (int i = 0; i < 4; ++i) {
            const std::size_t tab = i < 3 ? line.find('\t', from) : std::string::npos;
            field[i] = line.substr(from, tab == std::string::npos ? std::string::npos : tab - from);
            from = tab == std::string::npos ? line.size() : tab + 1;
        }
        if (field[3].empty()) continue;
        const bool host = field[2] == "host";
        all.push_back(Program{field[0], field[1], field[3], host || field[2] == "prefilled", host});
    }
    std::fclose(f);
    return all;
}

// Start-up and peak working set. The programs take turns run by run, so that a load change on
// the machine falls on all of them alike.
int RunStartup(int runs, const char* listPath) {
    const std::vector<Program> programs = ReadProgramList(listPath);
    if (programs.empty()) return Usage();
    int failed = 0;
    for (int r = 0; r < runs; ++r) {
        for (const Program& p : programs) {
            Started s = StartAndWait(p.command, p.cls.c_str(), p.prefilled, 20000, p.host);
            if (s.ms < 0) {
                std::printf("%s startup-failed\n", p.label.c_str());
                ++failed;
            } else {
                Sleep(200);  // settle: the peak is read once the window is up and idle
                std::printf("%s startup %.3f peakws %lu\n", p.label.c_str(), s.ms,
                            static_cast<unsigned long>(PeakWorkingSet(s.pi.hProcess)));
            }
            std::fflush(stdout);
            Finish(s);
        }
    }
    return failed ? 1 : 0;
}

// Presses the query button ("ENTER": Enter in the edit box, the query without hiding first);
// click is the counter reading taken just before.
bool PressQuery(HWND dialog, const char* button, LONGLONG& click) {
    const bool enter = std::strcmp(button, "ENTER") == 0;
    HWND b = dialog ? FindChild(dialog, enter ? "Edit" : "Button", enter ? nullptr : button) : nullptr;
    if (!b) return false;
    Sleep(50);
    click = Now();
    if (enter) {
        PostMessageA(b, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(b, WM_KEYUP, VK_RETURN, 0xC0000001);
    } else {
        PostMessageA(b, BM_CLICK, 0, 0);
    }
    return true;
}

// Waits up to 5 s for a receipt beyond the before-th; each new log line goes to stderr with its time.
bool AwaitReceipt(const char* log, int before, LONGLONG since, Receipts& got, LONGLONG& seen) {
    int linesSeen = ReadReceipts(log).lines;
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < 5000; Sleep(1)) {
        got = ReadReceipts(log);
        seen = Now();
        if (got.lines != linesSeen) {  // where the time goes
            std::fprintf(stderr, "  +%.1f ms %s", Ms(seen - since), got.lastLine.c_str());
            linesSeen = got.lines;
        }
        if (got.count > before) return true;
    }
    return false;
}

int RunHandover(int runs, const char* log, const char* button, const std::string& cmd) {
    for (int r = 0; r < runs; ++r) {
        Started s = StartAndWait(cmd, "LvIeDialogWnd", true, 20000);
        const int before = ReadReceipts(log).count;
        LONGLONG click = 0;
        if (!PressQuery(s.window, button, click)) {
            std::printf("handover-failed no dialog or button\n");
            Finish(s);
            return 1;
        }
        Receipts got;
        LONGLONG seen = 0;
        if (!AwaitReceipt(log, before, click, got, seen)) {
            std::printf("handover-failed no receipt\n");
            Finish(s);
            return 1;
        }
        const bool stamped = got.lastStamp > 0;
        std::printf("handover %.3f %s\n", Ms((stamped ? got.lastStamp : seen) - click), stamped ? "stamped" : "polled");
        std::fflush(stdout);
        s.window = nullptr;  // the dialog ends itself after a query
        Finish(s);
    }
    return 0;
}

// The floor of the hand-over: the driver itself posts the query message straight to the application window.
int RunPost(int runs, const char* log, const char* cls, const char* title) {
    HWND app = FindWindowA(cls, title);
    if (!app) return 1;
    for (int r = 0; r < runs; ++r) {
        const int before = ReadReceipts(log).count;
        const LONGLONG sent = Now();
        PostMessageA(app, expected::kQueryMessage, expected::kQueryWParam, 0);
        Receipts got;
        for (DWORD begin = GetTickCount(); GetTickCount() - begin < 5000; Sleep(1))
            if ((got = ReadReceipts(log)).count > before) break;
        if (got.count <= before || got.lastStamp <= 0) return 1;
        std::printf("post %.3f\n", Ms(got.lastStamp - sent));
        std::fflush(stdout);
        Sleep(20);
    }
    return 0;
}

int RunFindWindow(const char* cls) {
    HWND w = FindWindowA(cls, nullptr);
    if (!w) return 1;
    std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(w)));
    return 0;
}

// Closes every top-level window of the class and waits until none is left.
int RunClose(const char* cls) {
    for (int i = 0; i < 500; ++i) {
        HWND w = FindWindowA(cls, nullptr);
        if (!w) return 0;
        PostMessageA(w, WM_CLOSE, 0, 0);
        Sleep(10);
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "findwindow" && argc == 3) return RunFindWindow(argv[2]);
    if (mode == "close" && argc == 3) return RunClose(argv[2]);
    if (mode == "startup" && argc == 4) return RunStartup(std::atoi(argv[2]), argv[3]);
    if (mode == "handover" && argc >= 6) return RunHandover(std::atoi(argv[2]), argv[3], argv[4], JoinFrom(argc, argv, 5));
    if (mode == "post" && argc == 6) return RunPost(std::atoi(argv[2]), argv[3], argv[4], argv[5]);
    return Usage();
}
