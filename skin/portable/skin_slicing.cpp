#include "skin/portable/skin_slicing.h"

#include <algorithm>
#include <cstring>

namespace skin {

namespace {

void CopyPixel(const forms::PixelBuffer& source, int sx, int sy, forms::PixelBuffer& target, int tx, int ty) {
    const int sb = source.bytesPerPixel(), tb = target.bytesPerPixel();
    std::memcpy(target.row(ty) + tb * tx, source.row(sy) + sb * sx, 3);
}

SkinRect Clip(const SkinRect& r, int width, int height) {
    return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width), std::min(r.bottom, height)};
}

}  // namespace

SkinRect FrameRect(int width, int height, int count, int index, bool stacked) {
    count = std::max(count, 1);
    if (stacked) {
        const int h = height / count;
        return {0, (index - 1) * h, width, index * h};
    }
    const int w = width / count;
    return {(index - 1) * w, 0, index * w, height};
}

void StretchCopy(const forms::PixelBuffer& source, const SkinRect& from, forms::PixelBuffer& target, const SkinRect& to) {
    if (from.Empty() || to.Empty()) return;
    const SkinRect visible = Clip(to, target.width(), target.height());
    const SkinRect readable = Clip(from, source.width(), source.height());
    if (visible.Empty() || !(readable == from)) return;
    const std::int64_t fw = from.Width(), fh = from.Height(), tw = to.Width(), th = to.Height();
    for (int y = visible.top; y < visible.bottom; ++y) {
        // Each target pixel takes the source pixel under its centre.
        const int sy = from.top + static_cast<int>((2 * (y - to.top) + 1) * fh / (2 * th));
        for (int x = visible.left; x < visible.right; ++x) {
            const int sx = from.left + static_cast<int>((2 * (x - to.left) + 1) * fw / (2 * tw));
            CopyPixel(source, sx, sy, target, x, y);
        }
    }
}

void TileCopy(const forms::PixelBuffer& source, const SkinRect& from, forms::PixelBuffer& target, const SkinRect& to) {
    if (from.Empty() || to.Empty()) return;
    const int w = from.Width(), h = from.Height();
    for (int y = to.top; y < to.bottom; y += h)
        for (int x = to.left; x < to.right; x += w) StretchCopy(source, from, target, {x, y, x + w, y + h});
}

void KeyedCopy(const forms::PixelBuffer& source, forms::PixelBuffer& target, int x, int y, std::uint32_t keyRgb) {
    const std::uint8_t key[3] = {static_cast<std::uint8_t>(keyRgb), static_cast<std::uint8_t>(keyRgb >> 8),
                                 static_cast<std::uint8_t>(keyRgb >> 16)};
    const SkinRect visible = Clip({x, y, x + source.width(), y + source.height()}, target.width(), target.height());
    for (int ty = visible.top; ty < visible.bottom; ++ty)
        for (int tx = visible.left; tx < visible.right; ++tx) {
            const std::uint8_t* p = source.row(ty - y) + source.bytesPerPixel() * (tx - x);
            if (p[0] == key[0] && p[1] == key[1] && p[2] == key[2]) continue;
            CopyPixel(source, tx - x, ty - y, target, tx, ty);
        }
}

forms::PixelBuffer SliceFrame(int width, int height, const forms::PixelBuffer& image, SkinMargins m, bool stacked,
                              bool tile, int count, int index) {
    if (width <= 0 || height <= 0) return forms::PixelBuffer(0, 0, 3);
    forms::PixelBuffer result(width, height, 3);
    if (image.empty()) return result;
    const SkinRect f = FrameRect(image.width(), image.height(), count, index, stacked);
    if (f.Empty()) return result;
    if (width < m.left + m.right) m.left = m.right = 0;
    if (height < m.top + m.bottom) m.top = m.bottom = 0;
    const int fl = f.left, ft = f.top, fr = f.right, fb = f.bottom;
    const int W = width, H = height;
    auto part = [&](SkinRect from, SkinRect to) { StretchCopy(image, from, result, to); };
    part({fl, ft, fl + m.left, ft + m.top}, {0, 0, m.left, m.top});                          // top-left
    part({fl, fb - m.bottom, fl + m.left, fb}, {0, H - m.bottom, m.left, H});                // bottom-left
    part({fr - m.right, ft, fr, ft + m.top}, {W - m.right, 0, W, m.top});                    // top-right
    part({fl, ft + m.top, fl + m.left, fb - m.bottom}, {0, m.top, m.left, H - m.bottom});    // left
    part({fl + m.left, ft, fr - m.right, ft + m.top}, {m.left, 0, W - m.right, m.top});      // top
    const SkinRect centreFrom{fl + m.left, ft + m.top, fr - m.right, fb - m.bottom};
    const SkinRect centreTo{m.left, m.top, W - m.right, H - m.bottom};
    if (tile) TileCopy(image, centreFrom, result, centreTo);
    else part(centreFrom, centreTo);
    // Drawn after the centre so that they cover tiles running past its right and bottom.
    part({fr - m.right, fb - m.bottom, fr, fb}, {W - m.right, H - m.bottom, W, H});           // bottom-right
    part({fr - m.right, ft + m.top, fr, fb - m.bottom}, {W - m.right, m.top, W, H - m.bottom});  // right
    part({fl + m.left, fb - m.bottom, fr - m.right, fb}, {m.left, H - m.bottom, W - m.right, H});  // bottom
    return result;
}

forms::PixelBuffer ThreePart(int width, int height, const forms::PixelBuffer& image, bool stacked, int count, int index,
                             int leftMargin, int rightMargin) {
    if (width <= 0 || height <= 0) return forms::PixelBuffer(0, 0, 3);
    forms::PixelBuffer result(width, height, 3);
    if (image.empty()) return result;
    const SkinRect f = FrameRect(image.width(), image.height(), count, index, stacked);
    if (f.Empty()) return result;
    StretchCopy(image, {f.left, f.top, f.left + leftMargin, f.bottom}, result, {0, 0, leftMargin, height});
    const int middle = f.Width() - leftMargin - rightMargin;
    if (middle > 0) {
        for (int x = leftMargin; x < width - rightMargin; x += middle)
            StretchCopy(image, {f.left + leftMargin, f.top, f.right - rightMargin, f.bottom}, result,
                        {x, 0, x + middle, height});
    }
    StretchCopy(image, {f.right - rightMargin, f.top, f.right, f.bottom}, result, {width - rightMargin, 0, width, height});
    return result;
}

std::vector<OpaqueRun> OpaqueRuns(const forms::PixelBuffer& image, int xOffset, int yOffset, int toleranceBlue,
                                  int toleranceGreen, int toleranceRed, std::uint32_t keyRgb) {
    const int keyRed = (keyRgb >> 16) & 0xFF, keyGreen = (keyRgb >> 8) & 0xFF, keyBlue = keyRgb & 0xFF;
    auto inRange = [](int value, int key, int tolerance) { return value >= key && value <= std::min(255, key + tolerance); };
    std::vector<OpaqueRun> runs;
    const int bpp = image.bytesPerPixel();
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* row = image.row(y);
        int x = 0;
        while (x < image.width()) {
            auto transparent = [&](int at) {
                const std::uint8_t* p = row + bpp * at;
                return inRange(p[0], keyBlue, toleranceBlue) && inRange(p[1], keyGreen, toleranceGreen) &&
                       inRange(p[2], keyRed, toleranceRed);
            };
            while (x < image.width() && transparent(x)) ++x;
            const int start = x;
            while (x < image.width() && !transparent(x)) ++x;
            if (x > start) runs.push_back({start + xOffset, y + yOffset, x + xOffset});
        }
    }
    return runs;
}

}  // namespace skin
