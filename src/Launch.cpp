// Hand-over to the main application: find its form and query box (starting it if need be),
// put the text in, restore it, tell it how to run the query and bring it to the front.
#include "Launch.h"

#include <shellapi.h>

#include <algorithm>

#include "common.h"
#include "scoped.h"
#include "ticks.h"
#include "win32.h"

namespace lv {

namespace {

constexpr UINT kQueryMessage = WM_USER + 253;
constexpr WPARAM kQueryWParam = 255;
constexpr DWORD kPollMs = 100;
constexpr DWORD kStartLimitMs = 40000;
constexpr DWORD kSettleMs = 1000;
// A hung application must not hold us: each cross-process send gives up after this long.
constexpr UINT kSendTimeoutMs = 2500;
// Not SMTO_BLOCK: while a send waits, what others send to our windows is answered, so a program
// that is itself sending to us (a broadcast, say) and the one we wait for never hold each other.
constexpr UINT kSendFlags = SMTO_ABORTIFHUNG | SMTO_NORMAL;

const char kAppClass[] = "TApplication";
const char kAppTitle[] = "Lorvane";

std::string ClassName(HWND w) {
    char buf[255];
    int n = GetClassNameA(w, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

std::string WindowText(HWND w) {
    char buf[255];
    int n = GetWindowTextA(w, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

// A missing level ends the path: a parent of 0 would make the look-up search the top-level windows.
HWND ChildOf(HWND parent, const char* cls) { return parent ? FindWindowExA(parent, nullptr, cls, nullptr) : nullptr; }

HWND QueryBoxOf(HWND form) { return ChildOf(ChildOf(ChildOf(form, "TCoolBar"), "TPanel"), "TComboBoxEx"); }

// Handles what other threads and processes have sent to this thread's windows, and nothing else:
// posted messages and input stay queued for the dialog's loop, so no key and no second query
// reaches it during a hand-over. Looking at the queue also shows the system the thread is alive;
// one that has not looked for 5 s is deemed hung.
void AnswerSends() {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// The system clock's wait: ms long, answering sends as they arrive, and at least every poll.
void WINAPI WaitAnsweringSends(DWORD ms) {
    const DWORD t0 = GetTickCount();
    for (DWORD spent = 0; spent < ms; spent = GetTickCount() - t0) {
        AnswerSends();
        MsgWaitForMultipleObjectsEx(0, nullptr, std::min(ms - spent, kPollMs), QS_SENDMESSAGE, 0);
    }
    AnswerSends();
}

// A bounded send to another process's window; true when it was handled in time.
bool SendBounded(HWND w, UINT message, LPARAM lParam, UINT timeoutMs) {
    AnswerSends();  // two sends back to back must not go 5 s without a look at the queue
    DWORD_PTR ignored;
    return SendMessageTimeoutA(w, message, 0, lParam, kSendFlags, timeoutMs, &ignored) != 0;
}

// Retries find every poll until it yields a window; 0 once the start-up limit since t0 has passed.
template <typename Find>
HWND WaitFor(Find find, DWORD t0, const LaunchClock& clock) {
    HWND w;
    while ((w = find()) == nullptr) {
        clock.sleep(kPollMs);
        if (TicksExceeded(t0, clock.tickCount(), kStartLimitMs)) return nullptr;
    }
    return w;
}

void ShowLaunchError() { MessageBoxA(nullptr, "Failed to launch Lorvane!", "Lorvane Launcher", MB_ICONERROR | MB_OK); }

// Waits until the box's thread handles messages again: at once when the application is idle, and
// for as long as a whois query keeps its UI thread busy, up to the busy limit. A thread the system
// deems hung makes each probe return at once, so the wait keeps to the clock.
bool WaitUntilAnswering(HWND box, const LaunchClock& clock) {
    const DWORD t0 = clock.tickCount();
    while (!SendBounded(box, WM_NULL, 0, kPollMs)) {
        if (!IsWindow(box)) return false;
        clock.sleep(kPollMs);
        if (TicksExceeded(t0, clock.tickCount(), clock.busyLimitMs)) return false;
    }
    return true;
}

// True once the box has taken the text. A send that gave up may have delivered nothing, and the
// query message would then run whatever the box held before.
bool PutText(HWND box, const std::string& query, const LaunchClock& clock) {
    return box && WaitUntilAnswering(box, clock) &&
           SendBounded(box, WM_SETTEXT, reinterpret_cast<LPARAM>(query.c_str()), kSendTimeoutMs);
}

bool Deliver(HWND form, HWND box, const std::string& query, bool asDomain, const LaunchClock& clock) {
    const bool textArrived = PutText(box, query, clock);
    // The restore is queued without waiting, then a bounded no-op send waits until the application
    // has handled it: the foreground step below would be undone by a restore still pending.
    HWND app = FindWindowA(kAppClass, kAppTitle);
    if (app) {
        ShowWindowAsync(app, SW_RESTORE);
        SendBounded(app, WM_NULL, 0, kSendTimeoutMs);
    }
    // Posted, not sent: the query runs in the application's own time. Without the text it would
    // run the previous one, so then the application is only shown.
    bool posted = false;
    if (textArrived) {
        const QueryMode mode = asDomain ? kQueryAsDomain : kQueryAsHost;
        posted = PostMessageA(FindWindowA(kAppClass, kAppTitle), kQueryMessage, kQueryWParam, mode) != FALSE;
    }
    SetForegroundWindow(form);
    return posted;
}

// lv3.exe by its full path, as the shell would start it, but outside this process's job: the
// browser that started us ends the job soon after our reply. No handles are inherited, so the
// application holds none of the browser's pipes. A job that allows no breakaway refuses the start
// with ERROR_ACCESS_DENIED.
bool StartOutsideJob(const std::wstring& exePath) {
    STARTUPINFOW si = {};  // hStdInput, hStdOutput and hStdError stay 0
    si.cb = sizeof si;
    // Standard handles named as none: some systems hand a child the parent's pipes otherwise, and
    // the browser would wait for the application to close them.
    si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    si.wShowWindow = SW_SHOWNORMAL;  // our own start may have been hidden; the application's is not
    std::wstring commandLine = L"\"" + exePath + L"\"";
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_BREAKAWAY_FROM_JOB, nullptr,
                        nullptr, &si, &pi))
        return false;
    UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    return true;
}

// lv3.exe from our own folder through the shell: by the ANSI path while the code page holds it, by
// the wide one where only that names the file. The shell reports success with a value above 32.
bool ShellStart(const ModulePath& ownPath) {
    HINSTANCE result;
    if (ownPath.exact) {
        const std::string exePath = DirectoryPart(ownPath.ansi, AnsiLeadByte) + "lv3.exe";
        result = ShellExecuteA(GetDesktopWindow(), nullptr, exePath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    } else {
        const std::wstring exePath = DirectoryPart(ownPath.wide) + L"lv3.exe";
        result = ShellExecuteW(GetDesktopWindow(), nullptr, exePath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// Starts lv3.exe from our own folder and waits for its form and query box; false after an error box.
bool StartMainApp(const LaunchClock& clock, bool leaveJob, HWND& form, HWND& box) {
    ModulePath ownPath;
    if (!OwnModulePath(ownPath)) {  // never fall back to a bare "lv3.exe" found on the search path
        ShowLaunchError();
        return false;
    }
    // The job's own limits are not asked: not every system answers for the caller's job without a
    // handle to it, so the start itself tells whether the job lets it out. Only a job that refuses
    // the breakaway sends us back to the shell, which starts it inside.
    bool started = false, viaShell = true;
    if (leaveJob && RunsInJob()) {
        started = StartOutsideJob(DirectoryPart(ownPath.wide) + L"lv3.exe");
        viaShell = !started && GetLastError() == ERROR_ACCESS_DENIED;
    }
    if (viaShell) started = ShellStart(ownPath);
    if (!started) {
        ShowLaunchError();
        return false;
    }
    // One limit for the form and its three children, all measured from the start.
    const DWORD t0 = clock.tickCount();
    form = WaitFor(FindMainAppWindow, t0, clock);
    HWND bar = form ? WaitFor([&] { return ChildOf(form, "TCoolBar"); }, t0, clock) : nullptr;
    HWND panel = bar ? WaitFor([&] { return ChildOf(bar, "TPanel"); }, t0, clock) : nullptr;
    box = panel ? WaitFor([&] { return ChildOf(panel, "TComboBoxEx"); }, t0, clock) : nullptr;
    if (!box) {
        ShowLaunchError();
        return false;
    }
    clock.sleep(kSettleMs);  // let the freshly started application finish setting up
    return true;
}

}  // namespace

HWND FindMainAppWindow() {
    for (HWND w = FindWindowA(nullptr, nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (ClassName(w) != "TForm1") continue;
        if (Pos("Lorvane", WindowText(w)) != 0) return w;
    }
    return nullptr;
}

bool LaunchQueryWith(const std::string& query, bool asDomain, const LaunchClock& clock, bool leaveJob) {
    HWND form = FindMainAppWindow();
    HWND box;
    if (form)
        box = QueryBoxOf(form);  // running: no waiting, no sleep
    else if (!StartMainApp(clock, leaveJob, form, box))
        return false;
    return Deliver(form, box, query, asDomain, clock);
}

bool LaunchQuery(const std::string& query, bool asDomain, bool leaveJob) {
    static const LaunchClock systemClock = {GetTickCount, WaitAnsweringSends};
    return LaunchQueryWith(query, asDomain, systemClock, leaveJob);
}

}  // namespace lv
