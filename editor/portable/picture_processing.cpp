#include "editor/portable/picture_processing.h"

#include "controls/portable/resample.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/jpeg_codec.h"

#include <algorithm>

namespace editor {

PictureBox FitIntoBox(int width, int height, PictureBox box) {
    if (width <= 0 || height <= 0) return {1, 1};
    // 64-bit products: the truncations are those of the 32-bit formula, without its overflow.
    std::int64_t w, h;
    if (width > height) {
        w = box.width;
        h = (w * 100 / width) * height / 100;
    } else {
        h = box.height;
        w = (h * 100 / height) * width / 100;
    }
    return {static_cast<int>(std::max<std::int64_t>(w, 1)), static_cast<int>(std::max<std::int64_t>(h, 1))};
}

forms::PixelBuffer DecodePicture(std::span<const std::uint8_t> jpeg) {
    const auto info = forms::ProbeJpeg(jpeg);
    if (info.colorSpace == forms::JpegColorSpace::CMYK || info.colorSpace == forms::JpegColorSpace::YCCK)
        throw forms::EInvalidGraphic("CMYK pictures cannot be used; save the picture in RGB colour first");
    const std::uint64_t pixels = std::uint64_t(std::max(info.width, 0)) * std::uint64_t(std::max(info.height, 0));
    if (pixels > kMaxPicturePixels)
        throw forms::EInvalidGraphic("The picture is too large (" + std::to_string(info.width) + " x " +
                                     std::to_string(info.height) + " pixels)");
    forms::JpegDecodeOptions options;
    options.pixelLimit = kMaxPicturePixels;
    return forms::DecodeJpeg(jpeg, options).pixels;
}

forms::PixelBuffer FitPicture(const forms::PixelBuffer& picture, PictureBox box) {
    const auto size = FitIntoBox(picture.width(), picture.height(), box);
    forms::PixelBuffer result(size.width, size.height, 3);
    auto source = const_cast<forms::PixelBuffer&>(picture).view();
    controls::ResamplePixels(source, result.view(), controls::TResamplingFilter::Triangle, 5.0f);
    return result;
}

std::vector<std::uint8_t> EncodePicture(const forms::PixelBuffer& picture) {
    forms::JpegEncodeOptions options;
    options.quality = 100;
    options.progressive = false;
    auto view = const_cast<forms::PixelBuffer&>(picture).view();
    return forms::EncodeJpeg(view, options);
}

void ProcessPictureFile(const std::string& source, const std::string& target, PictureBox box,
                        const std::function<void()>& between) {
    std::vector<std::uint8_t> encoded;
    {
        const auto bytes = forms::ReadJpegFileBytes(source);
        auto decoded = DecodePicture(bytes);
        if (between) between();
        encoded = EncodePicture(FitPicture(decoded, box));
    }
    forms::WriteJpegFileBytes(target, encoded);
}

}  // namespace editor
