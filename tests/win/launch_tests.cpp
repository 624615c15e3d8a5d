// Handing a query to the main application, against the stand-in lv3.exe on real windows.
// A running application is driven by LaunchQuery in this process; starting one needs the caller's
// own folder to hold lv3.exe, so those cases run launch_helper.exe copied beside the stand-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../cases/expected.h"
#include "Launch.h"
#include "standin.h"
#include "testutil.h"

using namespace lvtest;

namespace {

const char* const kDecoyClasses[] = {"TForm1", "TCoolBar", "TPanel", "TComboBoxEx", "LorvaneDecoy", "LaunchTestFront"};

// Windows of this process (the decoys) note the texts that reach them in their creator's list.
LRESULT CALLBACK DecoyProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(w, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
    auto* texts = reinterpret_cast<std::vector<std::string>*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (msg == WM_SETTEXT && texts) texts->push_back(lp ? reinterpret_cast<const char*>(lp) : "");
    return DefWindowProcA(w, msg, wp, lp);
}

struct Call {
    std::string query;
    bool asDomain;
};

DWORD WINAPI CallThread(LPVOID p) {
    const Call* c = static_cast<const Call*>(p);
    lv::LaunchQuery(c->query, c->asDomain);
    return 0;
}

// LaunchQuery on a worker thread while this thread keeps its own windows answering. Returns how
// long it took, or -1 when it had not returned within limitMs; an error box is then dismissed,
// and a call still stuck half a minute later is abandoned so that the test itself ends.
long CallLaunchQuery(const std::string& query, bool asDomain, DWORD limitMs = 20000) {
    Call* call = new Call{query, asDomain};
    HANDLE th = CreateThread(nullptr, 0, CallThread, call, 0, nullptr);
    const DWORD t0 = GetTickCount();
    bool late = false;
    while (MsgWaitForMultipleObjects(1, &th, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
        PumpMessages();
        const DWORD spent = GetTickCount() - t0;
        if (spent > limitMs) {
            late = true;
            if (HWND box = FindWindowA("#32770", "Lorvane Launcher")) DismissErrorBox(box);
        }
        if (spent > limitMs + 30000) {
            CloseHandle(th);
            return -1;  // the thread still uses call: left to process exit
        }
    }
    const DWORD took = GetTickCount() - t0;
    CloseHandle(th);
    delete call;
    return late ? -1 : static_cast<long>(took);
}

class Launch : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* cls : kDecoyClasses) RegisterWindowClass(cls, DecoyProc, COLOR_WINDOW);
        ClearStandInSettings();
        EndStandIns("");  // none may be left from elsewhere: it would count as running
        dir_ = MakeTempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        log_ = dir_ + "\\lv3.log";
        ASSERT_TRUE(CopyTo(StandInExe(), dir_ + "\\lv3.exe"));
        ASSERT_TRUE(CopyTo(WinPath(LV_LAUNCH_HELPER), dir_ + "\\launch_helper.exe"));
        SetEnv("LV3_LOG", log_.c_str());
        SetEnv("LV3_LIFETIME", "120000");
    }

    void TearDown() override {
        for (HWND w : windows_) DestroyWindow(w);
        windows_.clear();
        PumpMessages();
        for (const char* cls : kDecoyClasses) UnregisterClassA(cls, GetModuleHandleA(nullptr));
        EndStandIns(log_);
        standIn_.End();
        ClearStandInSettings();
        RemoveTree(dir_);
    }

    void StartRunning(const char* readyLine = "child TComboBoxEx") {
        ASSERT_TRUE(StartStandIn(standIn_, dir_, log_, readyLine)) << "stand-in did not come up";
    }

    // Hides the application window (so the restore shows it again) and takes the foreground with
    // a visible window of this test (so bringing the form forward is a change the stand-in sees).
    void PrepareDelivery() {
        HWND app = FindWindowA("TApplication", "Lorvane");
        if (app) ShowWindow(app, SW_HIDE);
        if (!front_) front_ = Decoy("LaunchTestFront", "front", nullptr, true);
        SetForegroundWindow(front_);
        PumpMessages();
        DWORD_PTR ignored;
        if (app) SendMessageTimeoutA(app, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);  // has seen both
    }

    // Decoys need not be visible to be found, and hidden ones are destroyed without delay.
    HWND Window(const char* cls, const char* title, HWND parent = nullptr, bool visible = false) {
        const DWORD style = (parent ? WS_CHILD : WS_OVERLAPPEDWINDOW) | (visible ? WS_VISIBLE : 0);
        return CreateWindowExA(0, cls, title, style, parent ? 0 : 900, parent ? 0 : 700, 200, 100, parent, nullptr,
                               GetModuleHandleA(nullptr), &decoyTexts_);
    }
    // A top-level decoy, destroyed (with its children) after the test.
    HWND Decoy(const char* cls, const char* title, HWND parent = nullptr, bool visible = false) {
        HWND w = Window(cls, title, parent, visible);
        if (!parent) windows_.push_back(w);
        return w;
    }

    // A folder of the test's own with an lv3.exe that must never be the one started.
    std::string Elsewhere() {
        const std::string elsewhere = dir_ + "\\elsewhere";
        CreateDirectoryA(elsewhere.c_str(), nullptr);
        EXPECT_TRUE(CopyTo(StandInExe(), elsewhere + "\\lv3.exe"));
        return elsewhere;
    }

    std::string Helper(const std::string& mode, const std::string& query, const char* fast = "") const {
        return "\"" + dir_ + "\\launch_helper.exe\" " + mode + " " + query + " " + fast;
    }

    // Starts the helper without waiting.
    static void StartHelper(Process& p, const std::string& cmdLine, const std::string& workDir = "") {
        ASSERT_TRUE(Start(p, cmdLine, workDir));
    }

    // The error box is shown exactly as it should be, then dismissed.
    static void ExpectAndDismissErrorBox(HWND box) {
        ASSERT_NE(box, nullptr) << "no launch error box";
        ErrorBoxFacts f = InspectErrorBox(box);
        EXPECT_EQ(f.caption, "Lorvane Launcher");
        EXPECT_EQ(f.text, "Failed to launch Lorvane!");
        EXPECT_EQ(f.owner, nullptr);
        EXPECT_EQ(f.buttons, std::vector<std::string>{"OK"});
        EXPECT_TRUE(f.errorIcon) << "the error icon is not what is shown";
        EXPECT_TRUE(DismissErrorBox(box));
    }

    void ExpectNothingDelivered() const {
        const std::vector<std::string> lines = LogLines(log_);
        EXPECT_EQ(CountPrefix(lines, "settext "), 0);
        EXPECT_EQ(CountPrefix(lines, "query "), 0);
        EXPECT_TRUE(decoyTexts_.empty());
    }

    // Waits for the hand-over of one query after line from: text, restore, message, foreground,
    // in that order. Index just past it, or -1 with a failure naming what is missing.
    int ExpectHandOver(const std::string& text, int mode, int from) const {
        const std::string query = expected::QueryLine(mode);
        int s = -1, r = -1, q = -1, a = -1;
        for (const DWORD t0 = GetTickCount(); GetTickCount() - t0 < 15000; Sleep(50)) {
            const std::vector<std::string> lines = LogLines(log_);
            s = IndexOf(lines, "settext " + text, from);
            r = s < 0 ? -1 : IndexOf(lines, "restore", s + 1);
            q = r < 0 ? -1 : IndexOf(lines, query, r + 1);
            a = q < 0 ? -1 : IndexOf(lines, "activate", q + 1);
            if (a >= 0) return a + 1;
        }
        EXPECT_GE(s, 0) << "text not delivered: " << text;
        EXPECT_GE(r, 0) << "no restore after the text";
        EXPECT_GE(q, 0) << "no " << query << " after the restore";
        EXPECT_GE(a, 0) << "form not brought forward after the message";
        return -1;
    }

    std::string dir_, log_;
    Process standIn_;
    HWND front_ = nullptr;
    std::vector<HWND> windows_;
    std::vector<std::string> decoyTexts_;  // texts that reached windows of this test
};

// ---- Finding the main form

TEST_F(Launch, FindsOnlyATForm1WithLorvaneInItsTitle) {
    Decoy("TForm1", "Other application");
    Decoy("TForm1", "lorvane");            // the title test is case-sensitive
    Decoy("LorvaneDecoy", "Lorvane 3");    // right title, other class
    Decoy("LorvaneDecoy", "Lorvane");
    EXPECT_EQ(lv::FindMainAppWindow(), nullptr);

    HWND hidden = Decoy("TForm1", "My Lorvane Main");  // counts visible or not
    EXPECT_EQ(lv::FindMainAppWindow(), hidden);
}

// ---- Application running: delivered at once

TEST_F(Launch, RunningGetsTextRestoreMessageAndForegroundAtOnce) {
    StartRunning();
    EXPECT_EQ(lv::FindMainAppWindow(), FindWindowA("TForm1", "Lorvane 3"));
    int from = static_cast<int>(LogLines(log_).size());

    PrepareDelivery();
    long ms = CallLaunchQuery("shop.co.example", true);
    ASSERT_GE(ms, 0) << "LaunchQuery did not return";
    EXPECT_LT(ms, 900) << "no start-up sleep may happen when the application runs";
    from = ExpectHandOver("shop.co.example", 1, from);
    ASSERT_GE(from, 0);

    PrepareDelivery();
    ms = CallLaunchQuery("www.shop.co.example", false);
    ASSERT_GE(ms, 0);
    EXPECT_LT(ms, 900);
    EXPECT_GE(ExpectHandOver("www.shop.co.example", 0, from), 0);
    EXPECT_EQ(CountPrefix(LogLines(log_), "start "), 1) << "a second copy was started";
    EXPECT_TRUE(decoyTexts_.empty());
}

TEST_F(Launch, RunningPassesOverOtherFormsInFront) {
    StartRunning();
    // Created after the stand-in, so they come first in Z order.
    HWND other = Decoy("TForm1", "Other application");
    HWND panel = Window("TPanel", "", Window("TCoolBar", "", other));
    Window("TComboBoxEx", "", panel);
    Decoy("LorvaneDecoy", "Lorvane");
    PrepareDelivery();
    ASSERT_GE(CallLaunchQuery("example.org", true), 0);
    EXPECT_GE(ExpectHandOver("example.org", 1, 0), 0);
    EXPECT_TRUE(decoyTexts_.empty()) << "text went to " << decoyTexts_.size() << " decoy window(s)";
}

// The stand-in leaves out one level of the form's children (and those below it), each in turn.
class LaunchOmitting : public Launch, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        Launch::SetUp();
        SetEnv("LV3_OMIT", GetParam());
    }
};
INSTANTIATE_TEST_SUITE_P(Levels, LaunchOmitting, ::testing::Values("TCoolBar", "TPanel", "TComboBoxEx"),
                         [](const ::testing::TestParamInfo<const char*>& level) { return std::string(level.param); });

TEST_P(LaunchOmitting, RunningWithoutAQueryBoxIsShownButGetsNoQuery) {
    // Top-level windows of the child classes: a look-up from a missing level must not land here.
    HWND topPanel = Decoy("TPanel", "decoy panel");
    Window("TComboBoxEx", "", topPanel);
    Decoy("TComboBoxEx", "decoy box");
    Decoy("TCoolBar", "decoy bar");

    StartRunning("form");
    Sleep(300);  // the children that are not left out follow the form at once
    const int from = static_cast<int>(LogLines(log_).size());
    PrepareDelivery();
    ASSERT_GE(CallLaunchQuery("lost.example", true), 0);
    const int r = WaitForLine(log_, "restore", from);
    EXPECT_GE(r, 0) << "the restore must still happen";
    EXPECT_GT(WaitForLine(log_, "activate", r + 1), r) << "the form must still come forward";
    // The message would run whatever the application's own box holds.
    EXPECT_EQ(CountPrefix(LogLines(log_), "query "), 0);
    EXPECT_EQ(CountPrefix(LogLines(log_), "settext "), 0);
    EXPECT_TRUE(decoyTexts_.empty()) << "text went to a window of ours: " << decoyTexts_.front();
}

// ---- Application not running: started from our own folder

TEST_F(Launch, StartsFromOwnFolderAndDeliversOnceTheQueryBoxExists) {
    const std::string elsewhere = Elsewhere();  // in the working directory and first on PATH
    const std::string path = Env("PATH");
    SetEnv("PATH", (elsewhere + ";" + path).c_str());
    const int rc = RunProcess(Helper("1", "shop.co.example"), elsewhere, 60000);
    SetEnv("PATH", path.c_str());

    EXPECT_EQ(rc, 0);
    const std::vector<std::string> lines = LogLines(log_);
    ASSERT_EQ(CountPrefix(lines, "start "), 1);
    const std::string& start = lines.front();  // "start <pid> <path>"
    EXPECT_EQ(lstrcmpiA(start.substr(start.find(' ', 6) + 1).c_str(), (dir_ + "\\lv3.exe").c_str()), 0) << start;
    const int box = IndexOf(lines, "child TComboBoxEx");
    ASSERT_GE(box, 0);
    EXPECT_GT(ExpectHandOver("shop.co.example", 1, box + 1), 0);
}

TEST_F(Launch, LateFormAndLateChildrenStillGetTheQuery) {
    SetEnv("LV3_FORM_DELAY", "3000");
    SetEnv("LV3_CHILD_DELAY", "1500");
    EXPECT_EQ(RunProcess(Helper("0", "192.0.2.7"), "", 60000), 0);
    const int box = IndexOf(LogLines(log_), "child TComboBoxEx");
    ASSERT_GE(box, 0);
    EXPECT_GT(ExpectHandOver("192.0.2.7", 0, box + 1), 0);
}

TEST_F(Launch, MissingProgramShowsTheErrorBoxAndStartsNothing) {
    ASSERT_TRUE(DeleteFileA((dir_ + "\\lv3.exe").c_str()));
    Process helper;
    StartHelper(helper, Helper("1", "shop.co.example"), Elsewhere());  // a copy in the working directory
    ExpectAndDismissErrorBox(WaitForErrorBox(20000));
    EXPECT_EQ(helper.Wait(20000), 0);
    EXPECT_TRUE(LogLines(log_).empty()) << "some lv3.exe was started";
}

// The start-up wait on a fast clock: it begins just before the tick counter wraps, and the helper
// reports the clock's elapsed time, which must pass 40000 ms by exactly one poll.
TEST_F(Launch, FormNeverAppearingEndsInTheErrorBoxAfterTheLimit) {
    SetEnv("LV3_NO_FORM", "1");
    Process helper;
    StartHelper(helper, Helper("1", "shop.co.example", "fast"));
    ExpectAndDismissErrorBox(WaitForErrorBox(30000));
    EXPECT_EQ(helper.Wait(20000), 40100);
    EXPECT_EQ(CountPrefix(LogLines(log_), "start "), 1);
    ExpectNothingDelivered();
}

TEST_P(LaunchOmitting, ChildrenNeverAppearingShareTheLimitAndEndInTheErrorBox) {
    SetEnv("LV3_FORM_DELAY", "300");  // part of the limit goes by before the form appears
    Process helper;
    StartHelper(helper, Helper("1", "shop.co.example", "fast"));
    ExpectAndDismissErrorBox(WaitForErrorBox(30000));
    EXPECT_EQ(helper.Wait(20000), 40100) << "the limit counts from the start, not per window";
    EXPECT_GE(IndexOf(LogLines(log_), "form"), 0);
    ExpectNothingDelivered();
}

// The one wait on the real clock.
TEST_F(Launch, FormNeverAppearingTakesFortySecondsOnTheSystemClock) {
    SetEnv("LV3_NO_FORM", "1");
    const DWORD t0 = GetTickCount();
    Process helper;
    StartHelper(helper, Helper("0", "shop.co.example"));
    HWND box = WaitForErrorBox(90000);
    const DWORD took = GetTickCount() - t0;
    EXPECT_GE(took, 40000u) << "gave up before the limit";
    EXPECT_LT(took, 60000u);
    ExpectAndDismissErrorBox(box);
    EXPECT_EQ(helper.Wait(20000), 0);
    ExpectNothingDelivered();
}

// ---- Faults

TEST_F(Launch, HungQueryBoxCostsSecondsNotForever) {
    SetEnv("LV3_HANG", "30000");
    StartRunning();
    PrepareDelivery();
    const long ms = CallLaunchQuery("hung.example", true, 25000);
    ASSERT_GE(ms, 0) << "LaunchQuery waited for the hung application";
    EXPECT_LT(ms, 10000);
    EXPECT_GE(IndexOf(LogLines(log_), "settext hung.example"), 0);
}

// A main application still busy when the limit passes (here 2 s instead of 40) gets neither the
// text nor a message that would run its previous query; it is only brought forward.
TEST_F(Launch, BusyPastTheLimitGetsNoQueryAndTheCallEndsAtTheLimit) {
    SetEnv("LV3_BUSY", "12000");
    StartRunning();
    ASSERT_TRUE(StartEarlierQuery(log_, "old.example")) << "the stand-in was not deemed hung";
    const DWORD t0 = GetTickCount();
    EXPECT_EQ(RunProcess(Helper("1", "new.example", "busy=2000"), "", 30000), 0);
    const DWORD took = GetTickCount() - t0;
    EXPECT_GE(took, 2000u) << "gave up before the limit";
    EXPECT_LT(took, 3000u) << "held past the limit";

    HWND app = FindWindowA("TApplication", "Lorvane");
    DWORD_PTR ignored;
    ASSERT_TRUE(SendMessageTimeoutA(app, WM_NULL, 0, 0, SMTO_BLOCK, 20000, &ignored)) << "never free again";
    Sleep(500);  // anything posted to it before is handled by now
    const std::vector<std::string> lines = LogLines(log_);
    EXPECT_EQ(CountPrefix(lines, "query "), 1) << "a query message followed the earlier one";
    EXPECT_EQ(IndexOf(lines, "settext new.example"), -1);
    EXPECT_EQ(IndexOf(lines, "box new.example"), -1);
}

TEST_F(Launch, ApplicationExitingBeforeDeliveryIsSurvived) {
    SetEnv("LV3_EXIT_AFTER_FORM", "400");  // well inside the one-second settle time
    EXPECT_EQ(RunProcess(Helper("1", "gone.example"), "", 60000), 0) << "crashed, hung or showed a box";
    const std::vector<std::string> lines = LogLines(log_);
    EXPECT_GT(IndexOf(lines, "exit"), IndexOf(lines, "child TComboBoxEx"));
    ExpectNothingDelivered();
}

TEST_F(Launch, ConcurrentDeliveriesAllArriveWhole) {
    StartRunning();
    const std::vector<std::pair<std::string, std::string>> calls = {
        {"1", "alpha.example"}, {"0", "192.0.2.33"}, {"1", "gamma.example.org"}};
    std::vector<Process> helpers(calls.size());
    for (std::size_t i = 0; i < calls.size(); ++i) StartHelper(helpers[i], Helper(calls[i].first, calls[i].second));
    for (const Process& h : helpers) EXPECT_EQ(h.Wait(60000), 0);
    ASSERT_GE(WaitForLine(log_, expected::QueryLine(0)), 0);
    for (int i = 0; i < 100 && CountPrefix(LogLines(log_), "query ") < 3; ++i) Sleep(50);

    const std::vector<std::string> lines = LogLines(log_);
    std::vector<std::string> texts, queries;
    for (const std::string& l : lines) {
        if (l.compare(0, 8, "settext ") == 0) texts.push_back(l.substr(8));
        if (l.compare(0, 6, "query ") == 0) queries.push_back(l);
    }
    std::sort(texts.begin(), texts.end());
    std::sort(queries.begin(), queries.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"192.0.2.33", "alpha.example", "gamma.example.org"}));
    EXPECT_EQ(queries, (std::vector<std::string>{expected::QueryLine(0), expected::QueryLine(1), expected::QueryLine(1)}));
    EXPECT_EQ(CountPrefix(lines, "start "), 1);
}

}  // namespace
