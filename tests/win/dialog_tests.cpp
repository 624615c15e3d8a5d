// The real lviehlp.exe with no arguments: its dialog driven from outside like a user would,
// with the stand-in browser and the stand-in Shell Windows collection.
#include <gtest/gtest.h>

#include "dialogdriver.h"
#include "testutil.h"

using namespace lvtest;

namespace {

// lviehlp.exe alone in a folder: any query it tries shows the launch error box there.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeTempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        exe_ = dir_ + "\\lviehlp.exe";
        ASSERT_TRUE(CopyTo(DistFile("lviehlp.exe"), exe_));
    }
    void TearDown() override {
        UnregisterStandInShellWindows();
        if (browser_.Running()) CloseBrowser(browser_);
        app_.End();
        RemoveTree(dir_);
    }
    void Open() { ASSERT_TRUE(StartDialog(app_, exe_, d_)) << "dialog did not appear"; }
    // The process ends by itself, with code 0, and never showed the launch error box.
    void ExpectEndsWithoutQuery() {
        EXPECT_EQ(app_.Wait(10000), 0);
        EXPECT_TRUE(WindowsOf(app_, "#32770").empty());
    }
    bool Enabled(HWND w) { return IsWindowEnabled(w) != FALSE; }

    std::string dir_, exe_;
    Process browser_, app_;
    Dialog d_;
};

DWORD Selection(HWND edit) { return static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0)); }

}  // namespace

TEST_F(DialogTest, WindowsClassesStylesTextsAndOwner) {
    Open();
    char cls[64];
    GetClassNameA(d_.window, cls, sizeof cls);
    EXPECT_STREQ(cls, "LvIeDialogWnd");
    EXPECT_EQ(Text(d_.window), "Lorvane");
    EXPECT_TRUE(GetWindowLongA(d_.window, GWL_STYLE) & WS_SYSMENU);
    EXPECT_FALSE(GetWindowLongA(d_.window, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    HWND owner = GetWindow(d_.window, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    GetClassNameA(owner, cls, sizeof cls);
    EXPECT_STREQ(cls, "LvIeMainWnd");
    EXPECT_EQ(Text(owner), "Lorvane");
    EXPECT_FALSE(IsWindowVisible(owner));

    struct Expected {
        HWND w;
        const char* cls;
        const char* text;
        LONG style, exStyle;
    } const controls[] = {
        {d_.label, "Static", "Query address:", 0x50000000, 0},
        {d_.edit, "Edit", "", 0x50010080, WS_EX_CLIENTEDGE},
        {d_.domain, "Button", "As Domain", 0x58010001, 0},
        {d_.host, "Button", "As IP/Hostname", 0x58010000, 0},
        {d_.cancel, "Button", "Cancel", 0x50010000, 0},
    };
    for (const Expected& e : controls) {
        GetClassNameA(e.w, cls, sizeof cls);
        EXPECT_STREQ(cls, e.cls);
        EXPECT_EQ(Text(e.w), e.text);
        EXPECT_EQ(GetWindowLongA(e.w, GWL_STYLE), e.style) << e.cls << " " << e.text;
        EXPECT_EQ(GetWindowLongA(e.w, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, e.exStyle) << e.cls << " " << e.text;
        EXPECT_EQ(GetWindowLongA(e.w, GWL_ID), 0);
    }
    EXPECT_EQ(Focus(app_), d_.edit);
}

TEST_F(DialogTest, PrefillsTheHostOfTheBrowserPageSelected) {
    std::vector<HWND> frames;
    ASSERT_TRUE(StartBrowser(browser_, {"http://www.example.com/a/b"}, frames));
    RegisterStandInShellWindows({BrowserItem(frames[0], "http://www.example.com/a/b")});
    Open();
    EXPECT_EQ(Text(d_.edit), "www.example.com");
    EXPECT_EQ(Selection(d_.edit), MAKELONG(0, 15));
    EXPECT_TRUE(Enabled(d_.domain));
    EXPECT_TRUE(Enabled(d_.host));
}

TEST_F(DialogTest, PrefillComesFromTheHigherBrowserPassingOverFolders) {
    std::vector<HWND> frames;  // the second one is created last and lies on top
    ASSERT_TRUE(StartBrowser(browser_, {"http://lower.example/", "http://upper.example/x"}, frames));
    // The collection lists a folder and the lower browser before the upper one.
    RegisterStandInShellWindows({"folder", BrowserItem(frames[0], "http://lower.example/"), "folder",
                                 BrowserItem(frames[1], "http://upper.example/x")});
    Open();
    EXPECT_EQ(Text(d_.edit), "upper.example");
}

TEST_F(DialogTest, NoBrowserLeavesTheEditEmptyAndTheButtonsDisabled) {
    RegisterStandInShellWindows({"12345 http://www.example.com/"});
    Open();
    EXPECT_EQ(Text(d_.edit), "");
    EXPECT_FALSE(Enabled(d_.domain));
    EXPECT_FALSE(Enabled(d_.host));
    EXPECT_TRUE(Enabled(d_.cancel));
}

TEST_F(DialogTest, SystemCollectionThatFailsLeavesTheEditEmpty) {
    UnregisterStandInShellWindows();  // the system's own object: get_Count is not implemented
    std::vector<HWND> frames;
    ASSERT_TRUE(StartBrowser(browser_, {"http://www.example.com/a/b"}, frames));
    Open();
    EXPECT_EQ(Text(d_.edit), "");
    EXPECT_FALSE(Enabled(d_.domain));
    EXPECT_FALSE(Enabled(d_.host));
}

TEST_F(DialogTest, ButtonsFollowTheTypedText) {
    Open();
    struct Case {
        const char* text;
        bool domain, host;
    } const cases[] = {
        {"192.168.0.1", false, true},  {"http://192.168.0.1/", true, true}, {"   \t ", false, false},
        {" example.com ", true, true}, {"", false, false},                   {"www.example.com", true, true},
        {"255.255.255.255", true, true},
    };
    for (const Case& c : cases) {
        SetText(d_.edit, c.text);
        EXPECT_EQ(Enabled(d_.domain), c.domain) << '"' << c.text << '"';
        EXPECT_EQ(Enabled(d_.host), c.host) << '"' << c.text << '"';
    }
}

TEST_F(DialogTest, EscEndsWithoutQuery) {
    Open();
    SetText(d_.edit, "example.com");
    PressKey(app_, VK_ESCAPE);
    ExpectEndsWithoutQuery();
}

TEST_F(DialogTest, TabWalksTheEnabledControlsAndEnterPressesTheFocusedCancel) {
    Open();
    SetText(d_.edit, "example.com");
    const HWND order[] = {d_.domain, d_.host, d_.cancel, d_.edit, d_.domain, d_.host, d_.cancel};
    for (HWND next : order) {
        PressKey(app_, VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return Focus(app_) == next; }, 3000)) << "focus " << Focus(app_);
    }
    PressKey(app_, VK_RETURN);  // on Cancel: no query
    ExpectEndsWithoutQuery();
}

TEST_F(DialogTest, TabSkipsDisabledButtons) {
    Open();
    PressKey(app_, VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return Focus(app_) == d_.cancel; }, 3000));
    PressKey(app_, VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return Focus(app_) == d_.edit; }, 3000));
}

TEST_F(DialogTest, CancelButtonEndsWithoutQuery) {
    Open();
    SetText(d_.edit, "example.com");
    Click(d_.cancel);
    ExpectEndsWithoutQuery();
}

TEST_F(DialogTest, CloseBoxEndsWithoutQuery) {
    Open();
    SetText(d_.edit, "example.com");
    PostMessageA(d_.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectEndsWithoutQuery();
}

TEST_F(DialogTest, WmCloseEndsWithoutQuery) {
    Open();
    PostMessageA(d_.window, WM_CLOSE, 0, 0);
    ExpectEndsWithoutQuery();
}

TEST_F(DialogTest, LossOfActivationToAnotherProgramEnds) {
    Open();
    SetText(d_.edit, "example.com");
    // A window of this (other) program takes the activation.
    HWND other = CreateWindowExA(0, "STATIC", "other program", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    const bool ended = WaitUntil([&] {
        PumpMessages();
        return !app_.Running();
    });
    DestroyWindow(other);
    EXPECT_TRUE(ended);
    ExpectEndsWithoutQuery();
}

TEST_F(DialogTest, EnterWithAsDomainDisabledKeepsTheDialog) {
    Open();
    SetText(d_.edit, "192.168.0.1");
    ASSERT_FALSE(Enabled(d_.domain));
    PressKey(app_, VK_RETURN);
    Sleep(1000);
    EXPECT_TRUE(app_.Running());
    EXPECT_TRUE(IsWindowVisible(d_.window));
    EXPECT_EQ(Text(d_.edit), "192.168.0.1");
    PressKey(app_, VK_ESCAPE);
    ExpectEndsWithoutQuery();
}

// Command lines that carry no argument open the dialog, like a start from the browser.
TEST_F(DialogTest, EmptyQuotedArgumentOrBlanksOpenTheDialog) {
    for (const std::string& args : {std::string("\"\""), std::string("   \t  "), std::string("\"\"\"\"  \"\"")}) {
        Process p;
        ASSERT_TRUE(Start(p, "\"" + exe_ + "\" " + args, dir_));
        HWND dialog = WaitForWindow(p, "LvIeDialogWnd");
        ASSERT_NE(dialog, nullptr) << "[" << args << "]";
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; })) << "[" << args << "]";
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_EQ(p.Wait(10000), 0) << "[" << args << "]";
    }
}
