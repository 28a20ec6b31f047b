#include "editor/portable/picture_processing.h"

#include "forms/portable/exceptions.h"
#include "forms/portable/jpeg_codec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/jpeg_fixtures.h"

namespace editor {
namespace {

using forms::PixelBuffer;

TEST(BoxFit, SidesFollowTheTruncatedPercentageAndNeverVanish) {
    const struct { int width, height; PictureBox box; int fitWidth, fitHeight; } cases[] = {
        {3000, 2000, kPreviewBox, 834, 540}, {834, 540, kThumbnailBox, 150, 91},
        {2000, 3000, kPreviewBox, 500, 754}, {500, 754, kThumbnailBox, 95, 150},
        {1000, 1000, kPreviewBox, 750, 754}, {750, 754, kThumbnailBox, 142, 150},
        {640, 480, kPreviewBox, 834, 624},   {834, 624, kThumbnailBox, 150, 106},
        {1, 2000, kPreviewBox, 1, 754},      {3, 3000, kPreviewBox, 1, 754},
        {2000, 1, kPreviewBox, 834, 1},      {65500, 65500, kThumbnailBox, 1, 150},  // the percentage truncates to 0
        {65500, 1, kThumbnailBox, 150, 1},   {10, 10, kPreviewBox, 754, 754},
    };
    for (const auto& c : cases) {
        const auto fit = FitIntoBox(c.width, c.height, c.box);
        EXPECT_EQ(fit.width, c.fitWidth) << c.width << " x " << c.height;
        EXPECT_EQ(fit.height, c.fitHeight) << c.width << " x " << c.height;
    }
}

PixelBuffer Gradient(int width, int height) {
    PixelBuffer pixels(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            auto* p = pixels.row(y) + x * 3;
            p[0] = static_cast<std::uint8_t>(x * 255 / std::max(width - 1, 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / std::max(height - 1, 1));
            p[2] = 128;
        }
    return pixels;
}

std::vector<std::uint8_t> Jpeg(int width, int height, bool grayscale = false) {
    auto pixels = Gradient(width, height);
    forms::JpegEncodeOptions options;
    options.grayscale = grayscale;
    return forms::EncodeJpeg(pixels.view(), options);
}

// The frame header's size fields rewritten, the image data left as it was.
std::vector<std::uint8_t> WithClaimedSize(std::vector<std::uint8_t> jpeg, int width, int height) {
    for (size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            return jpeg;
        }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

TEST(PicturePipeline, PreviewAndThumbnailAreBaselineQuality100RgbAtTheirFits) {
    const struct { int width, height; bool grayscale; int previewW, previewH, thumbW, thumbH; } cases[] = {
        {300, 200, false, 834, 556, 150, 94},
        {200, 300, true, 502, 754, 95, 150},  // a grayscale source becomes RGB
        {1, 40, false, 18, 754, 3, 150},
    };
    for (const auto& c : cases) {
        const auto preview = EncodePicture(FitPicture(DecodePicture(Jpeg(c.width, c.height, c.grayscale)), kPreviewBox));
        const auto thumb = EncodePicture(FitPicture(DecodePicture(preview), kThumbnailBox));
        const struct { const std::vector<std::uint8_t>& file; int w, h; } made[] = {
            {preview, c.previewW, c.previewH}, {thumb, c.thumbW, c.thumbH}};
        for (const auto& m : made) {
            const auto info = forms::ProbeJpeg(m.file);
            EXPECT_EQ(info.width, m.w) << c.width << " x " << c.height;
            EXPECT_EQ(info.height, m.h) << c.width << " x " << c.height;
            EXPECT_EQ(info.components, 3);
            EXPECT_FALSE(info.progressive);
            // Quality 100: every entry of the first quantisation table is 1.
            const std::uint8_t marker[] = {0xFF, 0xDB};
            const auto dqt = std::search(m.file.begin(), m.file.end(), std::begin(marker), std::end(marker));
            ASSERT_NE(dqt, m.file.end());
            for (int i = 0; i < 64; ++i) EXPECT_EQ(dqt[5 + i], 1) << "entry " << i;
        }
    }
}

TEST(PicturePipeline, ColoursSurviveTheResample) {
    PixelBuffer flat(40, 30, 3);
    forms::FillPixels(flat.view(), 20, 120, 220);
    const auto fitted = FitPicture(flat, kThumbnailBox);
    ASSERT_EQ(fitted.width(), 150);
    for (int y : {0, fitted.height() / 2, fitted.height() - 1})
        for (int x : {0, 75, 149}) {
            const auto* p = fitted.row(y) + x * 3;
            EXPECT_EQ(p[0], 20);
            EXPECT_EQ(p[1], 120);
            EXPECT_EQ(p[2], 220);
        }
}

TEST(PicturePipeline, UnusablePicturesAreRefusedWithAReason) {
    auto cut = Jpeg(16, 16);
    cut.resize(20);
    const struct { const char* what; std::vector<std::uint8_t> file; const char* reason; } cases[] = {
        {"cmyk", testsupport::FourComponentJpeg(false), "CMYK"},
        {"ycck", testsupport::FourComponentJpeg(true), "CMYK"},
        {"too large", WithClaimedSize(Jpeg(16, 16), 30000, 30000), "too large"},
        {"not a jpeg", {'B', 'M', 0, 0, 0, 0}, ""},
        {"header only", cut, ""},
    };
    for (const auto& c : cases) {
        try {
            DecodePicture(c.file);
            ADD_FAILURE() << c.what << " was decoded";
        } catch (const forms::EInvalidGraphic& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << c.what << ": " << e.what();
        }
    }
}

class PictureFiles : public testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("picture_processing_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string Path(const char* name) const { return (folder_ / name).string(); }
    void Write(const char* name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::vector<std::uint8_t> Read(const char* name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::filesystem::path folder_;
};

TEST_F(PictureFiles, TheTargetIsReplacedTheSourceUntouchedAndBetweenRunsOnce) {
    const auto source = Jpeg(64, 48);
    Write("beach.jpg", source);
    Write("prv_beach.jpg", {'o', 'l', 'd'});
    int calls = 0;
    ProcessPictureFile(Path("beach.jpg"), Path("prv_beach.jpg"), kPreviewBox, [&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Read("beach.jpg"), source);
    EXPECT_EQ(forms::ProbeJpeg(Read("prv_beach.jpg")).width, 834);
}

TEST_F(PictureFiles, AFailedPictureLeavesTheOldTargetAsItWas) {
    Write("bad.jpg", {'n', 'o'});
    Write("prv_bad.jpg", {'o', 'l', 'd'});
    EXPECT_THROW(ProcessPictureFile(Path("bad.jpg"), Path("prv_bad.jpg"), kPreviewBox), forms::Exception);
    EXPECT_EQ(Read("prv_bad.jpg"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_THROW(ProcessPictureFile(Path("missing.jpg"), Path("prv_missing.jpg"), kPreviewBox), forms::Exception);
}

}  // namespace
}  // namespace editor
