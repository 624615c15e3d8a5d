// Dialog geometry: scaling from the design resolution, the window's size around its client area,
// and placement over the browser frame.
#pragma once

namespace lv {

// The resolution, in dots per inch, at which the dialog's lengths are given.
constexpr int kDesignDpi = 96;

// The factor from design lengths to a screen of the given resolution.
double DpiScale(int dotsPerInch);

// v * scale rounded to the nearest integer, halves to the even neighbour.
int ScaleRound(int v, double scale);

// What the window adds around the dialog's client area.
struct FrameMetrics {
    int frameX, frameY;  // SM_CXDLGFRAME, SM_CYDLGFRAME
    int caption;         // SM_CYCAPTION
    int border;          // SM_CYBORDER
};

struct Size {
    int w, h;
};

// The window size for a client area of clientW x clientH pixels: a dialog frame on each side and
// the caption above, less one border line.
Size DialogWindowSize(int clientW, int clientH, const FrameMetrics& f);

struct Box {
    int left, top, right, bottom;
};

// What the placement needs to know of the screen.
struct ScreenMetrics {
    int virtualX, virtualY, virtualWidth, virtualHeight;  // SM_[XY]VIRTUALSCREEN, SM_C[XY]VIRTUALSCREEN
    int screenWidth, screenHeight;                        // SM_CXSCREEN, SM_CYSCREEN
};

struct Point {
    int x, y;
};

// Top-left corner for a w x h dialog: centred over the frame (or the primary screen when there
// is none), then clamped so that the left and top edges stay visible.
Point PlaceDialogAt(int w, int h, const Box* frame, const ScreenMetrics& m);

}  // namespace lv
