// JPEG decoding and encoding over libjpeg. Every libjpeg error, and every picture refused
// here, raises EInvalidGraphic with a readable message; libjpeg warnings (a file cut short
// inside its image data, for one) are counted and do not stop the decode: a caller that must
// not accept a cut file checks `truncated`.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "forms/portable/pixels.h"

namespace forms {

enum class JpegColorSpace { Unknown, Grayscale, RGB, YCbCr, CMYK, YCCK };

// What the header says, read without decoding the image data.
struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
    JpegColorSpace colorSpace = JpegColorSpace::Unknown;
    bool progressive = false;
    int orientation = 1;            // the Exif orientation (see exif_orientation.h); 1 without one
};

// Decoded pixels beyond this count are refused before they are allocated: 128 megapixels,
// about 400 MB at 24 bits.
constexpr std::uint64_t kDefaultJpegPixelLimit = std::uint64_t{1} << 27;

struct JpegDecodeOptions {
    int scaleDenominator = 1;       // 1, 2, 4 or 8: libjpeg's reduced-size decoding
    int bytesPerPixel = 3;          // 3 (blue, green, red) or 4 (fourth byte 255)
    bool grayscale = false;         // decode the luminance only, written into all three channels
    std::uint64_t pixelLimit = kDefaultJpegPixelLimit;
    // When set, chooses the scale denominator from the header, instead of scaleDenominator.
    std::function<int(const JpegInfo&)> scaleFor;
};

struct DecodedJpeg {
    PixelBuffer pixels;             // the scaled picture, top-down
    int fullWidth = 0;              // the picture's own size, from its header
    int fullHeight = 0;
    JpegColorSpace colorSpace = JpegColorSpace::Unknown;  // of the file
    int warnings = 0;               // libjpeg warnings met while decoding
    bool truncated = false;         // the data ended before the picture did (the rest is grey)
    int orientation = 1;            // the Exif orientation; the pixels are as stored
};

struct JpegEncodeOptions {
    int quality = 90;               // 1..100; 100 gives quantisation tables of all 1
    bool progressive = false;       // false writes a baseline (SOF0) file
    bool grayscale = false;         // one luminance component instead of three
};

JpegInfo ProbeJpeg(std::span<const std::uint8_t> data);

// The size libjpeg gives a dimension decoded at 1/denominator: rounded up.
int ScaledJpegDimension(int full, int denominator);

DecodedJpeg DecodeJpeg(std::span<const std::uint8_t> data, const JpegDecodeOptions& options = {});
// Reads the file as it decodes: a picture refused by its header costs no more than the header.
DecodedJpeg DecodeJpegFile(const std::string& path, const JpegDecodeOptions& options = {});
// The same, decoding into `into`, whose pixel memory is reused when it is large enough (a
// batch decodes many pictures into one buffer). On an error `into` holds nothing useful.
void DecodeJpegInto(std::span<const std::uint8_t> data, const JpegDecodeOptions& options, DecodedJpeg& into);
void DecodeJpegFileInto(const std::string& path, const JpegDecodeOptions& options, DecodedJpeg& into);

// Encodes 24- or 32-bit pixels (the fourth byte is ignored) as a JPEG file image.
std::vector<std::uint8_t> EncodeJpeg(const PixelView& pixels, const JpegEncodeOptions& options = {});

// Whole-file helpers for the codec's callers: EFOpenError when a file cannot be read,
// EFCreateError or EWriteError when it cannot be written. A write goes through a temporary
// file, so a failed one leaves the old file whole.
std::vector<std::uint8_t> ReadJpegFileBytes(const std::string& path);
void WriteJpegFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace forms
