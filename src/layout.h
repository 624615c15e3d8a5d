// Dialog geometry: scaling from 96 dots per inch and placement over the browser frame.
#pragma once

namespace lv {

// v * scale rounded to the nearest integer, halves to the even neighbour.
int ScaleRound(int v, double scale);

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
