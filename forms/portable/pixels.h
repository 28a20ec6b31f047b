// Rows of 24-bit (blue, green, red) or 32-bit (blue, green, red, fourth byte) pixels: the
// working format shared by bitmaps, the JPEG codec and the resampler.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace forms {

// A non-owning view. Row 0 is the top row; stride is the byte distance from one row to the
// next and may be negative (bottom-up memory) or wider than width * bytesPerPixel (padding).
struct PixelView {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    int bytesPerPixel = 3;

    bool empty() const { return data == nullptr || width <= 0 || height <= 0; }
    std::uint8_t* row(int y) const { return data + static_cast<std::ptrdiff_t>(y) * stride; }
    std::uint8_t* pixel(int x, int y) const { return row(y) + static_cast<std::ptrdiff_t>(x) * bytesPerPixel; }
    std::size_t rowBytes() const { return static_cast<std::size_t>(width) * bytesPerPixel; }
};

// Leaves new elements uninitialised: a decoder or resampler writes every byte of a buffer,
// and zeroing tens of megabytes first costs as much as a decode.
template <class T> struct UninitialisedAllocator : std::allocator<T> {
    template <class U> struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <class U> UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
    template <class U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <class U, class... A> void construct(U* p, A&&... a) { ::new (static_cast<void*>(p)) U(std::forward<A>(a)...); }
};

// Owning, tightly packed, top-down pixels. Copyable and movable.
class PixelBuffer {
public:
    PixelBuffer() = default;
    // bytesPerPixel is 3 or 4; throws std::invalid_argument otherwise or on negative sizes.
    // Every byte is 0.
    PixelBuffer(int width, int height, int bytesPerPixel);

    // For a writer that fills every byte: the contents are undefined.
    static PixelBuffer Uninitialised(int width, int height, int bytesPerPixel);
    // Gives the buffer a new size keeping its memory where it is large enough (a batch decodes
    // into one buffer); the contents are undefined.
    void Reshape(int width, int height, int bytesPerPixel);

    int width() const { return width_; }
    int height() const { return height_; }
    int bytesPerPixel() const { return bytesPerPixel_; }
    std::ptrdiff_t stride() const { return static_cast<std::ptrdiff_t>(width_) * bytesPerPixel_; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    std::uint8_t* data() { return bytes_.data(); }
    const std::uint8_t* data() const { return bytes_.data(); }
    std::uint8_t* row(int y) { return bytes_.data() + y * stride(); }
    const std::uint8_t* row(int y) const { return bytes_.data() + y * stride(); }

    PixelView view();

private:
    int width_ = 0;
    int height_ = 0;
    int bytesPerPixel_ = 3;
    std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>> bytes_;
};

// Copies the overlapping top-left area of from into to, converting between 24 and 32 bits;
// a fourth byte written into 32-bit pixels is 0.
void CopyPixels(const PixelView& from, const PixelView& to);

// Fills every pixel with one colour given as blue, green, red.
void FillPixels(const PixelView& view, std::uint8_t blue, std::uint8_t green, std::uint8_t red);

}  // namespace forms
