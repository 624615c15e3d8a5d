// The dialog's size, control layout and placement at the prefix's screen resolution
// (LV_EXPECT_DPI names it: 96 by default, 120 and 144 through with-dpi.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "../cases/expected.h"
#include "dialogdriver.h"
#include "testutil.h"

using namespace lvtest;

namespace {

int ExpectedDpi() {
    const char* v = std::getenv("LV_EXPECT_DPI");
    return v ? std::atoi(v) : 96;
}

// The dialog's left edge on the tests' 1280 x 1024 screen (scripts/wine-env.sh), by hand from the
// widths (client + two 3-pixel frames on both implementations), halves cut toward zero. 96 dpi,
// 426 wide: (1280 - 426) / 2 = 427; 200 + 274 / 2 = 337; 700 - 226 / 2 = 587.
struct Placement {
    int dpi;
    int onScreen, overFrame, overSmallFrame;
};
const Placement kPlacements[] = {
    {96, 427, 337, 587},
    {120, 374, 284, 535},  // 531: 749 / 2 -> 374, 169 / 2 -> 84, -331 / 2 -> -165
    {144, 322, 232, 482},  // 636: 644 / 2 -> 322, 64 / 2 -> 32, -436 / 2 -> -218
};

// The top edge depends on the caption, the implementation's own metric: centred over a span of
// the given start and length, the half cut toward zero (-63 / 2 -> -31).
int CentredTop(int start, int length, int height) { return start + (length - height) / 2; }

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A driver that is not DPI-aware is told 96 dpi and shown the dialog's rectangles scaled to
        // it wherever the system virtualises resolution (Wine 10, Windows since Vista).
        SetProcessDPIAware();
        HDC dc = GetDC(nullptr);
        const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        ASSERT_EQ(dpiX, ExpectedDpi());
        ASSERT_EQ(dpiY, ExpectedDpi());
        ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280) << "the placements are for the tests' screen";
        ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
        for (const expected::Layout& l : expected::kLayouts)
            if (l.dpi == dpiX) layout_ = &l;
        for (const Placement& p : kPlacements)
            if (p.dpi == dpiX) at_ = &p;
        ASSERT_TRUE(layout_ && at_) << "nothing expected at " << dpiX << " dpi";
        // The window adds the system's dialog frame on each side and its caption less one border line.
        windowW_ = layout_->clientW + 2 * GetSystemMetrics(SM_CXDLGFRAME);
        windowH_ = layout_->clientH + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) -
                   GetSystemMetrics(SM_CYBORDER);
        ASSERT_EQ(windowW_, layout_->clientW + 6) << "both implementations draw 3-pixel dialog frames";
    }
    void TearDown() override {
        app_.End();
        if (browser_.Running()) CloseBrowser(browser_);
    }
    // The dialog's size and its top-left corner.
    void ExpectDialogAt(POINT p) {
        RECT r;
        GetWindowRect(d_.window, &r);
        EXPECT_EQ(r.right - r.left, windowW_);
        EXPECT_EQ(r.bottom - r.top, windowH_);
        EXPECT_EQ(r.left, p.x);
        EXPECT_EQ(r.top, p.y);
    }
    void ExpectControl(HWND c, const expected::Rect& e) {
        const RECT r = ClientRect(d_.window, c);
        EXPECT_EQ(r.left, e.x);
        EXPECT_EQ(r.top, e.y);
        EXPECT_EQ(r.right - r.left, e.w);
        EXPECT_EQ(r.bottom - r.top, e.h);
    }
    // The dialog over a browser frame at x, y of w x h.
    void StartOver(int x, int y, int w, int h) {
        std::vector<HWND> frames;
        const std::string at =
            std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(w) + "," + std::to_string(h);
        ASSERT_TRUE(StartBrowser(browser_, {"http://a.example/@" + at}, frames));
        RECT f;
        GetWindowRect(frames[0], &f);
        EXPECT_TRUE(f.left == x && f.top == y && f.right == x + w && f.bottom == y + h) << "the frame is not at " << at;
        ASSERT_TRUE(StartDialog(app_, DistFile("lviehlp.exe"), d_));
    }

    const expected::Layout* layout_ = nullptr;
    const Placement* at_ = nullptr;
    int windowW_ = 0, windowH_ = 0;
    Process app_, browser_;
    Dialog d_;
};

}  // namespace

TEST_F(LayoutTest, ControlsAreScaledFrom96Dpi) {
    ASSERT_TRUE(StartDialog(app_, DistFile("lviehlp.exe"), d_));
    ExpectDialogAt({at_->onScreen, CentredTop(0, 1024, windowH_)});  // no browser: centred on the primary screen
    const HWND controls[] = {d_.label, d_.edit, d_.domain, d_.host, d_.cancel};
    int right = 0, bottom = 0;
    for (int i = 0; i < 5; ++i) {
        const expected::Rect& e = layout_->controls[i];
        ExpectControl(controls[i], e);
        right = std::max(right, e.x + e.w);
        bottom = std::max(bottom, e.y + e.h);
    }
    RECT client;  // the client area holds every control
    GetClientRect(d_.window, &client);
    EXPECT_GE(client.right, right);
    EXPECT_GE(client.bottom, bottom);
}

TEST_F(LayoutTest, CentredOverTheBrowserFrame) {
    ASSERT_NO_FATAL_FAILURE(StartOver(200, 150, 700, 500));
    ExpectDialogAt({at_->overFrame, CentredTop(150, 500, windowH_)});
}

TEST_F(LayoutTest, FramePartlyOffScreenKeepsLeftAndTopVisible) {
    ASSERT_NO_FATAL_FAILURE(StartOver(-600, -400, 900, 600));
    ExpectDialogAt({0, 0});
}

TEST_F(LayoutTest, FrameSmallerThanTheDialog) {
    ASSERT_NO_FATAL_FAILURE(StartOver(700, 500, 200, 120));
    ExpectDialogAt({at_->overSmallFrame, CentredTop(500, 120, windowH_)});  // it overhangs the small frame on every side
    RECT r;
    GetWindowRect(d_.window, &r);
    EXPECT_LT(r.left, 700);
    EXPECT_GT(r.right, 900);
}
