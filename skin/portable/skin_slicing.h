// The pixel core every skin painter draws through: frame addressing, nine-part slicing with
// fixed corners, the three-part strip, tiling, and the opaque runs a window region is built of.
// Stretching takes the source pixel under each target pixel's centre (no blending, as the
// platform's colour-on-colour stretch).
#pragma once
#include <cstdint>
#include <vector>

#include "forms/portable/pixels.h"

namespace skin {

struct SkinRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const SkinRect&) const = default;
};

// Fixed edge widths inside a frame.
struct SkinMargins {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const SkinMargins&) const = default;
};

constexpr std::uint32_t kSkinKeyColour = 0xFF00FF;  // magenta, as 0xRRGGBB and as 0xBBGGRR alike

// Frame index (from 1) of count frames laid side by side, or stacked, in a width × height image.
SkinRect FrameRect(int width, int height, int count, int index, bool stacked);

// Copies from (a part of source) stretched onto to (a part of target); parts of to outside
// target are cut off. Nothing when either part has no area.
void StretchCopy(const forms::PixelBuffer& source, const SkinRect& from, forms::PixelBuffer& target, const SkinRect& to);
// Repeats from over to from its top-left corner; the last column and row run past to's right
// and bottom (cut only at target's edges).
void TileCopy(const forms::PixelBuffer& source, const SkinRect& from, forms::PixelBuffer& target, const SkinRect& to);

// Copies source onto target with its top-left at (x, y), leaving out key-colour pixels; parts
// outside target are cut off.
void KeyedCopy(const forms::PixelBuffer& source, forms::PixelBuffer& target, int x, int y,
               std::uint32_t keyRgb = kSkinKeyColour);

// Frame index of count sized to width × height: corners fixed, edges stretched along their
// length, the centre tiled or stretched. Margins that do not fit the target are dropped in
// pairs; an empty image or target gives an empty result.
forms::PixelBuffer SliceFrame(int width, int height, const forms::PixelBuffer& image, SkinMargins margins, bool stacked,
                              bool tile, int count, int index);

// A horizontal strip width × height: left cap, the middle repeated, right cap, each stretched
// to the full height. A middle of no width leaves the space between the caps untouched.
forms::PixelBuffer ThreePart(int width, int height, const forms::PixelBuffer& image, bool stacked, int count, int index,
                             int leftMargin, int rightMargin);

// One row's run of opaque pixels: [left, right) on row y, offsets added.
struct OpaqueRun {
    int left = 0, y = 0, right = 0;
    bool operator==(const OpaqueRun&) const = default;
};
// Runs of pixels that are not the key colour, rows top to bottom, runs left to right. A pixel
// is transparent when each channel lies in [key, min(255, key + tolerance)].
std::vector<OpaqueRun> OpaqueRuns(const forms::PixelBuffer& image, int xOffset, int yOffset, int toleranceBlue,
                                  int toleranceGreen, int toleranceRed, std::uint32_t keyRgb = kSkinKeyColour);

}  // namespace skin
