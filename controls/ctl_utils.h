// Rectangle and drawing helpers of the controls library.
#pragma once
#include <windows.h>

#include "forms/gdi_handle.h"

namespace controls {

// A memory DC compatible with the screen.
forms::UniqueMemoryDC CreateScreenMemoryDC();
// Both the right and the bottom edge count as inside.
bool PointInRectInclusive(const RECT& rect, POINT point);
int AbsRectWidth(const RECT& rect);
int AbsRectHeight(const RECT& rect);
// BitBlt with its arguments in this library's historical order.
BOOL BlitRect(HDC dest, int destX, int destY, DWORD rop, int srcY, int srcX, HDC src, int height, int width);

}  // namespace controls
