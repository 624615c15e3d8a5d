// Hand-over of one query to the main application, starting it when it is not running.
#pragma once
#include <windows.h>

#include <string>

namespace lv {

// The main application's form: top-level "TForm1" whose title contains "Lorvane"; 0 if none.
HWND FindMainAppWindow();

// Delivers query with mode 1 (asDomain) or 0. Blocks while the application starts. True when the
// query message was posted: the application took the text and was told to run it. With leaveJob,
// an application started here is started outside this process's job where the job allows it, so
// that it outlives a browser that ends the job (and this process) after its reply.
bool LaunchQuery(const std::string& query, bool asDomain, bool leaveJob = false);

// The clock of the waits for the main application, and how long a busy one is waited for before
// its query box takes the text. LaunchQuery uses the system's clock and 40 s, as long as its own
// start may take; tests pass a clock that runs fast, or a shorter limit. The system clock's sleep
// keeps answering what other programs send to this thread's windows, so that the waiting thread
// is never deemed hung nor held by a program that sends to it while it waits for that program.
struct LaunchClock {
    DWORD(WINAPI* tickCount)();
    void(WINAPI* sleep)(DWORD);
    DWORD busyLimitMs = 40000;
};
bool LaunchQueryWith(const std::string& query, bool asDomain, const LaunchClock& clock, bool leaveJob = false);

}  // namespace lv
