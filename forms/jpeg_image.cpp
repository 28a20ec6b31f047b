#include "forms/jpeg_image.h"

#include "forms/bitmap.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/properties.h"
#include "forms/portable/streams.h"

namespace forms {

const TClassInfo& TJPEGImage::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TJPEGImage>("TJPEGImage", &TObject::StaticClass()).Done();
    return info;
}

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

int TJPEGImage::ScaleDenominator() const {
    static constexpr int kDenominators[] = {1, 2, 4, 8};  // by TJPEGScale
    return kDenominators[scale_];
}

int TJPEGImage::Width() const {
    if (bitmap_ && !bitmap_->Empty()) return bitmap_->Width();
    return data_.empty() ? 0 : ScaledJpegDimension(info_.width, ScaleDenominator());
}

int TJPEGImage::Height() const {
    if (bitmap_ && !bitmap_->Empty()) return bitmap_->Height();
    return data_.empty() ? 0 : ScaledJpegDimension(info_.height, ScaleDenominator());
}

void TJPEGImage::SetWidth(int) { throw EInvalidGraphic("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int) { throw EInvalidGraphic("Cannot change the size of a JPEG image"); }

bool TJPEGImage::Empty() const { return Width() == 0 || Height() == 0; }

void TJPEGImage::DropDecoded() {
    // Assigned pixels are the only copy of the picture until they are encoded.
    if (needsEncode_) Compress();
    bitmap_.reset();
}

void TJPEGImage::SetScale(TJPEGScale v) {
    if (v == scale_) return;
    DropDecoded();
    scale_ = v;
    Changed();
}

void TJPEGImage::SetGrayscale(bool v) {
    if (v == grayscale_) return;
    DropDecoded();
    grayscale_ = v;
    Changed();
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    const std::int64_t length = stream.Size() - stream.Position();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length > 0 ? length : 0));
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    const JpegInfo info = ProbeJpeg(bytes);  // raises before anything is replaced
    data_ = std::move(bytes);
    info_ = info;
    grayscale_ = info.colorSpace == JpegColorSpace::Grayscale;
    needsEncode_ = false;
    bitmap_.reset();
    Changed();
}

void TJPEGImage::Compress() {
    if (!needsEncode_) return;
    JpegEncodeOptions options;
    options.quality = CompressionQuality;
    options.progressive = ProgressiveEncoding;
    options.grayscale = grayscale_;
    data_ = EncodeJpeg(bitmap_->Pixels(), options);
    info_ = ProbeJpeg(data_);
    needsEncode_ = false;
    // The bitmap stays: it is the full-size picture, and the scale of an assigned picture is 1.
    scale_ = jsFullSize;
}

void TJPEGImage::SaveToStream(TStream& stream) {
    Compress();
    if (data_.empty()) throw EInvalidGraphic("Cannot save an empty JPEG image");
    stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TJPEGImage::DIBNeeded() const {
    if (bitmap_ || data_.empty()) return;
    JpegDecodeOptions options;
    options.scaleDenominator = ScaleDenominator();
    options.grayscale = grayscale_;
    DecodedJpeg decoded = DecodeJpeg(data_, options);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->AssignPixels(decoded.pixels.view());
    bitmap_ = std::move(bitmap);
}

void TJPEGImage::Draw(TCanvas& canvas, const RECT& rect) {
    DIBNeeded();
    if (bitmap_) bitmap_->Draw(canvas, rect);
}

void TJPEGImage::Assign(const TGraphic& source) {
    if (&source == this) return;
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
        data_ = jpeg->data_;
        info_ = jpeg->info_;
        scale_ = jpeg->scale_;
        grayscale_ = jpeg->grayscale_;
        needsEncode_ = jpeg->needsEncode_;
        CompressionQuality = jpeg->CompressionQuality;
        ProgressiveEncoding = jpeg->ProgressiveEncoding;
        bitmap_.reset();
        if (jpeg->bitmap_) {
            bitmap_ = std::make_unique<TBitmap>();
            bitmap_->Assign(*jpeg->bitmap_);
        }
        Changed();
        return;
    }
    if (const auto* source_bitmap = dynamic_cast<const TBitmap*>(&source)) {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->Assign(*source_bitmap);
        bitmap->SetPixelFormat(pf24bit);
        bitmap->SetTransparent(false);
        const bool empty = bitmap->Empty();
        bitmap_ = std::move(bitmap);
        data_.clear();
        info_ = JpegInfo{};
        scale_ = jsFullSize;
        needsEncode_ = !empty;
        Changed();
        return;
    }
    throw EConvertError(Format("Cannot assign a %s to a TJPEGImage", source.ClassName().c_str()));
}

void TJPEGImage::AssignTo(TBitmap& target) const {
    DIBNeeded();
    if (bitmap_)
        target.Assign(*bitmap_);
    else
        target.FreeImage();
}

void TJPEGImage::ReleaseHandles() {
    if (bitmap_) bitmap_->ReleaseHandles();
}

}  // namespace forms
