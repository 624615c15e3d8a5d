// Calls LaunchQuery from wherever it is copied, so its own folder decides which lv3.exe starts.
// Usage: launch_helper <0|1> <query> [fast | busy=<ms>]
// "fast" runs the start-up wait on a clock that advances by each sleep without really waiting,
// starting just before the tick counter wraps; the exit code is then the clock's elapsed time.
// "busy=<ms>" waits that long, on the system's clock, for a main application busy with a query.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "Launch.h"

namespace {

DWORD fakeNow = 0xFFFFF000u;

DWORD WINAPI FakeTicks() { return fakeNow; }

void WINAPI FakeSleep(DWORD ms) {
    fakeNow += ms;
    Sleep(2);  // still yield, so the application being waited for gets to run
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const bool asDomain = std::strcmp(argv[1], "1") == 0;
    if (argc > 3 && std::strcmp(argv[3], "fast") == 0) {
        const DWORD start = fakeNow;
        lv::LaunchQueryWith(argv[2], asDomain, lv::LaunchClock{FakeTicks, FakeSleep});
        return static_cast<int>(fakeNow - start);
    }
    if (argc > 3 && std::strncmp(argv[3], "busy=", 5) == 0) {
        lv::LaunchClock clock{GetTickCount, Sleep};
        clock.busyLimitMs = std::strtoul(argv[3] + 5, nullptr, 10);
        lv::LaunchQueryWith(argv[2], asDomain, clock);
        return 0;
    }
    lv::LaunchQuery(argv[2], asDomain);
    return 0;
}
