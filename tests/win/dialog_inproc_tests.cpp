// Inside the process: the browser URL capture call by call against the stand-in collection, and
// what another process cannot read of the dialog (fonts, class brush and icon).
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <thread>

#include "../cases/expected.h"
#include "dialogdriver.h"
#include "geturl.h"
#include "iedialog.h"
#include "testutil.h"

using namespace lvtest;

namespace {

using Counter = LONG(WINAPI*)();

LONG StandInCounter(const char* name) {
    HMODULE dll = GetModuleHandleA("lvshellwin.dll");
    if (!dll) return -1;
    Counter f = reinterpret_cast<Counter>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    return f ? f() : -1;
}

class BrowserURLTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartBrowser(browser_, {"http://lower.example/", "http://upper.example/p"}, frames_));
        lower_ = frames_[0];
        upper_ = frames_[1];
    }
    void TearDown() override {
        UnregisterStandInShellWindows();
        CloseBrowser(browser_);
    }
    // One capture with a fresh COM start, as in a new process; checks that every object was let go.
    std::string Capture(const std::vector<std::string>& items) {
        RegisterStandInShellWindows(items);
        const LONG before = std::max(0L, StandInCounter("StandInCollectionsCreated"));  // -1: not loaded
        const std::string host = lv::GetBrowserURL();
        created_ = std::max(0L, StandInCounter("StandInCollectionsCreated")) - before;
        EXPECT_LE(StandInCounter("StandInLiveObjects"), 0) << "references left over";
        CoUninitialize();
        return host;
    }
    Process browser_;
    std::vector<HWND> frames_;
    HWND lower_ = nullptr, upper_ = nullptr;
    LONG created_ = 0;
};

}  // namespace

TEST_F(BrowserURLTest, HostOfTheUpperFrameWhereverTheCollectionListsIt) {
    EXPECT_EQ(Capture({BrowserItem(lower_, "http://lower.example/"), BrowserItem(upper_, "https://u.example:8080/a")}),
              "u.example:8080");
    EXPECT_EQ(created_, 1);
    EXPECT_EQ(Capture({BrowserItem(upper_, "http://www.example.com/a/b"), BrowserItem(lower_, "http://x/")}),
              "www.example.com");
    EXPECT_EQ(Capture({BrowserItem(upper_, "about:blank")}), "about:blank");
}

TEST_F(BrowserURLTest, FoldersAndEmptyItemsArePassedOver) {
    EXPECT_EQ(Capture({"folder", "null", BrowserItem(lower_, "http://lower.example/"), "folder",
                       BrowserItem(upper_, "http://upper.example/p")}),
              "upper.example");
}

TEST_F(BrowserURLTest, AFailingItemEndsTheSearchEvenBeforeAMatch) {
    EXPECT_EQ(Capture({BrowserItem(lower_, "http://lower.example/"), "fail", BrowserItem(upper_, "http://upper/")}),
              "");
}

TEST_F(BrowserURLTest, NoMatchingBrowserOrAFailingCountGivesNothing) {
    EXPECT_EQ(Capture({BrowserItem(lower_, "http://lower.example/"), "folder"}), "");
    EXPECT_EQ(Capture({}), "");
    SetSz(HKEY_LOCAL_MACHINE, expected::kShellWindowsServerKey, "StandInCountFails", "1");
    EXPECT_EQ(Capture({BrowserItem(upper_, "http://upper.example/p")}), "");
}

// Bad input from the browser: huge URLs arrive whole, never overrun; hosts outside the ANSI code
// page arrive in a form that names the same host; percent escapes stay as written.
TEST_F(BrowserURLTest, LongAndNonAsciiUrlsArriveConvertedAndWhole) {
    const std::string longHost(64 * 1024, 'h');
    EXPECT_EQ(Capture({BrowserItem(upper_, "http://" + longHost + ".example/" + std::string(1000, 'p'))}),
              longHost + ".example");
    EXPECT_EQ(Capture({BrowserItem(upper_, "http://www.example.com/" + std::string(64 * 1024, 'p'))}),
              "www.example.com");
    if (GetACP() == 1252) {
        EXPECT_EQ(Capture({BrowserItem(upper_, "http://b\xC3\xBC" "cher.example/x")}), "b\xFC" "cher.example");
        // Cyrillic has no place in code page 1252: such a host comes in its ASCII (IDNA) form,
        // a port after it unchanged, whatever the path holds.
        const std::string example = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80.\xD1\x80\xD1\x84";  // Cyrillic for "example", zone .rf, in UTF-8
        EXPECT_EQ(Capture({BrowserItem(upper_, "http://" + example + "/x")}), "xn--e1afmkfd.xn--p1ai");
        EXPECT_EQ(Capture({BrowserItem(upper_, "http://" + example + ":8080/" + example)}), "xn--e1afmkfd.xn--p1ai:8080");
        EXPECT_EQ(Capture({BrowserItem(upper_, "http://b\xC3\xBC" "cher.example/" + example)}), "b\xFC" "cher.example");
    }
    EXPECT_EQ(Capture({BrowserItem(upper_, "http://%D0%BF%41.example/%2F")}), "%D0%BF%41.example");
    EXPECT_EQ(Capture({BrowserItem(upper_, "http://user:pw@shop.example/")}), "shop.example");
}

TEST_F(BrowserURLTest, ComAlreadyStartedOnTheThreadMakesNoCall) {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(Capture({BrowserItem(upper_, "http://upper.example/p")}), "");  // CoInitialize gives S_FALSE
    EXPECT_EQ(created_, 0);
    CoUninitialize();
}

TEST(BrowserURLWithoutFrame, MakesNoComCall) {
    RegisterStandInShellWindows({"1 http://www.example.com/"});
    EXPECT_EQ(lv::GetBrowserURL(), "");
    EXPECT_EQ(GetModuleHandleA("lvshellwin.dll"), nullptr);  // never loaded
    UnregisterStandInShellWindows();
}

namespace {
// A control whose length is an overestimate, as WM_GETTEXTLENGTH may be.
LRESULT CALLBACK ShortTextProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_GETTEXTLENGTH) return 10;
    if (m == WM_GETTEXT && wp >= 4) {
        lstrcpyA(reinterpret_cast<char*>(lp), "abc");
        return 3;
    }
    return DefWindowProcA(w, m, wp, lp);
}
}  // namespace

TEST(ControlText, KeepsOnlyTheBytesTheControlCopied) {
    ASSERT_TRUE(RegisterWindowClass("LvShortText", ShortTextProc, COLOR_WINDOW));
    HWND w = CreateWindowExA(0, "LvShortText", "", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(lv::GetControlText(w), "abc");
    DestroyWindow(w);
    UnregisterClassA("LvShortText", GetModuleHandleA(nullptr));

    HWND edit = CreateWindowExA(0, "EDIT", "", 0, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(lv::GetControlText(edit), "");
    SetWindowTextA(edit, " example.com ");
    EXPECT_EQ(lv::GetControlText(edit), " example.com ");
    DestroyWindow(edit);
}

// A frame that closes between its look-up and the read of its rectangle yields no rectangle at
// all, not whatever the box held before.
TEST(FrameRectangle, ReadFromALiveWindowOnly) {
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_POPUP, 120, 80, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    lv::Box box = {-1, -1, -1, -1};
    ASSERT_TRUE(lv::ReadWindowBox(frame, box));
    EXPECT_EQ(box.left, 120);
    EXPECT_EQ(box.top, 80);
    EXPECT_EQ(box.right, 420);
    EXPECT_EQ(box.bottom, 280);
    DestroyWindow(frame);
    box = {-1, -1, -1, -1};
    EXPECT_FALSE(lv::ReadWindowBox(frame, box));
    EXPECT_EQ(box.left, -1) << "a failed read must leave the box alone";
}

TEST(DialogInside, FontsClassBrushesAndIcon) {
    std::thread dialogThread(lv::RunQueryDialog);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindWindowA("LvIeDialogWnd", "Lorvane")) && IsWindowVisible(dialog); }))
        << "no dialog";
    const std::vector<HWND> controls = Children(dialog);
    ASSERT_EQ(controls.size(), 5u);
    const HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (HWND c : controls)
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(c, WM_GETFONT, 0, 0)), guiFont);

    HWND owner = GetWindow(dialog, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    const HICON icon = LoadIconA(GetModuleHandleA(nullptr), "WNDICON");
    ASSERT_NE(icon, nullptr);
    const HANDLE smallIcon = LoadImageA(GetModuleHandleA(nullptr), "WNDICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    struct {
        HWND w;
        DWORD style;
    } const windows[] = {{owner, CS_HREDRAW | CS_VREDRAW}, {dialog, CS_HREDRAW | CS_VREDRAW | CS_SAVEBITS}};
    for (const auto& x : windows) {
        EXPECT_EQ(GetClassLongPtrA(x.w, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
        EXPECT_EQ(GetClassLongPtrA(x.w, GCL_STYLE), x.style);
        EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrA(x.w, GCLP_HICON)), icon);
        EXPECT_EQ(reinterpret_cast<HANDLE>(GetClassLongPtrA(x.w, GCLP_HICONSM)), smallIcon);
        EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(x.w, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_ARROW));
        EXPECT_EQ(GetClassLongPtrA(x.w, GCL_CBCLSEXTRA), 0u);
        EXPECT_EQ(GetClassLongPtrA(x.w, GCL_CBWNDEXTRA), 0u);
    }
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    dialogThread.join();
    EXPECT_FALSE(IsWindow(dialog));
}
