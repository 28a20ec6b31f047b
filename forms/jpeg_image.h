// A JPEG picture: the file's bytes, decoded on demand at the chosen scale into a 24-bit
// bitmap; pictures assigned from a bitmap are encoded when saved (or on Compress).
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "forms/graphics.h"
#include "forms/portable/jpeg_codec.h"

namespace forms {

class TBitmap;

// libjpeg's reduced-size decoding: 1/1, 1/2, 1/4, 1/8 of each dimension (rounded up).
enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // The decoded size: the header's size at Scale, without decoding.
    int Width() const override;
    int Height() const override;
    // A JPEG image has the size of its picture: both raise EInvalidGraphic.
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    bool Empty() const override;

    TJPEGScale Scale() const { return scale_; }
    void SetScale(TJPEGScale v);
    // True after loading a gray file; set, the picture decodes (and encodes) as gray.
    bool Grayscale() const { return grayscale_; }
    void SetGrayscale(bool v);

    // Used when encoding pixels (Assign from a bitmap, then save or Compress); a loaded file
    // is saved with its own bytes.
    int CompressionQuality = 90;
    bool ProgressiveEncoding = false;

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Draw(TCanvas& canvas, const RECT& rect) override;
    // The decoded bitmap's GDI objects; the decoded pixels stay.
    void ReleaseHandles() override;

    // Copies another JPEG image, or takes a bitmap's pixels to be encoded; other graphics
    // raise EConvertError.
    void Assign(const TGraphic& source);
    // The decoded picture as a 24-bit bitmap.
    void AssignTo(TBitmap& target) const;

    // Encodes assigned pixels now (nothing to do for a loaded file).
    void Compress();
    // Decodes now; EInvalidGraphic when the data is not a picture libjpeg accepts.
    void DIBNeeded() const;
    // The JPEG file bytes (empty until loaded or compressed).
    const std::vector<std::uint8_t>& Data() const { return data_; }

private:
    int ScaleDenominator() const;
    void DropDecoded();

    std::vector<std::uint8_t> data_;
    JpegInfo info_;
    TJPEGScale scale_ = jsFullSize;
    bool grayscale_ = false;
    bool needsEncode_ = false;  // bitmap_ holds pixels that data_ does not have yet
    mutable std::unique_ptr<TBitmap> bitmap_;
};

}  // namespace forms
