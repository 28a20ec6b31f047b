#include "controls/thumb_image.h"

#include <algorithm>
#include <memory>

#include "controls/portable/jpeg_scale_choice.h"
#include "controls/thumb_cell.h"
#include "forms/bitmap.h"
#include "forms/gdi_handle.h"
#include "forms/portable/jpeg_codec.h"
#include "forms/portable/picture_turns.h"
#include "forms/portable/properties.h"
#include "forms/portable/text_case.h"

namespace controls {

using forms::TBitmap;
using forms::TClassInfo;

namespace {

std::string_view Extension(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/:");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    return path.substr(dot);
}

// The picture's graphic as a 24-bit bitmap of its own.
std::unique_ptr<TBitmap> Copy24(const forms::TGraphic& graphic) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(graphic);
    bitmap->SetPixelFormat(forms::pf24bit);
    return bitmap;
}

}  // namespace

bool IsScaledJpegPath(const std::string& path) { return forms::SameTextAscii(Extension(path), ".JPG"); }

std::uint64_t MeasureFileSize(const std::string& path) {
    forms::UniqueKernelHandle file(forms::NullIfInvalid(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size))
        throw forms::EFOpenError(forms::Format("Cannot open file \"%s\"", path.c_str()));
    return static_cast<std::uint64_t>(size.QuadPart);
}

TThumbImage::TThumbImage(forms::TComponent* owner) : TBaseThumbImage(owner) {}

const TClassInfo& TThumbImage::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TThumbImage>("TThumbImage", &TBaseThumbImage::StaticClass())
                                       .Enum("Angle", {"AT0", "AT90", "AT180", "AT270"}, &TThumbImage::Angle, &TThumbImage::SetAngle)
                                       .Int("Zoom", &TThumbImage::Zoom, &TThumbImage::SetZoom)
                                       .Bool("CanModify", &TThumbImage::CanModify, nullptr)
                                       .Done();
    return info;
}

bool TThumbImage::CanModify() const {
    const forms::TGraphic* graphic = Picture()->Graphic();
    return graphic != nullptr && !graphic->Empty();
}

void TThumbImage::LoadFile(const std::string& path) {
    if (!IsScaledJpegPath(path)) {
        try {
            Picture()->LoadFromFile(path);
        } catch (const std::exception&) {
            if (!OnInvalidImage) throw;
            OnInvalidImage(this, path);
            return;
        }
    } else {
        const auto* cell = dynamic_cast<const TThumbnail*>(Parent());
        std::optional<PrefetchedJpeg> ahead;
        // The view decodes ahead for its cells, by the rule a cell uses.
        if (prefetcher_ != nullptr && cell != nullptr) ahead = prefetcher_->Take(path);
        int scale = 1;
        forms::DecodedJpeg decoded;
        if (ahead) {
            decoded = std::move(ahead->decoded);
            scale = ahead->scaleDenominator;
        } else {
            forms::JpegDecodeOptions options;
            if (cell != nullptr) {
                const ThumbSize box = cell->ReductionBox();
                const std::uint64_t bytes = MeasureFileSize(path);
                options.scaleFor = [&](const forms::JpegInfo& header) {
                    return scale = JpegScaleForCell(bytes, header.width, header.height, box.width, box.height);
                };
            }
            decoded = forms::DecodeJpegFile(path, options);
        }
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->AssignPixels(decoded.pixels.view());
        // The bitmap holds its own copy: the scan's later decodes reuse this memory.
        if (prefetcher_ != nullptr) prefetcher_->Recycle(std::move(decoded));
        lastJpegScale_ = scale;
        Picture()->SetGraphic(std::unique_ptr<forms::TGraphic>(std::move(bitmap)));
    }
    angle_ = AT0;
    if (OnLoaded) OnLoaded(this);
}

void TThumbImage::ReduceTo(int width, int height) {
    const forms::TGraphic* graphic = Picture()->Graphic();
    if (graphic == nullptr || graphic->Empty()) return;
    const std::vector<ThumbSize> steps = ReductionSteps({graphic->Width(), graphic->Height()}, {width, height});
    if (steps.empty()) return;
    for (const ThumbSize& step : steps) {
        auto target = std::make_unique<TBitmap>(step.width, step.height, forms::pf24bit);
        forms::TCanvas* canvas = target->Canvas();
        SetStretchBltMode(canvas->Handle(), HALFTONE);
        SetBrushOrgEx(canvas->Handle(), 0, 0, nullptr);
        canvas->StretchDraw(RECT{0, 0, step.width, step.height}, Picture()->Graphic());
        Picture()->SetGraphic(std::unique_ptr<forms::TGraphic>(std::move(target)));
    }
    // The drawing left a memory DC on the result; every cell would keep one. Keep the pixels only.
    auto kept = std::make_unique<TBitmap>();
    kept->AssignPixels(static_cast<TBitmap*>(Picture()->Graphic())->Pixels());
    Picture()->SetGraphic(std::unique_ptr<forms::TGraphic>(std::move(kept)));
    modified_ = true;
}

void TThumbImage::TurnQuarter(bool clockwise) {
    if (!CanModify()) return;
    std::unique_ptr<TBitmap> source = Copy24(*Picture()->Graphic());
    forms::PixelBuffer turned = clockwise ? forms::RotateClockwise(source->Pixels()) : forms::RotateCounterClockwise(source->Pixels());
    auto dest = std::make_unique<TBitmap>();
    dest->AssignPixels(turned.view());
    Picture()->SetGraphic(std::unique_ptr<forms::TGraphic>(std::move(dest)));
    Invalidate();
}

void TThumbImage::RotateClockwise() { TurnQuarter(true); }
void TThumbImage::RotateCounterClockwise() { TurnQuarter(false); }

void TThumbImage::Mirror(int kind) {
    if (!CanModify() || kind < 0 || kind > 2) return;
    std::unique_ptr<TBitmap> bitmap = Copy24(*Picture()->Graphic());
    forms::MirrorPixels(bitmap->Pixels(), static_cast<forms::MirrorKind>(kind));
    Picture()->SetGraphic(std::unique_ptr<forms::TGraphic>(std::move(bitmap)));
    Invalidate();
}

void TThumbImage::SetAngle(TAngle v) {
    if (v == angle_ || !CanModify()) return;
    const int steps = (static_cast<int>(v) - static_cast<int>(angle_) + 4) % 4;
    if (steps == 2) {
        Mirror(2);
    } else {
        if (steps == 1) RotateClockwise();
        else RotateCounterClockwise();
        if (auto* cell = Parent() != nullptr ? dynamic_cast<TThumbnail*>(Parent()) : nullptr) cell->Perform(WM_THUMB_IMAGE_TURNED);
    }
    angle_ = v;
    modified_ = v != AT0;
}

}  // namespace controls
