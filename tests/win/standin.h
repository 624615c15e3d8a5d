// Driving the stand-in main application (tests/standins/lv3, log format at the top of lv3.cpp)
// and the launch error box from Windows tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "testutil.h"

namespace lvtest {

std::string StandInExe();  // the built stand-in (lv3.exe)

// Sets or clears (value nullptr) a variable of this process's environment, which every program
// started from here (and what they start in turn) inherits; ClearStandInSettings drops all LV3_*.
void SetEnv(const char* name, const char* value);
void ClearStandInSettings();

// The log's lines so far; empty when the file does not exist.
std::vector<std::string> LogLines(const std::string& log);
// Index of the first line equal to line at or after from; -1 if none.
int IndexOf(const std::vector<std::string>& lines, const std::string& line, int from = 0);
int CountPrefix(const std::vector<std::string>& lines, const std::string& prefix);
// The number after prefix on the first line that starts with it ("start 1234": 1234); -1 if none.
long NumberAfter(const std::vector<std::string>& lines, const std::string& prefix);
// Waits (polling) until line appears at or after from; its index, or -1 after timeoutMs.
int WaitForLine(const std::string& log, const std::string& line, int from = 0, DWORD timeoutMs = 15000);

// Starts dir\lv3.exe directly and waits for readyLine in the log; false (and nothing left
// running) if it did not come.
bool StartStandIn(Process& p, const std::string& dir, const std::string& log, const std::string& readyLine);
// Gives the running stand-in (started with LV3_BUSY) a query of text of its own, as an earlier
// hand-over would, and waits until the system deems it hung while that query runs; false if not.
bool StartEarlierQuery(const std::string& log, const std::string& text);
// Ends stand-ins: those the log names and any whose "TApplication" window titled "Lorvane" exists.
// Only processes running an lv3.exe are ended, and never this one.
void EndStandIns(const std::string& log);

// The launch error box ("#32770" titled "Lorvane Launcher"), waited for; 0 after timeoutMs.
HWND WaitForErrorBox(DWORD timeoutMs);
struct ErrorBoxFacts {
    std::string caption, text;
    HWND owner = nullptr;
    std::vector<std::string> buttons;
    bool errorIcon = false;  // the icon drawn on screen is the system's error icon
};
ErrorBoxFacts InspectErrorBox(HWND box);
// Clicks its OK button; true when the box is gone afterwards.
bool DismissErrorBox(HWND box);

}  // namespace lvtest
