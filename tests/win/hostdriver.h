// Starting lviehlp.exe as a browser starts its native messaging host, and talking to it through
// the pipes: as Chrome and Edge do on Windows (cmd.exe /d /s /c, hidden, the host's standard input
// and output redirected to two named pipes; or, by policy, the program itself with the pipes
// inherited) and as Firefox does (the program itself, inside a job
// object that allows breakaway). Used by the tests and the benchmark.
#pragma once
#include <windows.h>

#include <string>

#include "testutil.h"

namespace lvtest {

// Our ends of the host's standard input and output.
struct HostPipes {
    HANDLE toHost = nullptr;
    HANDLE fromHost = nullptr;
    HostPipes() = default;
    HostPipes(const HostPipes&) = delete;
    HostPipes& operator=(const HostPipes&) = delete;
    ~HostPipes() { Close(); }
    void CloseInput();  // the end of the host's input, as when the browser lets go of it
    void Close();
};

// How Chrome and Edge start a host: through cmd.exe (their default), or, under the policy
// NativeHostsExecutablesLaunchDirectly, the .exe itself.
enum class ChromeStart { ThroughCmd, Direct };
// ThroughCmd: cmd.exe /d /s /c ""exe" chrome-extension://<id>/ --parent-window=N" < \\.\pipe\in
// > \\.\pipe\out, hidden; p is cmd.exe, which ends with the host. Direct: "exe"
// chrome-extension://<id>/ --parent-window=N with the pipes' ends inherited as its standard input
// and output (only those), not hidden; p is the host itself.
bool StartAsChrome(Process& p, const std::string& exe, long long parentWindow, HostPipes& pipes,
                   ChromeStart how = ChromeStart::ThroughCmd);
// exe "<folder>\lviehlp-firefox.json" lviehlp@lorvane.com, started suspended, put in job and
// resumed; p is the host itself.
bool StartAsFirefox(Process& p, const std::string& exe, HANDLE job, HostPipes& pipes);
// A job as Firefox makes for its hosts, ended with its last handle; a child may be started outside
// it only when allowBreakaway (Firefox's own job allows it, a stricter one would not).
HANDLE MakeHostJob(bool allowBreakaway);

// Writes one message: the 4-byte length, then the bytes.
bool SendMessageBytes(const HostPipes& pipes, const std::string& body);
// Everything the host writes until its output closes; false when it is still open after timeoutMs.
bool ReadToEnd(const HostPipes& pipes, std::string& out, DWORD timeoutMs = 15000);
// The framed reply's text: what follows the 4-byte length, when the length matches it exactly.
bool Unframe(const std::string& out, std::string& json);

}  // namespace lvtest
