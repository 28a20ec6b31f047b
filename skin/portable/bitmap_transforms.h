// The five transforms of skin bitmaps over plain pixels: grey, mirror, flip and the two
// quarter turns. A 32-bit picture is made 24-bit first, as every transform hands back 24 bits.
#pragma once
#include "forms/portable/pixels.h"

namespace skin {

// Every pixel's three bytes become (blue + green + red) div 3.
void GrayPixels(forms::PixelBuffer& picture);
// Pixel W-1-x of each row lands at x.
void MirrorPixels(forms::PixelBuffer& picture);
// Row y lands at H-1-y.
void FlipPixels(forms::PixelBuffer& picture);
// Counter-clockwise: H wide and W high, pixel (x, y) lands at (y, W-1-x).
void RotatePixelsLeft(forms::PixelBuffer& picture);
// Clockwise: H wide and W high, pixel (x, y) lands at (H-1-y, x).
void RotatePixelsRight(forms::PixelBuffer& picture);

}  // namespace skin
