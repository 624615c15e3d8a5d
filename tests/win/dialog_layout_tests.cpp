// The dialog's size, control layout and placement at the prefix's screen resolution
// (LV_EXPECT_DPI names it: 96 by default, 120 and 144 through with-dpi.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "../cases/expected.h"
#include "dialogdriver.h"
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
        const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        ASSERT_EQ(dpiX, ExpectedDpi());
        ASSERT_EQ(dpiY, ExpectedDpi());
        for (const expected::Layout& l : expected::kLayouts)
            if (l.dpi == dpiX) layout_ = &l;
        ASSERT_NE(layout_, nullptr) << "no expected layout at " << dpiX << " dpi";
    }
    void TearDown() override {
        if (app_.Running()) TerminateProcess(app_.pi.hProcess, 99);
        app_.Wait(5000);
        if (browser_.Running()) CloseBrowser(browser_);
    }
    // The scaled 420 x 100 layout inside a fixed dialog frame with a caption.
    Size DialogSize() const {
        return {layout_->clientW + 2 * GetSystemMetrics(SM_CXDLGFRAME),
                layout_->clientH + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) -
                    GetSystemMetrics(SM_CYBORDER)};
    }
    // The dialog's size and its top-left corner.
    void ExpectDialogAt(int x, int y) {
        RECT r;
        GetWindowRect(d_.window, &r);
        const Size s = DialogSize();
        EXPECT_EQ(r.right - r.left, s.w);
        EXPECT_EQ(r.bottom - r.top, s.h);
        EXPECT_EQ(r.left, x);
        EXPECT_EQ(r.top, y);
    }
    // Where a dialog centred over the frame lands when the screen does not cut it off.
    void ExpectCentredOver(const RECT& f) {
        const Size s = DialogSize();
        ExpectDialogAt(f.left + (f.right - f.left - s.w) / 2, f.top + (f.bottom - f.top - s.h) / 2);
    }
    void ExpectControl(HWND c, const expected::Rect& e) {
        const RECT r = ClientRect(d_.window, c);
        EXPECT_EQ(r.left, e.x);
        EXPECT_EQ(r.top, e.y);
        EXPECT_EQ(r.right - r.left, e.w);
        EXPECT_EQ(r.bottom - r.top, e.h);
    }
    RECT StartOver(const std::string& frame) {
        std::vector<HWND> frames;
        RECT r = {};
        EXPECT_TRUE(StartBrowser(browser_, {frame}, frames));
        if (!frames.empty()) GetWindowRect(frames[0], &r);
        EXPECT_TRUE(StartDialog(app_, DistFile("lviehlp.exe"), d_));
        return r;
    }

    const expected::Layout* layout_ = nullptr;
    Process app_, browser_;
    Dialog d_;
};

}  // namespace

TEST_F(LayoutTest, ControlsAreScaledFrom96Dpi) {
    ASSERT_TRUE(StartDialog(app_, DistFile("lviehlp.exe"), d_));
    const Size s = DialogSize();  // no browser: centred on the primary screen
    ExpectDialogAt((GetSystemMetrics(SM_CXSCREEN) - s.w) / 2, (GetSystemMetrics(SM_CYSCREEN) - s.h) / 2);
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

TEST_F(LayoutTest, CentredOverTheBrowserFrame) { ExpectCentredOver(StartOver("http://a.example/@200,150,700,500")); }

TEST_F(LayoutTest, FramePartlyOffScreenKeepsLeftAndTopVisible) {
    const RECT f = StartOver("http://a.example/@-600,-400,900,600");
    ASSERT_LT(f.left, 0);
    ASSERT_LT(f.top, 0);
    ExpectDialogAt(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN));
}

TEST_F(LayoutTest, FrameSmallerThanTheDialog) {
    const RECT f = StartOver("http://a.example/@700,500,200,120");
    ExpectCentredOver(f);  // it overhangs the small frame on every side
    RECT r;
    GetWindowRect(d_.window, &r);
    EXPECT_LT(r.left, f.left);
    EXPECT_GT(r.right, f.right);
}
