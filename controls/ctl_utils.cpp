#include "controls/ctl_utils.h"

#include <cstdlib>

namespace controls {

forms::UniqueMemoryDC CreateScreenMemoryDC() {
    forms::ScreenDC screen;
    return forms::UniqueMemoryDC(CreateCompatibleDC(screen.get()));
}

bool PointInRectInclusive(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x <= rect.right && point.y >= rect.top && point.y <= rect.bottom;
}

int AbsRectWidth(const RECT& rect) { return std::abs(rect.right - rect.left); }
int AbsRectHeight(const RECT& rect) { return std::abs(rect.bottom - rect.top); }

BOOL BlitRect(HDC dest, int destX, int destY, DWORD rop, int srcY, int srcX, HDC src, int height, int width) {
    return BitBlt(dest, destX, destY, width, height, src, srcX, srcY, rop);
}

}  // namespace controls
