// The real lviehlp.exe handing the typed address to the stand-in main application (lv3.exe
// beside it), by button and by Enter, what other programs see of it while it waits for that
// application, and the launch error box when lv3.exe is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "../cases/expected.h"
#include "dialogdriver.h"
#include "standin.h"
#include "standinfixture.h"
#include "testutil.h"

using namespace lvtest;

namespace {

class HandOverTest : public StandInFolderTest {
protected:
    // A new lviehlp.exe in app_ (one started before is ended first), with text typed into its dialog.
    void Open(const std::string& text) {
        ASSERT_TRUE(StartDialog(app_, exe_, d_)) << "dialog did not appear";
        SetText(d_.edit, text);
    }
    // The query arrived as text and mode, and lviehlp ended by itself with code 0.
    void ExpectQuery(const std::string& text, int mode) {
        const int set = WaitForLine(log_, "settext " + text);
        EXPECT_GE(set, 0) << "no settext " << text;
        EXPECT_GE(WaitForLine(log_, expected::QueryLine(mode), set < 0 ? 0 : set), 0);
        EXPECT_EQ(CountPrefix(LogLines(log_), "settext "), 1);
        EXPECT_EQ(app_.Wait(10000), 0);
    }
};

// What another program sees of the dialog while lviehlp waits for the main application: the
// longest one of its sends took, how often the system deemed the dialog hung, and how often the
// edit box held something else than the typed text.
struct WaitSeen {
    DWORD longestSendMs = 0;
    int samples = 0, hung = 0, textChanged = 0;
};

// Samples every 250 ms until the stand-in has logged line (the text reaching its box).
WaitSeen WatchUntil(const std::string& log, const std::string& line, const Dialog& d, const std::string& typed) {
    WaitSeen seen;
    for (const DWORD t0 = GetTickCount(); GetTickCount() - t0 < 60000 && IndexOf(LogLines(log), line) < 0; Sleep(250)) {
        char buf[256] = "";
        DWORD_PTR n = 0;
        const DWORD s0 = GetTickCount();
        const bool answered = SendMessageTimeoutA(d.edit, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                                                  SMTO_NORMAL, 1000, &n) != 0;
        const DWORD took = GetTickCount() - s0;
        if (!IsWindow(d.edit)) break;  // lviehlp has already handed over and ended
        ++seen.samples;
        seen.longestSendMs = std::max(seen.longestSendMs, took);
        seen.textChanged += !answered || std::string(buf, n < sizeof buf ? n : 0) != typed;
        seen.hung += IsHungAppWindow(d.window) != FALSE;
    }
    return seen;
}

}  // namespace

TEST_F(HandOverTest, ButtonsShapeTheAddress) {
    struct Case {
        const char* typed;
        bool domain;
        const char* sent;
    } const cases[] = {
        {"http://www.shop.co.example/index.html", true, "shop.co.example"},
        {"http://www.shop.co.example/index.html", false, "www.shop.co.example"},
        {"http://192.168.0.1/", true, "0.1"},
        {"http://192.168.0.1/", false, "192.168.0.1"},
        {" example.com ", false, "example.com"},
        {"\twww.example.com ", true, "example.com"},
    };
    StartRunningStandIn();
    for (const Case& c : cases) {  // one running stand-in, a new lviehlp.exe for each case
        SCOPED_TRACE(std::string(c.typed) + (c.domain ? " as domain" : " as host"));
        DeleteFileA(log_.c_str());
        Open(c.typed);
        Click(c.domain ? d_.domain : d_.host);
        ExpectQuery(c.sent, c.domain ? 1 : 0);
    }
}

TEST_F(HandOverTest, ClickHidesTheDialogBeforeTheHandOver) {
    InstallStandIn();  // not running: lviehlp starts it, which takes more than a second
    Open("http://www.shop.co.example/index.html");
    Click(d_.domain);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(d_.window); }, 900));
    EXPECT_TRUE(app_.Running());
    EXPECT_EQ(CountPrefix(LogLines(log_), "settext "), 0);
    ExpectQuery("shop.co.example", 1);
}

TEST_F(HandOverTest, EnterHandsOverAsDomainWithTheDialogShown) {
    InstallStandIn();
    Open("http://www.shop.co.example/index.html");
    PressKey(app_, VK_RETURN);
    // While lv3 starts (logged "start"), the dialog is still on screen.
    ASSERT_GE(WaitForLine(log_, "form"), 0);
    EXPECT_TRUE(IsWindowVisible(d_.window));
    EXPECT_EQ(CountPrefix(LogLines(log_), "settext "), 0);
    ExpectQuery("shop.co.example", 1);
}

// The main application is still running an earlier query, long enough to be deemed hung: the
// chosen text must still reach its box, and only then the message, so that the query it runs next
// is the one chosen, by button and by Enter alike.
TEST_F(HandOverTest, BusyMainApplicationRunsTheChosenQuery) {
    SetEnv("LV3_BUSY", "8000");
    for (const bool byEnter : {false, true}) {
        SCOPED_TRACE(byEnter ? "by Enter" : "by button");
        DeleteFileA(log_.c_str());
        StartRunningStandIn();
        Open("http://www.shop.co.example/index.html");
        ASSERT_TRUE(StartEarlierQuery(log_, "old.example")) << "the stand-in was not deemed hung";
        if (byEnter)
            PressKey(app_, VK_RETURN);
        else
            Click(d_.host);
        const std::string sent = byEnter ? "shop.co.example" : "www.shop.co.example";
        const int set = WaitForLine(log_, "settext " + sent);
        ASSERT_GT(set, IndexOf(LogLines(log_), "box old.example")) << "the text did not arrive after the busy spell";
        const int query = WaitForLine(log_, expected::QueryLine(byEnter ? 1 : 0), set);
        ASSERT_GT(query, set) << "no query message after the text";
        EXPECT_EQ(WaitForLine(log_, "box " + sent, query + 1), query + 1) << "the query run is not the one chosen";
        EXPECT_EQ(app_.Wait(10000), 0);
        EndStandIns(log_);
        standIn_.End();
    }
}

// While lviehlp waits, with the dialog left on screen by Enter, for a main application it has just
// started (6 s until its form, then the settle time) or for one busy with an earlier query that
// broadcasts to every window meanwhile: other programs' sends to the dialog are answered at once,
// the system never deems it hung, and a key typed meanwhile does not reach it. Answering the
// broadcast frees the application, so the hand-over ends as soon as it is idle again, far inside
// the 40 s bound.
TEST_F(HandOverTest, WaitsKeepAnsweringOtherPrograms) {
    const std::string typed = "http://www.shop.co.example/index.html";
    for (const bool busy : {false, true}) {
        SCOPED_TRACE(busy ? "busy, broadcasting" : "starting");
        if (busy) {
            SetEnv("LV3_BUSY", "12000");
            SetEnv("LV3_BROADCAST", "7500");  // lviehlp waits from about 5 s into the spell
            StartRunningStandIn();
        } else {
            SetEnv("LV3_FORM_DELAY", "6000");
            InstallStandIn();
        }
        Open(typed);
        if (busy) ASSERT_TRUE(StartEarlierQuery(log_, "old.example")) << "the stand-in was not deemed hung";
        PressKey(app_, VK_RETURN);
        const DWORD t0 = GetTickCount();
        PostMessageA(d_.edit, WM_CHAR, 'x', 1);  // typed during the hand-over

        const WaitSeen seen = WatchUntil(log_, "settext shop.co.example", d_, typed);
        const long broadcast = NumberAfter(LogLines(log_), "broadcast ");
        std::printf("%s: longest send to the dialog %lu ms in %d samples, %d deemed hung; broadcast %ld ms\n",
                    busy ? "busy" : "starting", static_cast<unsigned long>(seen.longestSendMs), seen.samples,
                    seen.hung, broadcast);
        EXPECT_GE(seen.samples, 20) << "the wait was not watched past 5 s";
        EXPECT_LT(seen.longestSendMs, 500u);
        EXPECT_EQ(seen.hung, 0);
        EXPECT_EQ(seen.textChanged, 0) << "the typed key reached the dialog, or a send was not answered";
        if (busy) {
            EXPECT_GE(broadcast, 0) << "no broadcast during the busy spell";
            EXPECT_LT(broadcast, 500) << "the broadcast waited for lviehlp";
        }
        const int set = WaitForLine(log_, "settext shop.co.example");
        ASSERT_GE(set, 0) << "the text never arrived";
        EXPECT_GT(WaitForLine(log_, expected::QueryLine(1), set), set) << "no query message after the text";
        EXPECT_EQ(app_.Wait(10000), 0);
        EXPECT_LT(GetTickCount() - t0, 15000u) << "the hand-over waited out a bound";
        ResetStandIn();
    }
}

// From a folder outside the ANSI code page, the lv3.exe beside lviehlp is started and gets the query.
TEST_F(HandOverTest, NonAnsiFolderStartsTheMainApplicationFromThere) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252, this process has " << GetACP();
    const std::wstring dir = MakeCyrillicDir(dir_);
    ASSERT_TRUE(CopyFileW(Widen(exe_).c_str(), (dir + L"\\lviehlp.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(Widen(StandInExe()).c_str(), (dir + L"\\lv3.exe").c_str(), FALSE));
    ASSERT_TRUE(StartDialog(app_, dir + L"\\lviehlp.exe", d_)) << "dialog did not appear";
    SetText(d_.edit, "http://www.shop.co.example/index.html");
    Click(d_.domain);
    ExpectQuery("shop.co.example", 1);
    EXPECT_EQ(CountPrefix(LogLines(log_), "start "), 1);
}

// No lv3.exe beside lviehlp: the start fails and the box must wait for the user, even though
// hiding the dialog (and the box itself) moved the activation around. By either button.
class HandOverFails : public HandOverTest, public ::testing::WithParamInterface<bool> {};
INSTANTIATE_TEST_SUITE_P(Buttons, HandOverFails, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& domain) {
                             return std::string(domain.param ? "AsDomain" : "AsHost");
                         });

TEST_P(HandOverFails, LaunchErrorBoxStaysUntilDismissed) {
    Open("www.example.com");
    Click(GetParam() ? d_.domain : d_.host);
    HWND box = WaitForErrorBox(10000);
    ASSERT_NE(box, nullptr);
    Sleep(2000);
    EXPECT_TRUE(IsWindow(box) && IsWindowVisible(box));
    EXPECT_TRUE(app_.Running());
    DWORD pid = 0;
    GetWindowThreadProcessId(box, &pid);
    EXPECT_EQ(pid, app_.pi.dwProcessId);
    EXPECT_TRUE(DismissErrorBox(box));
    EXPECT_EQ(app_.Wait(10000), 0);
}
