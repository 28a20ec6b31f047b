#include "forms/portable/pixels.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace forms {

PixelBuffer::PixelBuffer(int width, int height, int bytesPerPixel) {
    Reshape(width, height, bytesPerPixel);
    std::fill(bytes_.begin(), bytes_.end(), std::uint8_t{0});
}

PixelBuffer PixelBuffer::Uninitialised(int width, int height, int bytesPerPixel) {
    PixelBuffer buffer;
    buffer.Reshape(width, height, bytesPerPixel);
    return buffer;
}

void PixelBuffer::Reshape(int width, int height, int bytesPerPixel) {
    if (width < 0 || height < 0) throw std::invalid_argument("negative pixel buffer size");
    if (bytesPerPixel != 3 && bytesPerPixel != 4) throw std::invalid_argument("pixels are 3 or 4 bytes");
    bytes_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * bytesPerPixel);
    width_ = width;
    height_ = height;
    bytesPerPixel_ = bytesPerPixel;
}

PixelView PixelBuffer::view() {
    return PixelView{bytes_.data(), width_, height_, stride(), bytesPerPixel_};
}

void CopyPixels(const PixelView& from, const PixelView& to) {
    if (from.empty() || to.empty()) return;
    const int width = std::min(from.width, to.width);
    const int height = std::min(from.height, to.height);
    if (from.bytesPerPixel == to.bytesPerPixel) {
        const std::size_t bytes = static_cast<std::size_t>(width) * from.bytesPerPixel;
        for (int y = 0; y < height; ++y) std::memmove(to.row(y), from.row(y), bytes);
        return;
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = from.row(y);
        std::uint8_t* d = to.row(y);
        for (int x = 0; x < width; ++x, s += from.bytesPerPixel, d += to.bytesPerPixel) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            if (to.bytesPerPixel == 4) d[3] = 0;
        }
    }
}

void FillPixels(const PixelView& view, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    if (view.empty()) return;
    for (int y = 0; y < view.height; ++y) {
        std::uint8_t* d = view.row(y);
        for (int x = 0; x < view.width; ++x, d += view.bytesPerPixel) {
            d[0] = blue;
            d[1] = green;
            d[2] = red;
            if (view.bytesPerPixel == 4) d[3] = 0;
        }
    }
}

}  // namespace forms
