// Dialog geometry: rounding of scaled lengths and placement over the browser frame.
#include <gtest/gtest.h>

#include "../cases/expected.h"
#include "layout.h"

using namespace lv;

TEST(ScaleRound, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(ScaleRound(10, 1.25), 12);    // 12.5
    EXPECT_EQ(ScaleRound(314, 1.25), 392);  // 392.5
    EXPECT_EQ(ScaleRound(30, 1.25), 38);    // 37.5
    EXPECT_EQ(ScaleRound(21, 1.5), 32);     // 31.5
    EXPECT_EQ(ScaleRound(25, 1.5), 38);     // 37.5
    EXPECT_EQ(ScaleRound(137, 1.5), 206);   // 205.5
    EXPECT_EQ(ScaleRound(5, 0.5), 2);       // 2.5
    EXPECT_EQ(ScaleRound(1, 0.5), 0);       // 0.5
    EXPECT_EQ(ScaleRound(-5, 0.5), -2);     // -2.5
    EXPECT_EQ(ScaleRound(-3, 0.5), -2);     // -1.5
}

TEST(ScaleRound, OtherFractionsGoToTheNearest) {
    EXPECT_EQ(ScaleRound(21, 1.25), 26);   // 26.25
    EXPECT_EQ(ScaleRound(137, 1.25), 171); // 171.25
    EXPECT_EQ(ScaleRound(27, 1.25), 34);   // 33.75
    EXPECT_EQ(ScaleRound(420, 1.0), 420);
    EXPECT_EQ(ScaleRound(7, 1.75), 12);    // 12.25
    EXPECT_EQ(ScaleRound(-27, 1.25), -34); // -33.75
}

TEST(ScaleRound, ControlRectanglesAt96120And144Dpi) {
    for (const expected::Layout& l : expected::kLayouts) {
        const double s = l.dpi / 96.0;
        EXPECT_EQ(ScaleRound(420, s), l.clientW) << l.dpi;
        EXPECT_EQ(ScaleRound(100, s), l.clientH) << l.dpi;
        for (int i = 0; i < 5; ++i) {
            const expected::Rect& at96 = expected::kLayouts[0].controls[i];
            const expected::Rect& r = l.controls[i];
            EXPECT_EQ(ScaleRound(at96.x, s), r.x) << l.dpi << " dpi, control " << i;
            EXPECT_EQ(ScaleRound(at96.y, s), r.y) << l.dpi << " dpi, control " << i;
            EXPECT_EQ(ScaleRound(at96.w, s), r.w) << l.dpi << " dpi, control " << i;
            EXPECT_EQ(ScaleRound(at96.h, s), r.h) << l.dpi << " dpi, control " << i;
        }
    }
}

TEST(DpiScale, DesignLengthsAreAt96Dpi) {
    EXPECT_DOUBLE_EQ(DpiScale(96), 1.0);
    EXPECT_DOUBLE_EQ(DpiScale(120), 1.25);
    EXPECT_DOUBLE_EQ(DpiScale(144), 1.5);
    EXPECT_DOUBLE_EQ(DpiScale(72), 0.75);
}

TEST(DialogWindowSize, FramesOnEachSideCaptionAboveLessOneBorder) {
    const FrameMetrics classic = {3, 3, 19, 1};
    const Size s = DialogWindowSize(420, 100, classic);
    EXPECT_EQ(s.w, 426);
    EXPECT_EQ(s.h, 124);  // 100 + 6 + 19 - 1
    const FrameMetrics uneven = {4, 2, 23, 2};  // each metric where it belongs
    const Size t = DialogWindowSize(525, 125, uneven);
    EXPECT_EQ(t.w, 533);
    EXPECT_EQ(t.h, 150);  // 125 + 4 + 23 - 2
}

namespace {
const ScreenMetrics kSingle = {0, 0, 1280, 1024, 1280, 1024};
const int kW = 436, kH = 150;

void ExpectAt(const Point& p, int x, int y) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
}
}  // namespace

TEST(PlaceDialogAt, CentresOverTheFrame) {
    const Box frame = {100, 50, 900, 650};
    ExpectAt(PlaceDialogAt(kW, kH, &frame, kSingle), 282, 275);  // 100 + 364 / 2, 50 + 450 / 2
}

TEST(PlaceDialogAt, NoFrameCentresOnThePrimaryScreenIgnoringTheVirtualOne) {
    const ScreenMetrics twoScreens = {-1280, 0, 2560, 1024, 1280, 1024};
    ExpectAt(PlaceDialogAt(kW, kH, nullptr, twoScreens), 422, 437);  // 844 / 2, 874 / 2
    ExpectAt(PlaceDialogAt(2000, 1500, nullptr, kSingle), 0, 0);  // larger than the screen
}

TEST(PlaceDialogAt, FramePartlyOffScreenKeepsTheDialogInside) {
    const Box offLeftTop = {-700, -400, 100, 200};  // centre would be at (-518, -175)
    ExpectAt(PlaceDialogAt(kW, kH, &offLeftTop, kSingle), 0, 0);
    const Box offRightBottom = {1100, 900, 1600, 1400};
    ExpectAt(PlaceDialogAt(kW, kH, &offRightBottom, kSingle), 844, 874);  // right and bottom at the screen's
}

TEST(PlaceDialogAt, FrameSmallerThanTheDialog) {
    const Box small = {300, 200, 400, 260};
    ExpectAt(PlaceDialogAt(kW, kH, &small, kSingle), 132, 155);  // 300 - 336 / 2, 200 - 90 / 2
    const Box tinyAtCorner = {0, 0, 50, 40};
    ExpectAt(PlaceDialogAt(kW, kH, &tinyAtCorner, kSingle), 0, 0);
}

TEST(PlaceDialogAt, HalvesTruncateTowardZero) {
    // A screen left of the primary one: negative odd differences must not round down.
    const ScreenMetrics twoScreens = {-1280, 0, 2560, 1024, 1280, 1024};
    const Box frame = {-500, 0, -399, 101};  // 101 - 436 = -335, 101 - 150 = -49
    ExpectAt(PlaceDialogAt(kW, kH, &frame, twoScreens), -667, 0);  // -500 - 167, and -24 raised to 0
}

TEST(PlaceDialogAt, LeftAndTopLimitsWinOverRightAndBottom) {
    const ScreenMetrics twoScreens = {-1280, -200, 2560, 1224, 1280, 1024};
    const Box frame = {0, 0, 1280, 1024};
    ExpectAt(PlaceDialogAt(3000, 2000, &frame, twoScreens), -1280, -200);
}

TEST(PlaceDialogAt, VirtualScreenSizeZeroFallsBackToThePrimaryScreen) {
    const ScreenMetrics noVirtual = {0, 0, 0, 0, 800, 600};
    const Box frame = {700, 500, 1100, 900};
    ExpectAt(PlaceDialogAt(kW, kH, &frame, noVirtual), 364, 450);  // right and bottom at 800 x 600
    const ScreenMetrics onlyHeight = {0, 0, 1600, 0, 800, 600};  // each falls back on its own
    ExpectAt(PlaceDialogAt(kW, kH, &frame, onlyHeight), 682, 450);  // 700 - 36 / 2
}
