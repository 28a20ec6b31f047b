#include "fuzz/jpeg_fuzz_entry.h"

#include <cstdlib>
#include <span>

#include "forms/portable/exceptions.h"
#include "forms/portable/exif_orientation.h"
#include "forms/portable/jpeg_codec.h"

namespace fuzz {
namespace {

// Small enough that each input decodes quickly; large enough for real structure.
constexpr std::uint64_t kFuzzPixelLimit = std::uint64_t{1} << 20;

// A fault the fuzzer must see: abort, so that it saves the input.
[[noreturn]] void Fault() { std::abort(); }

void CheckDecoded(const forms::DecodedJpeg& d, int scale, const forms::JpegDecodeOptions& options) {
    if (d.pixels.width() != forms::ScaledJpegDimension(d.fullWidth, scale) ||
        d.pixels.height() != forms::ScaledJpegDimension(d.fullHeight, scale) ||
        d.pixels.bytesPerPixel() != options.bytesPerPixel ||
        std::uint64_t(d.pixels.width()) * std::uint64_t(d.pixels.height()) > options.pixelLimit ||
        d.orientation < 1 || d.orientation > 8)
        Fault();
}

}  // namespace

void FuzzJpegOnce(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const int orientation = forms::ExifOrientation(bytes);  // any bytes at all as an APP1 block
    if (orientation < 1 || orientation > 8) Fault();
    try {
        if (forms::ProbeJpeg(bytes).orientation < 1) Fault();
    } catch (const forms::Exception&) {
        return;  // no header: no decode will do better
    }
    const std::uint8_t flags = size ? data[size - 1] : 0;
    for (int scale : {1, 2, 4, 8}) {
        forms::JpegDecodeOptions options;
        options.pixelLimit = kFuzzPixelLimit;
        options.bytesPerPixel = (flags & 1) ? 4 : 3;
        options.grayscale = (flags & 2) != 0;
        if (scale == 8 && (flags & 4)) {
            // The scale chosen from the header, as the picture pipeline chooses it.
            options.scaleFor = [](const forms::JpegInfo& info) { return info.width > 64 ? 8 : 1; };
        } else {
            options.scaleDenominator = scale;
        }
        try {
            const auto decoded = forms::DecodeJpeg(bytes, options);
            const int used = options.scaleFor ? (decoded.fullWidth > 64 ? 8 : 1) : scale;
            CheckDecoded(decoded, used, options);
        } catch (const forms::Exception&) {
            // Refused: corrupt, CMYK or too large.
        }
    }
}

}  // namespace fuzz
