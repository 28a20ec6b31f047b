// Gallery pictures: the fit of a picture into its preview or thumbnail box and the pipeline
// that turns a chosen JPEG into either (decode, fit, resample, encode).
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "forms/portable/jpeg_codec.h"
#include "forms/portable/pixels.h"

namespace editor {

struct PictureBox {
    int width;
    int height;
};
inline constexpr PictureBox kPreviewBox{834, 754};
inline constexpr PictureBox kThumbnailBox{150, 150};

// The size a width x height picture takes in the box: the long side fills the box, the
// other follows from the exact ratio, rounded to nearest, so proportions never change.
// Pictures smaller than the box are enlarged; neither side is ever below 1.
PictureBox FitIntoBox(int width, int height, PictureBox box);

// The largest of libjpeg's reduced decodings (1/2, 1/4, 1/8) of a width x height picture that
// stays at least twice `size` on both sides, else 1: the resample from it looks the same.
int ReducedDecodeScale(int width, int height, PictureBox size);

// Decoded pictures beyond this many pixels are refused before anything is allocated.
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 27;

// The pipeline's stages, separate so that each can be measured.
// Decodes at full scale into 24-bit pixels, turned upright as its Exif orientation says;
// grayscale sources come out as RGB. CMYK and YCCK pictures, damaged or cut files and
// pictures too large are refused with EInvalidGraphic.
forms::PixelBuffer DecodePicture(std::span<const std::uint8_t> jpeg);
// The picture resampled to its fit in the box (triangle filter, radius 5).
forms::PixelBuffer FitPicture(const forms::PixelBuffer& picture, PictureBox box);
// The picture resampled to exactly `size`, on up to maxThreads threads (0: one per processor).
forms::PixelBuffer ResamplePicture(const forms::PixelBuffer& picture, PictureBox size, int maxThreads = 0);

// Buffers a batch reuses from one picture to the next.
struct PictureWorkspace {
    forms::DecodedJpeg decoded;
    forms::PixelBuffer turned;  // the decoded picture after a quarter turn
    int resampleThreads = 0;    // 0: one per processor
};

// A picture ready for its box: decoded upright at the reduced scale the box allows (pixels
// held in the workspace), and the size it is to take (the fit of its full upright size).
struct BoxedPicture {
    const forms::PixelBuffer& pixels;
    PictureBox fit;
};

// Decodes jpeg (bytes, or a file read as it decodes) for the box, refusing what
// DecodePicture refuses.
BoxedPicture DecodePictureFor(std::span<const std::uint8_t> jpeg, PictureBox box, PictureWorkspace& workspace);
BoxedPicture DecodePictureFileFor(const std::string& path, PictureBox box, PictureWorkspace& workspace);
// Baseline JPEG, quality 100, three components.
std::vector<std::uint8_t> EncodePicture(const forms::PixelBuffer& picture);

// The whole pipeline on a file: reads source, writes target (replacing it through a
// temporary file, so a failed write leaves the old target whole). between runs once the
// picture is decoded, so the caller can let pending messages run. The source is never
// written. A batch passes one workspace to every call.
void ProcessPictureFile(const std::string& source, const std::string& target, PictureBox box,
                        const std::function<void()>& between = {});
void ProcessPictureFile(const std::string& source, const std::string& target, PictureBox box,
                        const std::function<void()>& between, PictureWorkspace& workspace);

}  // namespace editor
