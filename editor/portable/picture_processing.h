// Gallery pictures: the fit of a picture into its preview or thumbnail box and the pipeline
// that turns a chosen JPEG into either (decode, fit, resample, encode).
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "forms/portable/pixels.h"

namespace editor {

struct PictureBox {
    int width;
    int height;
};
inline constexpr PictureBox kPreviewBox{834, 754};
inline constexpr PictureBox kThumbnailBox{150, 150};

// The size a width x height picture takes in the box: the long side fills the box, the
// other follows through a truncated percentage, so it may be up to one percent short.
// Pictures smaller than the box are enlarged; neither side is ever below 1.
PictureBox FitIntoBox(int width, int height, PictureBox box);

// Decoded pictures beyond this many pixels are refused before anything is allocated.
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 27;

// The pipeline's stages, separate so that each can be measured.
// Decodes at full scale into 24-bit pixels; grayscale sources come out as RGB. CMYK and
// YCCK pictures, damaged files and pictures too large are refused with EInvalidGraphic.
forms::PixelBuffer DecodePicture(std::span<const std::uint8_t> jpeg);
// The picture resampled to its fit in the box (triangle filter, radius 5).
forms::PixelBuffer FitPicture(const forms::PixelBuffer& picture, PictureBox box);
// Baseline JPEG, quality 100, three components.
std::vector<std::uint8_t> EncodePicture(const forms::PixelBuffer& picture);

// The whole pipeline on a file: reads source, writes target (replacing it). between runs
// once the picture is decoded, so the caller can let pending messages run. The source is
// never written.
void ProcessPictureFile(const std::string& source, const std::string& target, PictureBox box,
                        const std::function<void()>& between = {});

}  // namespace editor
