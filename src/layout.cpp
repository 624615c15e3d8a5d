// Dialog geometry arithmetic, free of window calls so it can be tested anywhere.
#include "layout.h"

#include <cmath>

namespace lv {

int ScaleRound(int v, double scale) {
    const double x = v * scale;
    const double lower = std::floor(x);
    const double diff = x - lower;
    double r;
    if (diff < 0.5)
        r = lower;
    else if (diff > 0.5)
        r = lower + 1;
    else
        r = std::fmod(lower, 2.0) == 0 ? lower : lower + 1;  // a tie goes to the even neighbour
    return static_cast<int>(r);
}

Point PlaceDialogAt(int w, int h, const Box* frame, const ScreenMetrics& m) {
    int x, y, minX, minY, maxX, maxY;
    if (frame) {
        // Integer division truncates toward zero, as the placement has always done.
        x = frame->left + (frame->right - frame->left - w) / 2;
        y = frame->top + (frame->bottom - frame->top - h) / 2;
        minX = m.virtualX;
        minY = m.virtualY;
        maxX = minX + (m.virtualWidth != 0 ? m.virtualWidth : m.screenWidth);
        maxY = minY + (m.virtualHeight != 0 ? m.virtualHeight : m.screenHeight);
    } else {
        minX = minY = 0;
        maxX = m.screenWidth;
        maxY = m.screenHeight;
        x = (maxX - w) / 2;
        y = (maxY - h) / 2;
    }
    // Order matters: the left and top limits win when the dialog is larger than the area.
    if (y + h > maxY) y = maxY - h;
    if (x + w > maxX) x = maxX - w;
    if (x < minX) x = minX;
    if (y < minY) y = minY;
    return Point{x, y};
}

}  // namespace lv
