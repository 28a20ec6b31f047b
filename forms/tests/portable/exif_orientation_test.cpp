#include "forms/portable/exif_orientation.h"

#include <gtest/gtest.h>

#include <vector>

#include "forms/portable/jpeg_codec.h"
#include "tests/support/jpeg_fixtures.h"

namespace forms {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes SmallJpeg() {
    PixelBuffer pixels(8, 8, 3);
    return EncodeJpeg(pixels.view());
}

// The payload of the file's first APP1 segment.
Bytes App1Of(const Bytes& jpeg) {
    const std::size_t length = (jpeg[4] << 8 | jpeg[5]) - 2u;
    return Bytes(jpeg.begin() + 6, jpeg.begin() + 6 + static_cast<std::ptrdiff_t>(length));
}

TEST(ExifOrientation, EveryValueIsReadInEitherByteOrder) {
    for (bool bigEndian : {false, true})
        for (int value = 1; value <= 8; ++value) {
            const Bytes jpeg = testsupport::WithExifOrientation(SmallJpeg(), value, bigEndian);
            EXPECT_EQ(ExifOrientation(App1Of(jpeg)), value) << value << (bigEndian ? " MM" : " II");
            EXPECT_EQ(ProbeJpeg(jpeg).orientation, value);
        }
    EXPECT_EQ(ProbeJpeg(SmallJpeg()).orientation, 1);  // no Exif at all
}

TEST(ExifOrientation, MalformedBlocksMeanUpright) {
    const Bytes good = App1Of(testsupport::WithExifOrientation(SmallJpeg(), 6, false));
    ASSERT_EQ(ExifOrientation(good), 6);
    // Offsets into the payload: "Exif\0\0" is 6 bytes, then the TIFF header and IFD0 at 8.
    constexpr std::size_t tiff = 6, ifd = tiff + 8, orientationEntry = ifd + 2 + 12;
    const struct { const char* what; std::size_t at; std::vector<std::uint8_t> bytes; } cases[] = {
        {"not Exif", 0, {'J', 'F', 'I', 'F'}},
        {"unknown byte order", tiff, {'I', 'M'}},
        {"not TIFF", tiff + 2, {43, 0}},
        {"IFD0 past the end", tiff + 4, {0xF0, 0xFF, 0xFF, 0x7F}},
        {"IFD0 at the very end", tiff + 4, {static_cast<std::uint8_t>(good.size() - tiff), 0, 0, 0}},
        {"tag past the counted entries", ifd, {1, 0}},
        {"a LONG, not a SHORT", orientationEntry + 2, {4, 0}},
        {"two values", orientationEntry + 4, {2, 0, 0, 0}},
        {"value 0", orientationEntry + 8, {0, 0}},
        {"value 9", orientationEntry + 8, {9, 0}},
        {"value 0x0106", orientationEntry + 8, {6, 1}},
    };
    for (const auto& c : cases) {
        Bytes bad = good;
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + static_cast<std::ptrdiff_t>(c.at));
        EXPECT_EQ(ExifOrientation(bad), 1) << c.what;
    }
    // Every cut of the block: never a read past its end (the sanitizers watch), and the tag
    // is found only when it is whole.
    for (std::size_t n = 0; n < good.size(); ++n) {
        const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        const int value = ExifOrientation(cut);
        EXPECT_EQ(value, n >= orientationEntry + 12 ? 6 : 1) << n << " bytes";
    }
}

}  // namespace
}  // namespace forms
