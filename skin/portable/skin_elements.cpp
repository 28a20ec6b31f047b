#include "skin/portable/skin_elements.h"

namespace skin {

namespace {

const forms::PixelBuffer& NoPixels() {
    static const forms::PixelBuffer none(0, 0, 3);
    return none;
}

}  // namespace

SkinImage::SkinImage(forms::PixelBuffer pixels) : pixels_(std::make_shared<forms::PixelBuffer>(std::move(pixels))) {}

SkinImage& SkinImage::operator=(forms::PixelBuffer pixels) {
    pixels_ = std::make_shared<forms::PixelBuffer>(std::move(pixels));
    return *this;
}

const forms::PixelBuffer& SkinImage::Pixels() const { return pixels_ ? *pixels_ : NoPixels(); }

forms::PixelBuffer& SkinImage::Mutable() {
    if (!pixels_) pixels_ = std::make_shared<forms::PixelBuffer>(0, 0, 3);
    else if (pixels_.use_count() > 1) pixels_ = std::make_shared<forms::PixelBuffer>(*pixels_);
    return *pixels_;
}

TDataSkinObject* SkinElements::Part(const std::string& name) const {
    const auto it = parts.find(name);
    return it == parts.end() ? nullptr : it->second.get();
}

TDataSkinBorder* SkinElements::BorderPart(const std::string& name) const {
    return dynamic_cast<TDataSkinBorder*>(Part(name));
}

}  // namespace skin
