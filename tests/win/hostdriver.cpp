// Browser-style starts of the native messaging host, over overlapped named pipes so that no read
// or connection can hang a test.
#include "hostdriver.h"

#include <cstdint>
#include <cstring>

namespace lvtest {

namespace {

std::string PipeName(const char* role) {
    static LONG serial;
    return "\\\\.\\pipe\\lvtest.nativemsg." + std::to_string(GetCurrentProcessId()) + "." +
           std::to_string(InterlockedIncrement(&serial)) + "." + role;
}

HANDLE MakeServer(const std::string& name, DWORD direction) {
    return CreateNamedPipeA(name.c_str(), direction | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                            PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536, 0, nullptr);
}

// Waits for an overlapped operation; false (and the operation cancelled) after timeoutMs.
bool Finish(HANDLE h, OVERLAPPED& ov, BOOL started, DWORD& n, DWORD timeoutMs) {
    if (!started && GetLastError() != ERROR_IO_PENDING) return false;
    if (!started && WaitForSingleObject(ov.hEvent, timeoutMs) != WAIT_OBJECT_0) {
        CancelIo(h);
        GetOverlappedResult(h, &ov, &n, TRUE);
        return false;
    }
    return GetOverlappedResult(h, &ov, &n, FALSE) != 0;
}

bool Connect(HANDLE pipe, DWORD timeoutMs) {
    OVERLAPPED ov = {};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD n;
    const bool ok = ConnectNamedPipe(pipe, &ov) || GetLastError() == ERROR_PIPE_CONNECTED ||
                    Finish(pipe, ov, FALSE, n, timeoutMs);
    CloseHandle(ov.hEvent);
    return ok;
}

// Our ends of a new pair of pipes named in and out, in place of any earlier pair.
bool MakeServers(HostPipes& pipes, const std::string& in, const std::string& out) {
    pipes.Close();
    pipes.toHost = MakeServer(in, PIPE_ACCESS_OUTBOUND);
    pipes.fromHost = MakeServer(out, PIPE_ACCESS_INBOUND);
    return pipes.toHost != INVALID_HANDLE_VALUE && pipes.fromHost != INVALID_HANDLE_VALUE;
}

// The host's end of a pipe, opened by name and inheritable, for a start that hands it over.
HANDLE OpenClientEnd(const std::string& name, DWORD access) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    return CreateFileA(name.c_str(), access, 0, &sa, OPEN_EXISTING, 0, nullptr);
}

// The direct start: the program with exactly the two pipe ends inherited as its standard handles
// (a handle list, as Chrome gives), in a window shown as normal.
bool StartDirect(Process& p, const std::string& cmdLine, HANDLE hostIn, HANDLE hostOut) {
    HANDLE inherit[] = {hostIn, hostOut};
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::string attributes(size, '\0');
    STARTUPINFOEXA si = {};
    si.StartupInfo.cb = sizeof si;
    si.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    si.StartupInfo.hStdInput = hostIn;
    si.StartupInfo.hStdOutput = hostOut;
    si.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(&attributes[0]);
    if (!InitializeProcThreadAttributeList(si.lpAttributeList, 1, 0, &size)) return false;
    std::string cmd = cmdLine;
    const bool started =
        UpdateProcThreadAttribute(si.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherit, sizeof inherit,
                                  nullptr, nullptr) &&
        CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                       &si.StartupInfo, &p.pi);
    DeleteProcThreadAttributeList(si.lpAttributeList);
    return started;
}

}  // namespace

void HostPipes::CloseInput() {
    if (toHost) CloseHandle(toHost);
    toHost = nullptr;
}

void HostPipes::Close() {
    CloseInput();
    if (fromHost) CloseHandle(fromHost);
    fromHost = nullptr;
}

bool StartAsChrome(Process& p, const std::string& exe, long long parentWindow, HostPipes& pipes, ChromeStart how) {
    const std::string in = PipeName("in"), out = PipeName("out");
    if (!MakeServers(pipes, in, out)) return false;
    const std::string args = " chrome-extension://abcdefghijklmnopabcdefghijklmnop/ --parent-window=" +
                             std::to_string(parentWindow);
    p.End();
    if (how == ChromeStart::Direct) {
        const HANDLE hostIn = OpenClientEnd(in, GENERIC_READ), hostOut = OpenClientEnd(out, GENERIC_WRITE);
        const bool started = StartDirect(p, "\"" + exe + "\"" + args, hostIn, hostOut);
        CloseHandle(hostIn);  // only the host holds its ends: its exit closes the output
        CloseHandle(hostOut);
        return started;
    }
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    std::string cmd = "\"" + std::string(system) + "\\cmd.exe\" /d /s /c \"\"" + exe + "\"" + args + "\" < " + in +
                      " > " + out;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &p.pi))
        return false;
    return Connect(pipes.toHost, 15000) && Connect(pipes.fromHost, 15000);
}

HANDLE MakeHostJob(bool allowBreakaway) {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags =
        (allowBreakaway ? JOB_OBJECT_LIMIT_BREAKAWAY_OK : 0) | JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

bool StartAsFirefox(Process& p, const std::string& exe, HANDLE job, HostPipes& pipes) {
    const std::string in = PipeName("in"), out = PipeName("out");
    if (!MakeServers(pipes, in, out)) return false;
    const HANDLE hostIn = OpenClientEnd(in, GENERIC_READ), hostOut = OpenClientEnd(out, GENERIC_WRITE);
    const std::string folder = exe.substr(0, exe.rfind('\\') + 1);
    std::string cmd = "\"" + exe + "\" \"" + folder + "lviehlp-firefox.json\" lviehlp@lorvane.com";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = hostIn;
    si.hStdOutput = hostOut;
    si.hStdError = hostOut;
    p.End();
    const bool started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                                        nullptr, &si, &p.pi) != 0;
    CloseHandle(hostIn);  // only the host holds its ends: its exit closes the output
    CloseHandle(hostOut);
    if (!started) return false;
    const bool inJob = AssignProcessToJobObject(job, p.pi.hProcess) != 0;
    ResumeThread(p.pi.hThread);
    return inJob;
}

bool SendMessageBytes(const HostPipes& pipes, const std::string& body) {
    const std::uint32_t size = static_cast<std::uint32_t>(body.size());
    std::string framed(4, '\0');
    std::memcpy(&framed[0], &size, 4);
    framed += body;
    OVERLAPPED ov = {};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD n = 0;
    const BOOL started = WriteFile(pipes.toHost, framed.data(), static_cast<DWORD>(framed.size()), &n, &ov);
    const bool ok = Finish(pipes.toHost, ov, started, n, 15000) && n == framed.size();
    CloseHandle(ov.hEvent);
    return ok;
}

bool ReadToEnd(const HostPipes& pipes, std::string& out, DWORD timeoutMs) {
    out.clear();
    const DWORD t0 = GetTickCount();
    OVERLAPPED ov = {};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool ended = false;
    for (;;) {
        char buf[4096];
        DWORD n = 0;
        ResetEvent(ov.hEvent);
        const DWORD elapsed = GetTickCount() - t0;
        const BOOL started = ReadFile(pipes.fromHost, buf, sizeof buf, &n, &ov);
        const DWORD error = started ? ERROR_SUCCESS : GetLastError();
        if (error == ERROR_BROKEN_PIPE) {
            ended = true;
            break;
        }
        if (!Finish(pipes.fromHost, ov, started, n, elapsed < timeoutMs ? timeoutMs - elapsed : 0)) {
            ended = GetLastError() == ERROR_BROKEN_PIPE;
            break;
        }
        out.append(buf, n);
    }
    CloseHandle(ov.hEvent);
    return ended;
}

bool Unframe(const std::string& out, std::string& json) {
    if (out.size() < 4) return false;
    std::uint32_t size;
    std::memcpy(&size, out.data(), 4);
    if (size != out.size() - 4) return false;
    json = out.substr(4);
    return true;
}

}  // namespace lvtest
