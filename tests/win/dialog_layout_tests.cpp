// The dialog's size, control layout and placement at the prefix's screen resolution
// (LV_EXPECT_DPI names it: 96 by default, 120 and 144 through with-dpi.sh).
#include <gtest/gtest.h>

#include <cstdlib>

#include "dialogdriver.h"
#include "layout.h"
#include "testutil.h"

using namespace lvtest;

namespace {

int ExpectedDpi() {
    const char* v = std::getenv("LV_EXPECT_DPI");
    return v ? std::atoi(v) : 96;
}

struct Size {
    int w, h;
};

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        HDC dc = GetDC(nullptr);
        dpiX_ = GetDeviceCaps(dc, LOGPIXELSX);
        dpiY_ = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        ASSERT_EQ(dpiX_, ExpectedDpi());
        ASSERT_EQ(dpiY_, ExpectedDpi());
    }
    void TearDown() override {
        if (app_.Running()) TerminateProcess(app_.pi.hProcess, 99);
        app_.Wait(5000);
        if (browser_.Running()) CloseBrowser(browser_);
    }
    int X(int v) const { return lv::ScaleRound(v, dpiX_ / 96.0); }
    int Y(int v) const { return lv::ScaleRound(v, dpiY_ / 96.0); }
    Size DialogSize() const {
        return {X(420) + 2 * GetSystemMetrics(SM_CXDLGFRAME),
                Y(100) + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) -
                    GetSystemMetrics(SM_CYBORDER)};
    }
    lv::ScreenMetrics Screen() const {
        return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    void ExpectDialogAt(const lv::Box* frame) {
        ASSERT_TRUE(StartDialog(app_, DistFile("lviehlp.exe"), d_));
        RECT r;
        GetWindowRect(d_.window, &r);
        const Size s = DialogSize();
        EXPECT_EQ(r.right - r.left, s.w);
        EXPECT_EQ(r.bottom - r.top, s.h);
        const lv::Point p = lv::PlaceDialogAt(s.w, s.h, frame, Screen());
        EXPECT_EQ(r.left, p.x);
        EXPECT_EQ(r.top, p.y);
    }
    void ExpectControl(HWND c, int x, int y, int w, int h) {
        const RECT r = ClientRect(d_.window, c);
        EXPECT_EQ(r.left, x);
        EXPECT_EQ(r.top, y);
        EXPECT_EQ(r.right - r.left, w);
        EXPECT_EQ(r.bottom - r.top, h);
    }
    lv::Box FrameOf(HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        return lv::Box{r.left, r.top, r.right, r.bottom};
    }

    int dpiX_ = 0, dpiY_ = 0;
    Process app_, browser_;
    Dialog d_;
};

}  // namespace

TEST_F(LayoutTest, ControlsAreScaledFrom96Dpi) {
    ExpectDialogAt(nullptr);  // no browser: centred on the primary screen
    ExpectControl(d_.label, X(10), Y(10), X(100), Y(21));
    ExpectControl(d_.edit, X(10), Y(30), X(400), Y(21));
    ExpectControl(d_.domain, X(10), Y(64), X(137), Y(25));
    ExpectControl(d_.host, X(157), Y(64), X(137), Y(25));
    ExpectControl(d_.cancel, X(314), Y(64), X(96), Y(25));
    if (dpiX_ == 120) {
        ExpectControl(d_.label, 12, 12, 125, 26);
        ExpectControl(d_.edit, 12, 38, 500, 26);
        EXPECT_EQ(ClientRect(d_.window, d_.cancel).left, 392);
    } else if (dpiX_ == 144) {
        ExpectControl(d_.edit, 15, 45, 600, 32);
        for (HWND b : {d_.domain, d_.host, d_.cancel}) {
            const RECT r = ClientRect(d_.window, b);
            EXPECT_EQ(r.bottom - r.top, 38);
        }
    }
    // The client area holds the whole 420 x 100 layout.
    RECT client;
    GetClientRect(d_.window, &client);
    EXPECT_GE(client.right, X(410));
    EXPECT_GE(client.bottom, Y(89));
}

TEST_F(LayoutTest, CentredOverTheBrowserFrame) {
    std::vector<HWND> frames;
    ASSERT_TRUE(StartBrowser(browser_, {"http://a.example/@200,150,700,500"}, frames));
    const lv::Box f = FrameOf(frames[0]);
    ExpectDialogAt(&f);
}

TEST_F(LayoutTest, FramePartlyOffScreenKeepsLeftAndTopVisible) {
    std::vector<HWND> frames;
    ASSERT_TRUE(StartBrowser(browser_, {"http://a.example/@-600,-400,900,600"}, frames));
    const lv::Box f = FrameOf(frames[0]);
    ASSERT_LT(f.left, 0);
    ASSERT_LT(f.top, 0);
    ExpectDialogAt(&f);
    RECT r;
    GetWindowRect(d_.window, &r);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
}

TEST_F(LayoutTest, FrameSmallerThanTheDialog) {
    std::vector<HWND> frames;
    ASSERT_TRUE(StartBrowser(browser_, {"http://a.example/@700,500,200,120"}, frames));
    const lv::Box f = FrameOf(frames[0]);
    ExpectDialogAt(&f);
    RECT r;
    GetWindowRect(d_.window, &r);
    EXPECT_LT(r.left, f.left);  // centred: it overhangs the small frame on every side
    EXPECT_GT(r.right, f.right);
}
