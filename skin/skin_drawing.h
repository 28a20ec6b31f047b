// The drawing routines every skin painter uses on a device context: a frame of a skin image cut
// and sized with fixed corners, three-part strips, stretched and centred frames, tiles,
// drawing with magenta left out, and window regions cut from the opaque pixels. Each routine
// composes in a bitmap of the target's size and touches the DC with one blit, and each does
// nothing for an inverted rectangle.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "forms/gdi_handle.h"
#include "forms/portable/pixels.h"
#include "skin/portable/skin_slicing.h"

namespace skin {

// A skin image as a 32-bit DIB section selected into a memory DC of its own, for the blits.
class SourceBitmap {
public:
    explicit SourceBitmap(const forms::PixelBuffer& pixels);
    SourceBitmap(const SourceBitmap&) = delete;
    SourceBitmap& operator=(const SourceBitmap&) = delete;
    ~SourceBitmap();
    HDC dc() const { return dc_.get(); }
    HBITMAP bitmap() const { return bitmap_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // The 32-bit top-down rows (flush GDI first after drawing into dc()).
    forms::PixelView pixels() const { return {bits_, width_, height_, static_cast<std::ptrdiff_t>(width_) * 4, 4}; }

private:
    forms::UniqueBitmap bitmap_;
    forms::UniqueMemoryDC dc_;
    HGDIOBJ old_ = nullptr;
    std::uint8_t* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

// The one work bitmap of the skin engine, in which the menu bar composes its picture (stretch
// mode COLORONCOLOR). It lives as long as the engine's code is loaded: SharedWorkBitmap()
// answers nullptr once it is gone at shutdown, and painters then paint nothing.
class WorkBitmap {
public:
    // Makes the bitmap width x height (its old content is lost when the size changes).
    void Size(int width, int height);
    HDC dc() const { return bitmap_ ? bitmap_->dc() : nullptr; }
    int width() const { return bitmap_ ? bitmap_->width() : 0; }
    int height() const { return bitmap_ ? bitmap_->height() : 0; }
    // The picture as it stands (GDI flushed).
    forms::PixelBuffer Pixels() const;

private:
    std::unique_ptr<SourceBitmap> bitmap_;
};
WorkBitmap* SharedWorkBitmap();

// Frame index (from 1) of count, sized to rect by the nine-part rule: drawn with magenta left
// out when transparent, else copied.
void DrawSlicedFrame(HDC dc, const RECT& rect, const forms::PixelBuffer& image, bool stacked, bool tile,
                     bool transparent, int count, int index, SkinMargins margins);
// The corners and edges of that frame straight onto the DC (magenta left out when
// transparent); the centre is left as it is.
void DrawSlicedFrameDirect(HDC dc, const RECT& rect, const forms::PixelBuffer& image, bool stacked, int count,
                           int index, SkinMargins margins, bool transparent = false);
// Left cap, repeated middle, right cap (margins' left and right). A middle of no width draws
// the caps only.
void DrawThreePart(HDC dc, const RECT& rect, const forms::PixelBuffer& image, bool stacked, bool transparent,
                   int count, int index, SkinMargins margins);
// Frame index of count side by side, stretched to rect.
void DrawFrameStretched(HDC dc, const RECT& rect, const forms::PixelBuffer& image, bool transparent, int count,
                        int index);
// Frame index of count side by side at its own size, centred in rect.
void DrawFrameCentred(HDC dc, const RECT& rect, const forms::PixelBuffer& image, bool transparent, int count,
                      int index);
// The image's top-left part of rect's size at rect, key-colour pixels leaving the DC as it
// was (MaskBlt with a mask of the key colour).
void TransparentBlit(HDC dc, const RECT& rect, const forms::PixelBuffer& image,
                     std::uint32_t keyRgb = kSkinKeyColour);
// The image copied unchanged with its top-left at (x, y).
void CopyPixelsToDC(HDC dc, int x, int y, const forms::PixelBuffer& image);
// Repeats source (a part of image) from target's top-left in steps of its size while the step
// starts inside target; the last column and row are not cut at target's edges.
void TileBitmap(HDC dc, const RECT& target, const forms::PixelBuffer& image, const RECT& source);

// The region of the image's pixels outside the key colour's tolerance range, moved by the
// offsets; empty when every pixel is transparent. Built from rows of runs in batches.
forms::UniqueRegion CreateRegionFromBitmap(const forms::PixelBuffer& image, int xOffset, int yOffset,
                                           int toleranceBlue, int toleranceGreen, int toleranceRed,
                                           std::uint32_t keyRgb = kSkinKeyColour);

// Rectangles handed to ExtCreateRegion at a time.
constexpr int kRegionBatch = 2000;

// A DC's pixels of rect as a 24-bit picture (for the region builder and for tests).
forms::PixelBuffer ReadPixels(HDC dc, const RECT& rect);

}  // namespace skin
