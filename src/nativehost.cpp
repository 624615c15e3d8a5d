// The native messaging host start. The browser gives us pipes as standard input and output, reads
// exactly one reply, and ends us within seconds of it: nothing but that reply is ever written, and
// it is written only when the dialog has ended and the query has been handed over.
#include "nativehost.h"

#include <windows.h>

#include <cstdint>

#include "common.h"
#include "geturl.h"
#include "iedialog.h"
#include "selection.h"
#include "win32.h"

namespace lv {

namespace {

// ReadFile on the raw handle: no C runtime, so no text-mode translation of the bytes.
std::size_t ReadStdin(void* context, char* buffer, std::size_t size) {
    DWORD got = 0;
    const DWORD want = size > 0x10000 ? 0x10000 : static_cast<DWORD>(size);
    if (!ReadFile(static_cast<HANDLE>(context), buffer, want, &got, nullptr)) return 0;
    return got;
}

void WriteReply(const std::string& json) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const std::string framed = Frame(json);
    std::size_t at = 0;
    while (at < framed.size()) {
        DWORD written = 0;
        if (!WriteFile(out, framed.data() + at, static_cast<DWORD>(framed.size() - at), &written, nullptr) ||
            written == 0)
            return;  // the browser has gone: nobody is left to answer
        at += written;
    }
}

// The browser window the request came from: the window Chrome and Edge name, when it is a live
// top-level window; otherwise the window that was in front when we started, if it is not ours.
HWND RequestingWindow(const HostStart& start, HWND foreground) {
    if (start.parentWindow > 0 && start.parentWindow <= 0xFFFFFFFF) {
        const HWND given = reinterpret_cast<HWND>(static_cast<std::intptr_t>(start.parentWindow));
        if (IsWindow(given) && GetAncestor(given, GA_PARENT) == GetDesktopWindow()) return given;
    }
    DWORD process = 0;
    if (foreground && GetWindowThreadProcessId(foreground, &process) && process != GetCurrentProcessId())
        return foreground;
    return nullptr;
}

// The edit's text for the page: the host of an http, https or ftp address, as the Internet
// Explorer road cuts it; nothing for any other address, so the user types one. For a selection,
// what it names, shown as a page's host is.
std::string PrefillFor(const Request& request) {
    if (request.isText) return ShownHost(WideFromUtf8(SelectionQuery(request.text)));
    return IsWebAddress(request.url) ? HostOf(WideFromUtf8(request.url)) : std::string();
}

std::string ReplyFor(const DialogOutcome& outcome) {
    switch (outcome.result) {
    case DialogOutcome::Queried:
        return QueriedReply(outcome.asDomain, Utf8FromWide(WideFromAnsi(outcome.query)));
    case DialogOutcome::NotRun:
        return NotRunReply();
    case DialogOutcome::Cancelled:
        break;
    }
    return CancelledReply();
}

}  // namespace

int RunNativeHost(const HostStart& start) {
    const HWND foreground = GetForegroundWindow();  // before anything of ours can come to the front
    const Request request = ReadRequest(ReadStdin, GetStdHandle(STD_INPUT_HANDLE));
    switch (request.status) {
    case RequestStatus::NoInput:
        return kExitOk;
    case RequestStatus::Bad:
        WriteReply(ErrorReply(request.code, request.error));
        return kExitOk;
    case RequestStatus::Ok:
        break;
    }
    const DialogOutcome outcome = RunQueryDialogFor(PrefillFor(request), RequestingWindow(start, foreground));
    WriteReply(ReplyFor(outcome));
    return kExitOk;
}

}  // namespace lv
