#include "skin/skin_drawing.h"

#include <algorithm>
#include <vector>

#include "forms/portable/exceptions.h"

namespace skin {

namespace {

bool Inverted(const RECT& r) { return r.right < r.left || r.bottom < r.top; }
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// A one-bit mask of the image: 1 where the pixel is the key colour. Rows are word-aligned,
// as CreateBitmap wants them.
forms::UniqueBitmap KeyMask(const forms::PixelBuffer& image, std::uint32_t keyRgb) {
    const int w = image.width(), h = image.height();
    const int rowBytes = ((w + 15) / 16) * 2;
    std::vector<std::uint8_t> bits(static_cast<size_t>(rowBytes) * h, 0);
    const std::uint8_t kr = (keyRgb >> 16) & 0xFF, kg = (keyRgb >> 8) & 0xFF, kb = keyRgb & 0xFF;
    const int bpp = image.bytesPerPixel();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = image.row(y);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = row + bpp * x;
            if (p[0] == kb && p[1] == kg && p[2] == kr) bits[static_cast<size_t>(y) * rowBytes + x / 8] |= 0x80 >> (x % 8);
        }
    }
    return forms::UniqueBitmap(CreateBitmap(w, h, 1, 1, bits.data()));
}

void Blit(HDC dc, int x, int y, const forms::PixelBuffer& image, bool transparent) {
    if (image.empty()) return;
    if (transparent) TransparentBlit(dc, RECT{x, y, x + image.width(), y + image.height()}, image);
    else CopyPixelsToDC(dc, x, y, image);
}

}  // namespace

namespace {
// Made with the engine's code, freed at its end; the pointer is empty from then on.
struct WorkBitmapHolder {
    std::unique_ptr<WorkBitmap> bitmap = std::make_unique<WorkBitmap>();
} workBitmapHolder;
}  // namespace

WorkBitmap* SharedWorkBitmap() { return workBitmapHolder.bitmap.get(); }

void WorkBitmap::Size(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (bitmap_ && bitmap_->width() == width && bitmap_->height() == height) return;
    bitmap_ = std::make_unique<SourceBitmap>(forms::PixelBuffer(width, height, 3));
    SetStretchBltMode(bitmap_->dc(), COLORONCOLOR);
}

forms::PixelBuffer WorkBitmap::Pixels() const {
    if (!bitmap_) return forms::PixelBuffer(0, 0, 3);
    GdiFlush();
    forms::PixelBuffer out(bitmap_->width(), bitmap_->height(), 3);
    forms::CopyPixels(bitmap_->pixels(), out.view());
    return out;
}

SourceBitmap::SourceBitmap(const forms::PixelBuffer& pixels) : width_(pixels.width()), height_(pixels.height()) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = std::max(width_, 1);
    info.bmiHeader.biHeight = -std::max(height_, 1);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || bits == nullptr) throw forms::EOutOfResources("Cannot create a skin drawing bitmap");
    bits_ = static_cast<std::uint8_t*>(bits);
    dc_.reset(CreateCompatibleDC(nullptr));
    if (!dc_) throw forms::EOutOfResources("Cannot create a skin drawing DC");
    if (!pixels.empty()) {
        forms::PixelBuffer& source = const_cast<forms::PixelBuffer&>(pixels);  // view() is not const; only read
        forms::CopyPixels(source.view(), this->pixels());
    }
    old_ = SelectObject(dc_.get(), bitmap_.get());
}

SourceBitmap::~SourceBitmap() {
    if (old_ != nullptr) SelectObject(dc_.get(), old_);
}

void CopyPixelsToDC(HDC dc, int x, int y, const forms::PixelBuffer& image) {
    if (image.empty()) return;
    SourceBitmap source(image);
    BitBlt(dc, x, y, image.width(), image.height(), source.dc(), 0, 0, SRCCOPY);
}

void TransparentBlit(HDC dc, const RECT& rect, const forms::PixelBuffer& image, std::uint32_t keyRgb) {
    if (Inverted(rect) || image.empty()) return;
    const int w = std::min(Width(rect), image.width()), h = std::min(Height(rect), image.height());
    if (w <= 0 || h <= 0) return;
    SourceBitmap source(image);
    forms::UniqueBitmap mask = KeyMask(image, keyRgb);
    // Where the mask is 1 (the key colour) the foreground operation leaves the destination.
    MaskBlt(dc, rect.left, rect.top, w, h, source.dc(), 0, 0, mask.get(), 0, 0, MAKEROP4(0x00AA0029, SRCCOPY));
}

void DrawSlicedFrame(HDC dc, const RECT& rect, const forms::PixelBuffer& image, bool stacked, bool tile,
                     bool transparent, int count, int index, SkinMargins margins) {
    if (Inverted(rect)) return;
    const forms::PixelBuffer sliced = SliceFrame(Width(rect), Height(rect), image, margins, stacked, tile, count, index);
    Blit(dc, rect.left, rect.top, sliced, transparent);
}

void DrawSlicedFrameDirect(HDC dc, const RECT& rect, const forms::PixelBuffer& image, bool stacked, int count,
                           int index, SkinMargins m, bool transparent) {
    if (Inverted(rect) || image.empty()) return;
    const int W = Width(rect), H = Height(rect);
    const forms::PixelBuffer sliced = SliceFrame(W, H, image, m, stacked, false, count, index);
    if (sliced.empty()) return;
    if (W < m.left + m.right) m.left = m.right = 0;
    if (H < m.top + m.bottom) m.top = m.bottom = 0;
    const RECT edges[] = {
        {0, 0, W, m.top}, {0, H - m.bottom, W, H}, {0, m.top, m.left, H - m.bottom}, {W - m.right, m.top, W, H - m.bottom}};
    if (transparent) {
        // Each edge masked on its own: a mask of the whole frame would be mostly centre.
        for (const RECT& e : edges) {
            if (Width(e) <= 0 || Height(e) <= 0) continue;
            forms::PixelBuffer part(Width(e), Height(e), 3);
            StretchCopy(sliced, {e.left, e.top, e.right, e.bottom}, part, {0, 0, Width(e), Height(e)});
            TransparentBlit(dc, RECT{rect.left + e.left, rect.top + e.top, rect.left + e.right, rect.top + e.bottom}, part);
        }
        return;
    }
    SourceBitmap source(sliced);
    for (const RECT& e : edges) {
        if (Width(e) <= 0 || Height(e) <= 0) continue;
        BitBlt(dc, rect.left + e.left, rect.top + e.top, Width(e), Height(e), source.dc(), e.left, e.top, SRCCOPY);
    }
}

void DrawThreePart(HDC dc, const RECT& rect, const forms::PixelBuffer& image, bool stacked, bool transparent,
                   int count, int index, SkinMargins margins) {
    if (Inverted(rect)) return;
    // The portable strip leaves the middle alone when it has no width, so it cannot loop.
    const forms::PixelBuffer strip =
        ThreePart(Width(rect), Height(rect), image, stacked, count, index, margins.left, margins.right);
    Blit(dc, rect.left, rect.top, strip, transparent);
}

void DrawFrameStretched(HDC dc, const RECT& rect, const forms::PixelBuffer& image, bool transparent, int count,
                        int index) {
    if (Inverted(rect) || image.empty() || Width(rect) == 0 || Height(rect) == 0) return;
    const SkinRect f = FrameRect(image.width(), image.height(), count, index, false);
    forms::PixelBuffer frame(Width(rect), Height(rect), 3);
    StretchCopy(image, f, frame, {0, 0, Width(rect), Height(rect)});
    Blit(dc, rect.left, rect.top, frame, transparent);
}

void DrawFrameCentred(HDC dc, const RECT& rect, const forms::PixelBuffer& image, bool transparent, int count,
                      int index) {
    if (Inverted(rect) || image.empty()) return;
    const SkinRect f = FrameRect(image.width(), image.height(), count, index, false);
    if (f.Empty()) return;
    forms::PixelBuffer frame(f.Width(), f.Height(), 3);
    StretchCopy(image, f, frame, {0, 0, f.Width(), f.Height()});
    Blit(dc, rect.left + (Width(rect) - f.Width()) / 2, rect.top + (Height(rect) - f.Height()) / 2, frame, transparent);
}

void TileBitmap(HDC dc, const RECT& target, const forms::PixelBuffer& image, const RECT& source) {
    if (Inverted(target) || Width(source) <= 0 || Height(source) <= 0 || image.empty()) return;
    forms::PixelBuffer part(Width(source), Height(source), 3);
    StretchCopy(image, {source.left, source.top, source.right, source.bottom}, part, {0, 0, part.width(), part.height()});
    SourceBitmap tile(part);
    for (int y = target.top; y < target.bottom; y += part.height())
        for (int x = target.left; x < target.right; x += part.width())
            BitBlt(dc, x, y, part.width(), part.height(), tile.dc(), 0, 0, SRCCOPY);
}

forms::UniqueRegion CreateRegionFromBitmap(const forms::PixelBuffer& image, int xOffset, int yOffset,
                                           int toleranceBlue, int toleranceGreen, int toleranceRed,
                                           std::uint32_t keyRgb) {
    const std::vector<OpaqueRun> runs =
        OpaqueRuns(image, xOffset, yOffset, toleranceBlue, toleranceGreen, toleranceRed, keyRgb);
    forms::UniqueRegion result(CreateRectRgn(0, 0, 0, 0));
    if (!result) throw forms::EOutOfResources("Cannot create a window region");
    std::vector<std::uint8_t> block;
    for (size_t start = 0; start < runs.size(); start += kRegionBatch) {
        const size_t n = std::min<size_t>(kRegionBatch, runs.size() - start);
        block.assign(sizeof(RGNDATAHEADER) + n * sizeof(RECT), 0);
        auto* data = reinterpret_cast<RGNDATA*>(block.data());
        auto* rects = reinterpret_cast<RECT*>(data->Buffer);
        RECT bounds{runs[start].left, runs[start].y, runs[start].right, runs[start].y + 1};
        for (size_t i = 0; i < n; ++i) {
            const OpaqueRun& r = runs[start + i];
            rects[i] = RECT{r.left, r.y, r.right, r.y + 1};
            bounds.left = std::min<LONG>(bounds.left, r.left);
            bounds.top = std::min<LONG>(bounds.top, r.y);
            bounds.right = std::max<LONG>(bounds.right, r.right);
            bounds.bottom = std::max<LONG>(bounds.bottom, r.y + 1);
        }
        data->rdh.dwSize = sizeof(RGNDATAHEADER);
        data->rdh.iType = RDH_RECTANGLES;
        data->rdh.nCount = static_cast<DWORD>(n);
        data->rdh.nRgnSize = static_cast<DWORD>(n * sizeof(RECT));
        data->rdh.rcBound = bounds;
        forms::UniqueRegion batch(ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()), data));
        if (!batch) throw forms::EOutOfResources("Cannot create a window region");
        CombineRgn(result.get(), result.get(), batch.get(), RGN_OR);
    }
    return result;
}

forms::PixelBuffer ReadPixels(HDC dc, const RECT& rect) {
    const int w = std::max(Width(rect), 0), h = std::max(Height(rect), 0);
    forms::PixelBuffer out(w, h, 3);
    if (w == 0 || h == 0) return out;
    forms::PixelBuffer blank(w, h, 3);
    SourceBitmap target(blank);
    BitBlt(target.dc(), 0, 0, w, h, dc, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    forms::CopyPixels(target.pixels(), out.view());
    return out;
}

}  // namespace skin
