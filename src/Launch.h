// Hand-over of one query to the main application, starting it when it is not running.
#pragma once
#include <windows.h>

#include <string>

namespace lv {

// The main application's form: top-level "TForm1" whose title contains "Lorvane"; 0 if none.
HWND FindMainAppWindow();

// Delivers query with mode 1 (asDomain) or 0. Blocks while the application starts.
void LaunchQuery(const std::string& query, bool asDomain);

// The clock of the start-up wait. LaunchQuery uses the system's; tests pass one that runs fast.
struct LaunchClock {
    DWORD(WINAPI* tickCount)();
    void(WINAPI* sleep)(DWORD);
};
void LaunchQueryWith(const std::string& query, bool asDomain, const LaunchClock& clock);

}  // namespace lv
