#include "forms/portable/jpeg_codec.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>


#include <gtest/gtest.h>

#include "forms/portable/exceptions.h"
#include "tests/support/jpeg_fixtures.h"

namespace forms {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A smooth picture with different content per channel, so that swapped channels or rows show.
PixelBuffer Gradient(int width, int height, int bytesPerPixel = 3) {
    PixelBuffer buffer(width, height, bytesPerPixel);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = buffer.row(y) + x * bytesPerPixel;
            p[0] = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1));
            p[2] = static_cast<std::uint8_t>(128 + (x - y) / 4);
            if (bytesPerPixel == 4) p[3] = 0xAB;
        }
    return buffer;
}

Bytes Encode(int width, int height, JpegEncodeOptions options = {}) {
    PixelBuffer picture = Gradient(width, height);
    return EncodeJpeg(picture.view(), options);
}

int MaxChannelError(const PixelBuffer& a, const PixelBuffer& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(a.row(y)[x * a.bytesPerPixel() + c] - b.row(y)[x * b.bytesPerPixel() + c]));
    return worst;
}

struct Segment {
    std::uint8_t marker;
    std::size_t offset;  // of the payload, after the length bytes
    std::size_t length;  // of the payload
};

// The marker segments from SOI up to and including SOS.
std::vector<Segment> Segments(const Bytes& jpeg) {
    std::vector<Segment> out;
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF) {
        const std::uint8_t marker = jpeg[pos + 1];
        const std::size_t length = (jpeg[pos + 2] << 8 | jpeg[pos + 3]) - 2u;
        out.push_back({marker, pos + 4, length});
        if (marker == 0xDA) break;
        pos += 4 + length;
    }
    return out;
}

std::optional<Segment> FindSegment(const Bytes& jpeg, std::initializer_list<std::uint8_t> markers) {
    for (const Segment& s : Segments(jpeg))
        if (std::find(markers.begin(), markers.end(), s.marker) != markers.end()) return s;
    return std::nullopt;
}


TEST(JpegCodec, RoundTripStaysCloseToTheSource) {
    const struct { int quality; int bytesPerPixel; int maxError; } cases[] = {
        {100, 3, 3}, {100, 4, 3}, {90, 3, 12}, {60, 3, 24},
    };
    for (const auto& c : cases) {
        PixelBuffer source = Gradient(37, 23, c.bytesPerPixel);
        JpegEncodeOptions options;
        options.quality = c.quality;
        const Bytes jpeg = EncodeJpeg(source.view(), options);
        JpegDecodeOptions decodeOptions;
        decodeOptions.bytesPerPixel = c.bytesPerPixel;
        const DecodedJpeg decoded = DecodeJpeg(jpeg, decodeOptions);
        ASSERT_EQ(decoded.pixels.width(), 37);
        ASSERT_EQ(decoded.pixels.height(), 23);
        EXPECT_EQ(decoded.colorSpace, JpegColorSpace::YCbCr);
        EXPECT_LE(MaxChannelError(source, decoded.pixels), c.maxError) << "quality " << c.quality;
        EXPECT_EQ(decoded.warnings, 0);
        if (c.bytesPerPixel == 4) {
            EXPECT_EQ(decoded.pixels.row(5)[4 * 7 + 3], 0xFF);
        }
    }
}

TEST(JpegCodec, ScaledDecodeRoundsEachDimensionUp) {
    const struct { int width, height; } sizes[] = {{64, 48}, {37, 23}, {1, 1}, {9, 17}, {101, 3}};
    for (const auto& size : sizes) {
        const Bytes jpeg = Encode(size.width, size.height);
        for (int denom : {1, 2, 4, 8}) {
            JpegDecodeOptions options;
            options.scaleDenominator = denom;
            const DecodedJpeg decoded = DecodeJpeg(jpeg, options);
            EXPECT_EQ(decoded.fullWidth, size.width);
            EXPECT_EQ(decoded.fullHeight, size.height);
            const int w = (size.width + denom - 1) / denom, h = (size.height + denom - 1) / denom;
            EXPECT_EQ(decoded.pixels.width(), w) << size.width << "/" << denom;
            EXPECT_EQ(decoded.pixels.height(), h) << size.height << "/" << denom;
            EXPECT_EQ(ScaledJpegDimension(size.width, denom), w);
        }
    }
}

TEST(JpegCodec, ScaledDecodeKeepsThePicture) {
    PixelBuffer source = Gradient(64, 64);
    const Bytes jpeg = EncodeJpeg(source.view(), {.quality = 100});
    JpegDecodeOptions options;
    options.scaleDenominator = 4;
    const DecodedJpeg decoded = DecodeJpeg(jpeg, options);
    // Pixel (x, y) of the quarter covers source pixels 4x..4x+3; compare with the block's centre.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            for (int c = 0; c < 3; ++c) {
                const int a = source.row(4 * y + 1)[(4 * x + 1) * 3 + c], b = source.row(4 * y + 2)[(4 * x + 2) * 3 + c];
                EXPECT_NEAR(decoded.pixels.row(y)[x * 3 + c], (a + b) / 2, 8) << x << "," << y << " channel " << c;
            }
}

TEST(JpegCodec, BrokenDataRaisesInvalidGraphicAndTheCodecGoesOn) {
    const Bytes good = Encode(40, 30);
    const auto sos = FindSegment(good, {0xDA});
    ASSERT_TRUE(sos.has_value());
    Bytes twelveBits = good;
    twelveBits[FindSegment(good, {0xC0})->offset] = 12;  // sample precision
    Bytes zeroComponents = good;
    zeroComponents[FindSegment(good, {0xC0})->offset + 5] = 0;
    const struct { const char* name; Bytes data; } cases[] = {
        {"empty", {}},
        {"not a JPEG", Bytes{'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8}},
        {"only SOI", Bytes(good.begin(), good.begin() + 2)},
        {"cut inside the headers", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(sos->offset) - 30)},
        {"twelve-bit samples", twelveBits},
        {"frame without components", zeroComponents},
    };
    for (const auto& c : cases) {
        try {
            DecodeJpeg(c.data);
            ADD_FAILURE() << c.name << " decoded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_FALSE(e.Message.empty()) << c.name;
        }
        EXPECT_THROW(ProbeJpeg(c.data), EInvalidGraphic) << c.name;
    }
    EXPECT_EQ(DecodeJpeg(good).pixels.width(), 40);
}

TEST(JpegCodec, FileCutInsideTheImageDataDecodesMarkedTruncated) {
    const Bytes good = Encode(64, 64, {.quality = 95});
    const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() * 2 / 3));
    const auto path = (std::filesystem::temp_directory_path() / "jpeg_codec_cut.jpg").string();
    WriteJpegFileBytes(path, cut);
    // From memory and from a file read as it decodes, at every scale.
    for (int scale : {1, 2, 8}) {
        for (const DecodedJpeg& decoded : {DecodeJpeg(cut, {.scaleDenominator = scale}),
                                           DecodeJpegFile(path, {.scaleDenominator = scale})}) {
            EXPECT_EQ(decoded.pixels.width(), ScaledJpegDimension(64, scale));
            EXPECT_EQ(decoded.pixels.height(), ScaledJpegDimension(64, scale));
            EXPECT_GT(decoded.warnings, 0);
            EXPECT_TRUE(decoded.truncated) << "scale 1/" << scale;
        }
        EXPECT_FALSE(DecodeJpeg(good, {.scaleDenominator = scale}).truncated);
    }
    std::remove(path.c_str());
}

TEST(JpegCodec, FileDecodeMatchesMemoryDecode) {
    const auto path = (std::filesystem::temp_directory_path() / "jpeg_codec_file.jpg").string();
    // Larger than one read chunk of the file source, progressive and baseline.
    for (bool progressive : {false, true}) {
        const Bytes jpeg = Encode(700, 500, {.quality = 100, .progressive = progressive});
        ASSERT_GT(jpeg.size(), 64u * 1024);
        WriteJpegFileBytes(path, jpeg);
        for (int scale : {1, 4}) {
            const auto fromFile = DecodeJpegFile(path, {.scaleDenominator = scale});
            const auto fromMemory = DecodeJpeg(jpeg, {.scaleDenominator = scale});
            ASSERT_EQ(fromFile.pixels.width(), fromMemory.pixels.width());
            ASSERT_EQ(fromFile.pixels.height(), fromMemory.pixels.height());
            EXPECT_TRUE(std::equal(fromFile.pixels.data(), fromFile.pixels.data() + fromFile.pixels.stride() * fromFile.pixels.height(),
                                   fromMemory.pixels.data()));
            EXPECT_FALSE(fromFile.truncated);
        }
    }
    std::remove(path.c_str());
}

TEST(JpegCodec, TheScaleCanBeChosenFromTheHeader) {
    const Bytes jpeg = testsupport::WithExifOrientation(Encode(80, 48), 6, true);
    JpegInfo seen;
    const auto decoded = DecodeJpeg(jpeg, {.scaleFor = [&](const JpegInfo& info) { seen = info; return 4; }});
    EXPECT_EQ(seen.width, 80);
    EXPECT_EQ(seen.height, 48);
    EXPECT_EQ(seen.orientation, 6);
    EXPECT_EQ(decoded.pixels.width(), 20);
    EXPECT_EQ(decoded.orientation, 6);
    EXPECT_THROW(DecodeJpeg(jpeg, {.scaleFor = [](const JpegInfo&) { return 3; }}), std::invalid_argument);
}

TEST(JpegCodec, DecodingIntoABufferReusesItsMemory) {
    DecodedJpeg into;
    DecodeJpegInto(Encode(200, 150), {}, into);
    const std::uint8_t* memory = into.pixels.data();
    DecodeJpegInto(Encode(150, 100), {}, into);
    EXPECT_EQ(into.pixels.data(), memory);
    EXPECT_EQ(into.pixels.width(), 150);
    // The contents are the smaller picture's, not left over from the larger one.
    EXPECT_LE(MaxChannelError(into.pixels, Gradient(150, 100)), 8);
}

TEST(JpegCodec, PixelLimitRefusesBeforeAllocating) {
    const Bytes small = Encode(100, 80);
    const Bytes progressive = Encode(100, 80, {.progressive = true});
    const struct { const char* name; Bytes data; int denom; std::uint64_t limit; bool refused; } cases[] = {
        {"65000 square", testsupport::WithFrameSize(small, 65000, 65000), 1, kDefaultJpegPixelLimit, true},
        {"65000 square, progressive, eighth", testsupport::WithFrameSize(progressive, 65000, 65000), 8, kDefaultJpegPixelLimit, true},
        {"one pixel over", small, 1, 100 * 80 - 1, true},
        {"exactly at the limit", small, 1, 100 * 80, false},
        {"scaled output under the limit", small, 2, 50 * 40, false},
        {"progressive at full size over the limit", progressive, 2, 50 * 40, true},
    };
    for (const auto& c : cases) {
        JpegDecodeOptions options;
        options.scaleDenominator = c.denom;
        options.pixelLimit = c.limit;
        if (c.refused) {
            EXPECT_THROW(DecodeJpeg(c.data, options), EInvalidGraphic) << c.name;
        } else {
            EXPECT_NO_THROW(DecodeJpeg(c.data, options)) << c.name;
        }
    }
    EXPECT_EQ(ProbeJpeg(testsupport::WithFrameSize(small, 65000, 65000)).width, 65000);
}

TEST(JpegCodec, GrayscaleFilesDecodeToEqualChannels) {
    const Bytes gray = Encode(20, 10, {.grayscale = true});
    const JpegInfo info = ProbeJpeg(gray);
    EXPECT_EQ(info.colorSpace, JpegColorSpace::Grayscale);
    EXPECT_EQ(info.components, 1);
    for (int bytesPerPixel : {3, 4}) {
        JpegDecodeOptions options;
        options.bytesPerPixel = bytesPerPixel;
        const DecodedJpeg decoded = DecodeJpeg(gray, options);
        EXPECT_EQ(decoded.colorSpace, JpegColorSpace::Grayscale);
        ASSERT_EQ(decoded.pixels.bytesPerPixel(), bytesPerPixel);
        const std::uint8_t* last = decoded.pixels.row(9) + 19 * bytesPerPixel;
        EXPECT_EQ(last[0], last[1]);
        EXPECT_EQ(last[1], last[2]);
        const std::uint8_t* first = decoded.pixels.row(0);
        EXPECT_EQ(first[0], first[2]);
        EXPECT_NE(first[0], last[0]);  // still a picture, not one flat colour
    }
}

TEST(JpegCodec, ColourFileDecodedAsGrayscaleHasEqualChannels) {
    JpegDecodeOptions options;
    options.grayscale = true;
    const DecodedJpeg decoded = DecodeJpeg(Encode(20, 10), options);
    EXPECT_EQ(decoded.colorSpace, JpegColorSpace::YCbCr);
    for (int x = 0; x < 20; ++x) {
        const std::uint8_t* p = decoded.pixels.row(4) + 3 * x;
        EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << x;
    }
}

TEST(JpegCodec, FourComponentFilesAreRefused) {
    const struct { bool ycck; JpegColorSpace reported; } cases[] = {
        {false, JpegColorSpace::CMYK}, {true, JpegColorSpace::YCCK},
    };
    for (const auto& c : cases) {
        const Bytes jpeg = testsupport::FourComponentJpeg(c.ycck);
        EXPECT_EQ(ProbeJpeg(jpeg).colorSpace, c.reported);
        EXPECT_THROW(DecodeJpeg(jpeg), EInvalidGraphic);
    }
}

TEST(JpegCodec, EncodesBaselineUnlessAskedForProgressive) {
    const Bytes baseline = Encode(16, 16);
    EXPECT_TRUE(FindSegment(baseline, {0xC0}).has_value());
    EXPECT_FALSE(FindSegment(baseline, {0xC1, 0xC2}).has_value());
    EXPECT_FALSE(ProbeJpeg(baseline).progressive);

    const Bytes progressive = Encode(16, 16, {.progressive = true});
    EXPECT_TRUE(FindSegment(progressive, {0xC2}).has_value());
    EXPECT_TRUE(ProbeJpeg(progressive).progressive);
}

TEST(JpegCodec, QualityHundredWritesQuantisationTablesOfOnes) {
    for (int quality : {100, 90}) {
        const Bytes jpeg = Encode(16, 16, {.quality = quality});
        int tables = 0;
        bool allOnes = true;
        for (const Segment& s : Segments(jpeg)) {
            if (s.marker != 0xDB) continue;
            for (std::size_t pos = s.offset; pos < s.offset + s.length;) {
                const bool wide = (jpeg[pos] >> 4) != 0;
                ++pos;
                for (int i = 0; i < 64; ++i) {
                    const int value = wide ? (jpeg[pos] << 8 | jpeg[pos + 1]) : jpeg[pos];
                    pos += wide ? 2 : 1;
                    allOnes = allOnes && value == 1;
                }
                ++tables;
            }
        }
        EXPECT_EQ(tables, 2) << quality;  // luminance and chrominance
        EXPECT_EQ(allOnes, quality == 100) << quality;
    }
}

TEST(JpegCodec, BottomUpRowsEncodeLikeTopDownRows) {
    PixelBuffer topDown = Gradient(24, 12);
    PixelBuffer flipped(24, 12, 3);
    for (int y = 0; y < 12; ++y) std::copy_n(topDown.row(y), 24 * 3, flipped.row(11 - y));
    PixelView bottomUp = flipped.view();
    bottomUp.data = flipped.row(11);
    bottomUp.stride = -bottomUp.stride;
    EXPECT_EQ(EncodeJpeg(bottomUp), EncodeJpeg(topDown.view()));
}

TEST(JpegCodec, RefusesEmptyPicturesAndBadArguments) {
    EXPECT_THROW(EncodeJpeg(PixelView{}), EInvalidGraphic);
    const Bytes jpeg = Encode(8, 8);
    for (int denom : {0, 3, 16}) {
        JpegDecodeOptions options;
        options.scaleDenominator = denom;
        EXPECT_THROW(DecodeJpeg(jpeg, options), std::invalid_argument) << denom;
    }
}

#ifndef _WIN32
// A hostile file: a header claiming a huge picture in front of gigabytes of nothing (sparse,
// so it costs no disk). Refused from its header; the rest is never read.
TEST(JpegCodec, AFileRefusedByItsHeaderIsNotReadWhole) {
    const auto path = (std::filesystem::temp_directory_path() / "jpeg_codec_huge.jpg").string();
    WriteJpegFileBytes(path, testsupport::WithFrameSize(Encode(16, 16), 60000, 60000));
    std::filesystem::resize_file(path, std::uintmax_t{6} << 30);
    EXPECT_THROW(DecodeJpegFile(path), EInvalidGraphic);
    std::remove(path.c_str());
}
#endif

TEST(JpegCodec, FilesRoundTripAndMissingFilesRaiseOpenErrors) {
    const auto path = (std::filesystem::temp_directory_path() / "jpeg_codec_test.jpg").string();
    const Bytes jpeg = Encode(30, 20);
    WriteJpegFileBytes(path, jpeg);
    EXPECT_EQ(ReadJpegFileBytes(path), jpeg);
    EXPECT_EQ(DecodeJpegFile(path).pixels.width(), 30);
    std::remove(path.c_str());
    EXPECT_THROW(DecodeJpegFile(path), EFOpenError);
    EXPECT_THROW(WriteJpegFileBytes((std::filesystem::temp_directory_path() / "no-such-dir" / "x.jpg").string(), jpeg),
                 EFCreateError);
}

}  // namespace
}  // namespace forms
