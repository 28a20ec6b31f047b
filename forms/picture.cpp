#include "forms/picture.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "forms/bitmap.h"
#include "forms/jpeg_image.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/properties.h"
#include "forms/portable/text_case.h"

namespace forms {
namespace {

struct PictureFormat {
    const char* extension;  // lower case, with its dot
    std::function<std::unique_ptr<TGraphic>()> create;
};

const PictureFormat kFormats[] = {
    {".bmp", [] { return std::unique_ptr<TGraphic>(std::make_unique<TBitmap>()); }},
    {".jpg", [] { return std::unique_ptr<TGraphic>(std::make_unique<TJPEGImage>()); }},
    {".jpeg", [] { return std::unique_ptr<TGraphic>(std::make_unique<TJPEGImage>()); }},
};

// The extension with its dot; empty when the file name has none.
std::string ExtensionOf(const std::string& fileName) {
    const std::size_t slash = fileName.find_last_of("\\/:");
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return fileName.substr(dot);
}

std::unique_ptr<TGraphic> CopyOf(const TGraphic& graphic) {
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic)) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(*bitmap);
        return copy;
    }
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&graphic)) {
        auto copy = std::make_unique<TJPEGImage>();
        copy->Assign(*jpeg);
        return copy;
    }
    throw EConvertError(Format("Cannot assign a %s to a TPicture", graphic.ClassName().c_str()));
}

}  // namespace

const TClassInfo& TPicture::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TPicture>("TPicture", &TObject::StaticClass()).Done();
    return info;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(const TGraphic* graphic) {
    if (graphic == graphic_.get()) return;
    SetGraphic(graphic ? CopyOf(*graphic) : nullptr);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    if (graphic) graphic->OnChange = [this](TObject*) { Changed(); };
    graphic_ = std::move(graphic);
    Changed();
}

TBitmap* TPicture::Bitmap() {
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get())) return bitmap;
    SetGraphic(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(graphic_.get());
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }
bool TPicture::Empty() const { return !graphic_ || graphic_->Empty(); }

void TPicture::LoadFromFile(const std::string& fileName) {
    const std::string ext = ExtensionOf(fileName);
    const std::string key = LowerAscii(ext);
    const auto format = std::find_if(std::begin(kFormats), std::end(kFormats),
                                     [&](const PictureFormat& f) { return key == f.extension; });
    if (format == std::end(kFormats)) throw EInvalidGraphic(Format("Unknown picture file extension (%s)", ext.c_str()));
    std::unique_ptr<TGraphic> graphic = format->create();
    graphic->LoadFromFile(fileName);
    SetGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName) const {
    if (!graphic_) throw EInvalidGraphic("Cannot save an empty picture");
    graphic_->SaveToFile(fileName);
}

}  // namespace forms
