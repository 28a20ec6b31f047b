// Bitmaps as 24- or 32-bit device-independent sections: pixel rows for code, a canvas over a
// memory DC for GDI drawing, BMP files and RT_BITMAP resources.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/canvas.h"
#include "forms/gdi_handle.h"
#include "forms/graphics.h"
#include "forms/portable/pixels.h"

namespace forms {

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
    // Raises EInvalidGraphic for a row outside the picture.
    std::uint8_t* ScanLine(int y);
    // Bytes from one row to the next (rows are padded to 4 bytes).
    std::ptrdiff_t RowPitch() const { return stride_; }
    // All rows at once; empty for an empty bitmap. Flushes pending GDI drawing first.
    PixelView Pixels();

    // The DIB section; nullptr while the bitmap is empty. Owned by the bitmap.
    HBITMAP Handle() const { return dib_.get(); }

    // A canvas over a memory DC holding the DIB; it stays valid across SetSize, loads and
    // Assign. Drawing on it fires OnChange.
    TCanvas* Canvas();

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
    void Recreate(int width, int height, TPixelFormat format, bool keepPixels);
    void Install(Dib&& dib, int width, int height, TPixelFormat format);
    // A BITMAPINFO with its colour table followed by the rows; bitsOffset from the start of
    // info, or 0 to compute it from the header.
    void LoadPackedDib(const std::vector<std::uint8_t>& packed, std::size_t bitsOffset);

    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pf24bit;
    std::ptrdiff_t stride_ = 0;
    std::uint8_t* bits_ = nullptr;
    UniqueBitmap dib_;
    UniqueMemoryDC dc_;
    HGDIOBJ dcOriginalBitmap_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
};

}  // namespace forms
