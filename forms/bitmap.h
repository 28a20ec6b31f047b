// Bitmaps of 24- or 32-bit pixels: rows for code, a canvas over a memory DC for GDI drawing,
// BMP files and RT_BITMAP resources. The pixels live in memory of the bitmap's own; a DIB
// section is made only when GDI draws with the bitmap (a process has 10,000 GDI objects), and
// ReleaseHandles gives it back, keeping the pixels.
#pragma once
#include <windows.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "forms/canvas.h"
#include "forms/gdi_handle.h"
#include "forms/graphics.h"
#include "forms/portable/pixels.h"

namespace forms {

// Large pixel blocks come straight from the system's pages: the pixels of thousands of
// thumbnails in the general heap make each allocation there slower than the last (under Wine).
template <class T> struct PixelPageAllocator {
    using value_type = T;
    static constexpr std::size_t kPagedFrom = 32 * 1024;  // bytes
    PixelPageAllocator() = default;
    template <class U> PixelPageAllocator(const PixelPageAllocator<U>&) {}
    T* allocate(std::size_t n) {
        if (n * sizeof(T) < kPagedFrom) return static_cast<T*>(::operator new(n * sizeof(T)));
        void* p = VirtualAlloc(nullptr, n * sizeof(T), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (p == nullptr) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) {
        if (n * sizeof(T) < kPagedFrom) ::operator delete(p);
        else VirtualFree(p, 0, MEM_RELEASE);
    }
    template <class U> bool operator==(const PixelPageAllocator<U>&) const { return true; }
};

// Only pf24bit and pf32bit pixels are kept; pfDevice is taken as pf24bit and the other
// formats raise EInvalidGraphic.
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pf24bit);
    ~TBitmap() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int v) override { SetSize(v, height_); }
    void SetHeight(int v) override { SetSize(width_, v); }
    // Keeps the top-left part of the old picture; new pixels are black.
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return format_; }
    // Converts the pixels already there.
    void SetPixelFormat(TPixelFormat format);
    int BytesPerPixel() const { return format_ == pf32bit ? 4 : 3; }

    // Rows are top-down: ScanLine(0) is the top row. Flushes pending GDI drawing first.
    // Raises EInvalidGraphic for a row outside the picture. Rows and Pixels stay valid until
    // the bitmap next makes or gives back its DIB (Handle, drawing, ReleaseHandles) or changes.
    std::uint8_t* ScanLine(int y);
    // Bytes from one row to the next (rows are padded to 4 bytes).
    std::ptrdiff_t RowPitch() const { return stride_; }
    // All rows at once; empty for an empty bitmap. Flushes pending GDI drawing first.
    PixelView Pixels();

    // The DIB section, made on first use; nullptr while the bitmap is empty. Owned by the bitmap.
    HBITMAP Handle() const;
    // True while the bitmap holds a DIB section (or the canvas's memory DC).
    bool HandleAllocated() const { return dib_ || dc_; }

    // A canvas over a memory DC holding the DIB (both made when it first draws); it stays
    // valid across SetSize, loads, Assign and ReleaseHandles. Drawing on it fires OnChange.
    TCanvas* Canvas();
    // Frees the DIB section, the memory DC and the canvas's tools, keeping the pixels.
    void ReleaseHandles() override;

    // Drawn with TransparentColor left out when Transparent is set.
    void Draw(TCanvas& canvas, const RECT& rect) override;
    // clDefault: the colour of the bottom-left pixel.
    TColor TransparentColor = clDefault;
    TColor ResolvedTransparentColor();

    // BMP files: any depth GDI reads (1 to 32 bits, RLE, bit fields) comes in as pf24bit,
    // or pf32bit from a 32-bit file; files are written uncompressed at the pixel format.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // An RT_BITMAP resource of the module; a missing or broken one raises EInvalidGraphic.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    void LoadFromResourceID(HINSTANCE instance, int id);

    // Copies pixels, format and transparency; a JPEG image is decoded into the bitmap.
    // Other graphics raise EConvertError.
    void Assign(const TGraphic& source);
    // Makes this bitmap a copy of the pixels (24 or 32 bits, following the view).
    void AssignPixels(const PixelView& pixels);

    // Releases the pixels: the bitmap becomes empty (0 x 0).
    void FreeImage();

private:
    struct Dib;
    class BitmapCanvas;
    using Memory = std::vector<std::uint8_t, PixelPageAllocator<std::uint8_t>>;
    void Recreate(int width, int height, TPixelFormat format, bool keepPixels);
    // Takes rows of the stride the format gives; a canvas with a DC gets the DIB at once.
    void Install(Memory&& pixels, int width, int height, TPixelFormat format);
    // Moves the pixels into a new DIB section (selected into the DC when there is one).
    void MakeDib();
    // The DC with the DIB selected, for the canvas.
    HDC CanvasDC();
    // A BITMAPINFO with its colour table followed by the rows; bitsOffset from the start of
    // info, or 0 to compute it from the header.
    void LoadPackedDib(const std::vector<std::uint8_t>& packed, std::size_t bitsOffset);

    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pf24bit;
    std::ptrdiff_t stride_ = 0;
    // The pixels: in pixels_ while there is no DIB, in the DIB's memory while there is one.
    std::uint8_t* bits_ = nullptr;
    Memory pixels_;
    UniqueBitmap dib_;
    UniqueMemoryDC dc_;
    HGDIOBJ dcOriginalBitmap_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
};

}  // namespace forms
