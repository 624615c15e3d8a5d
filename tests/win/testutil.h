// Helpers for the Windows tests: paths of the built programs, processes and registry read-back.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "wintools.h"

namespace lvtest {

// A build path as this process sees it: Unix paths from the build become Z:\ paths under Wine.
std::string WinPath(const std::string& buildPath);
std::string DistFile(const char* name);   // a file in dist/
std::string BinFile(const std::string& rel); // a file below the build directory

// A started process; killed (if still running) and closed when it is let go.
struct Process {
    PROCESS_INFORMATION pi = {};
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& o) noexcept : pi(o.pi) { o.pi = {}; }
    Process& operator=(Process&& o) noexcept;
    ~Process() { End(); }
    void End();
    bool Running() const;
    // Exit code once ended within timeoutMs (times the slowness); -2 when still running.
    int Wait(DWORD timeoutMs) const;
};

bool Start(Process& p, const std::string& commandLine, const std::string& workDir = "");
// The same for command lines and folders the ANSI code page cannot hold.
bool StartWide(Process& p, const std::wstring& commandLine, const std::wstring& workDir = L"");

// The harness's waits for this machine: timeoutMs times LV_TEST_SLOWNESS (1 when unset; the emulated
// machine, where each Wine start is 10 to 20 times slower, sets more). Never applied to the program's
// own bounds, only to how long a test waits for something to appear or end.
DWORD Patient(DWORD timeoutMs);

// Sleeps in small steps until pred() holds or timeoutMs (times the slowness) passes; returns pred().
template <typename Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs = 10000, DWORD stepMs = 20) {
    timeoutMs = Patient(timeoutMs);
    const DWORD t0 = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - t0 > timeoutMs) return pred();
        Sleep(stepMs);
    }
    return true;
}

// Runs a command line, waits for it (at most timeoutMs) and returns its exit code;
// -1 when it could not be started, -2 when it did not end in time (it is then killed).
int RunProcess(const std::string& commandLine, const std::string& workDir = "", DWORD timeoutMs = 30000);
int RunProcessWide(const std::wstring& commandLine, DWORD timeoutMs = 30000, const std::wstring& workDir = L"");

// A fresh, empty temporary folder below the build directory, named after tag ("_" for characters
// a file name cannot hold); removed with its files by RemoveTree.
std::string MakeTempDir(const std::string& tag);
void RemoveTree(const std::string& dir);
bool CopyTo(const std::string& from, const std::string& to);
std::wstring Widen(const std::string& ansi);  // text of the ANSI code page as UTF-16
// A folder named in Cyrillic, below dir: outside code page 1252.
std::wstring MakeCyrillicDir(const std::string& dir);

// Registry read-back.
bool KeyExists(HKEY root, const std::string& path, REGSAM view = 0);
// The value's data as stored (terminator dropped for REG_SZ), and its type.
bool ReadValue(HKEY root, const std::string& path, const std::string& name, std::string& data, DWORD& type,
               REGSAM view = 0);
// Value names of a key in the order the registry lists them.
int ValueCount(HKEY root, const std::string& path);
void DeleteTree(HKEY root, const std::string& path);
// Registry writes, the key created as needed. SetValue stores the bytes as given (REG_SZ data is
// UTF-16 here); SetSz takes text of the ANSI code page. view, here, in KeyExists and in ReadValue:
// 0 for the process's own registry view, or KEY_WOW64_32KEY / KEY_WOW64_64KEY for that one.
bool SetValue(HKEY root, const std::string& path, const wchar_t* name, DWORD type, const void* data, DWORD size,
              REGSAM view = 0);
void SetWideSz(HKEY root, const std::string& path, const wchar_t* name, const std::wstring& data, REGSAM view = 0);
void SetSz(HKEY root, const std::string& path, const std::string& name, const std::string& data, REGSAM view = 0);
void DeleteValue(HKEY root, const std::string& path, const char* name, REGSAM view = 0);

// Pixels as 0xRRGGBB, row by row from the top: of a w x h bitmap that paint draws on, and of what
// the screen shows over a rectangle (PrintWindow gives black under Wine; the screen is right).
std::vector<unsigned> PaintedPixels(int w, int h, const std::function<void(HDC)>& paint);
std::vector<unsigned> ScreenPixels(const RECT& r);

}  // namespace lvtest
