// Dialog geometry arithmetic, free of window calls so it can be tested anywhere.
#include "layout.h"

#include <cmath>

namespace lv {

double DpiScale(int dotsPerInch) { return dotsPerInch / static_cast<double>(kDesignDpi); }

// The default rounding mode, which nothing here changes, sends a tie to the even neighbour.
int ScaleRound(int v, double scale) { return static_cast<int>(std::nearbyint(v * scale)); }

Size DialogWindowSize(int clientW, int clientH, const FrameMetrics& f) {
    return Size{clientW + 2 * f.frameX, clientH + 2 * f.frameY + f.caption - f.border};
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
