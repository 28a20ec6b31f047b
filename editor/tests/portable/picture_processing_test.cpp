#include "editor/portable/picture_processing.h"

#include "forms/portable/exceptions.h"
#include "forms/portable/jpeg_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/jpeg_fixtures.h"

namespace editor {
namespace {

using forms::PixelBuffer;

TEST(BoxFit, TheOtherSideFollowsTheExactRatioRoundedAndNeverVanishes) {
    const struct { int width, height; PictureBox box; int fitWidth, fitHeight; } cases[] = {
        {6000, 4000, kPreviewBox, 834, 556}, {834, 556, kThumbnailBox, 150, 100},  // a whole percent would give 520
        {5640, 3172, kPreviewBox, 834, 469}, {834, 469, kThumbnailBox, 150, 84},
        {3000, 2000, kPreviewBox, 834, 556}, {2000, 3000, kPreviewBox, 503, 754},
        {503, 754, kThumbnailBox, 100, 150}, {1000, 1000, kPreviewBox, 754, 754},
        {754, 754, kThumbnailBox, 150, 150}, {640, 480, kPreviewBox, 834, 626},  // 625.5 rounds up
        {834, 626, kThumbnailBox, 150, 113}, {1, 2000, kPreviewBox, 1, 754},
        {3, 3000, kPreviewBox, 1, 754},      {2000, 1, kPreviewBox, 834, 1},
        {65500, 65500, kThumbnailBox, 150, 150}, {65500, 1, kThumbnailBox, 150, 1},
        {10, 10, kPreviewBox, 754, 754},     {2147483647, 2147483646, kPreviewBox, 834, 834},
        {0, 100, kPreviewBox, 1, 1},
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
        {300, 200, false, 834, 556, 150, 100},
        {200, 300, true, 503, 754, 100, 150},  // a grayscale source becomes RGB
        {1, 40, false, 19, 754, 4, 150},
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

TEST(ReducedDecode, TheLargestScaleThatStaysTwiceTheSize) {
    const struct { int width, height; PictureBox size; int scale; } cases[] = {
        {6000, 4000, {834, 556}, 2},  {4256, 2832, {834, 555}, 2}, {2448, 1632, {834, 556}, 1},
        {3336, 2224, {834, 556}, 2},  {3334, 2224, {834, 556}, 1},  // 1668 is twice 834; 3335 / 2 rounds up to it
        {834, 556, {150, 100}, 2},    {6000, 4000, {150, 100}, 8},  {1200, 800, {150, 100}, 4},
        {6000, 100, {834, 14}, 2},    {100, 6000, {13, 754}, 2},   {1, 1, {1, 1}, 1},
        {16, 16, {1, 1}, 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReducedDecodeScale(c.width, c.height, c.size), c.scale) << c.width << " x " << c.height;
}

double Psnr(const PixelBuffer& a, const PixelBuffer& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * 3; ++x) {
            const double d = double(a.row(y)[x]) - double(b.row(y)[x]);
            sum += d * d;
        }
    const double mse = sum / (double(a.width()) * a.height() * 3);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// A photograph-like picture: smooth shapes, fine texture and sharp edges.
std::vector<std::uint8_t> Photo(int width, int height) {
    PixelBuffer pixels(width, height, 3);
    unsigned seed = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int grain = static_cast<int>((seed >> 16) % 9) - 4;
            const bool inside = (x - width / 3) * (x - width / 3) + (y - height / 2) * (y - height / 2) < height * height / 9;
            auto* p = pixels.row(y) + x * 3;
            p[0] = static_cast<std::uint8_t>(std::clamp(40 + 150 * x / width + grain + (inside ? 60 : 0), 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(60 + int(60 * std::sin(x / 17.0) * std::cos(y / 23.0)) + 80 + grain, 0, 255));
            p[2] = static_cast<std::uint8_t>(std::clamp(200 - 150 * y / height + grain - (inside ? 80 : 0), 0, 255));
        }
    forms::JpegEncodeOptions options;
    options.quality = 92;
    return forms::EncodeJpeg(pixels.view(), options);
}

TEST(ReducedDecode, PreviewsAndThumbnailsLookLikeTheFullScaleOnesAtTheSameSizes) {
    const struct { int width, height; PictureBox box; int scale; } cases[] = {
        {3340, 2200, kPreviewBox, 2}, {2000, 3100, kPreviewBox, 2},  // a camera picture's preview
        {834, 556, kThumbnailBox, 2},  // the thumbnail, from the preview
        {1300, 900, kThumbnailBox, 4},
    };
    for (const auto& c : cases) {
        const auto jpeg = Photo(c.width, c.height);
        ASSERT_EQ(ReducedDecodeScale(c.width, c.height, FitIntoBox(c.width, c.height, c.box)), c.scale);
        const auto full = FitPicture(DecodePicture(jpeg), c.box);
        PictureWorkspace workspace;
        const auto boxed = DecodePictureFor(jpeg, c.box, workspace);
        EXPECT_EQ(boxed.pixels.width(), forms::ScaledJpegDimension(c.width, c.scale));
        const auto reduced = ResamplePicture(boxed.pixels, boxed.fit);
        ASSERT_EQ(reduced.width(), full.width());
        ASSERT_EQ(reduced.height(), full.height());
        EXPECT_GT(Psnr(full, reduced), 40.0) << c.width << " x " << c.height;
    }
}

// An upright picture of four coloured quarters, stored as a camera stores it under each
// orientation tag: the display pixel (x, y) comes from the stored pixel the tag names.
struct Quarter {
    std::uint8_t b, g, r;
};
constexpr Quarter kTopLeft{0, 0, 255}, kTopRight{0, 255, 0}, kBottomLeft{255, 0, 0}, kBottomRight{255, 255, 255};

std::vector<std::uint8_t> StoredWithOrientation(int width, int height, int orientation) {
    const bool quarterTurn = orientation >= 5;
    PixelBuffer stored(quarterTurn ? height : width, quarterTurn ? width : height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Quarter q = y < height / 2 ? (x < width / 2 ? kTopLeft : kTopRight) : (x < width / 2 ? kBottomLeft : kBottomRight);
            const int right = width - 1 - x, bottom = height - 1 - y;
            const struct { int x, y; } at[9] = {
                {}, {x, y}, {right, y}, {right, bottom}, {x, bottom}, {y, x}, {y, right}, {bottom, right}, {bottom, x}};
            auto* p = stored.row(at[orientation].y) + at[orientation].x * 3;
            p[0] = q.b, p[1] = q.g, p[2] = q.r;
        }
    forms::JpegEncodeOptions options;
    options.quality = 100;
    return testsupport::WithExifOrientation(forms::EncodeJpeg(stored.view(), options), orientation, orientation % 2 == 0);
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

TEST_F(PictureFiles, CameraOrientationsComeOutUpright) {
    // 640 x 400 upright: the preview is enlarged from full scale, the thumbnail made at 1/2.
    const struct { PictureBox box; int width, height; } boxes[] = {{kPreviewBox, 834, 521}, {kThumbnailBox, 150, 94}};
    PictureWorkspace workspace;  // one for the batch, whatever the turns
    for (int orientation = 1; orientation <= 8; ++orientation) {
        Write("camera.jpg", StoredWithOrientation(640, 400, orientation));
        for (const auto& b : boxes) {
            ProcessPictureFile(Path("camera.jpg"), Path("prv_camera.jpg"), b.box, {}, workspace);
            const auto made = forms::DecodeJpeg(Read("prv_camera.jpg")).pixels;
            ASSERT_EQ(made.width(), b.width) << "orientation " << orientation;
            ASSERT_EQ(made.height(), b.height) << "orientation " << orientation;
            const struct { int x, y; Quarter q; } corners[] = {
                {made.width() / 8, made.height() / 8, kTopLeft},
                {made.width() * 7 / 8, made.height() / 8, kTopRight},
                {made.width() / 8, made.height() * 7 / 8, kBottomLeft},
                {made.width() * 7 / 8, made.height() * 7 / 8, kBottomRight},
            };
            for (const auto& c : corners) {
                const auto* p = made.row(c.y) + c.x * 3;
                EXPECT_NEAR(p[0], c.q.b, 24) << "orientation " << orientation << " at " << c.x << ", " << c.y;
                EXPECT_NEAR(p[1], c.q.g, 24) << "orientation " << orientation << " at " << c.x << ", " << c.y;
                EXPECT_NEAR(p[2], c.q.r, 24) << "orientation " << orientation << " at " << c.x << ", " << c.y;
            }
        }
        const auto upright = DecodePicture(Read("camera.jpg"));
        EXPECT_EQ(upright.width(), 640);
        EXPECT_EQ(upright.height(), 400);
    }
}

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

TEST_F(PictureFiles, ACutFileIsRefusedAndLeavesTheOldTargetAsItWas) {
    for (bool progressive : {false, true}) {
        auto pixels = Gradient(640, 480);
        forms::JpegEncodeOptions options;
        options.progressive = progressive;
        const auto good = forms::EncodeJpeg(pixels.view(), options);
        Write("cut.jpg", std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)));
        Write("prv_cut.jpg", {'o', 'l', 'd'});
        for (PictureBox box : {kPreviewBox, kThumbnailBox}) {  // full and reduced scale
            try {
                ProcessPictureFile(Path("cut.jpg"), Path("prv_cut.jpg"), box);
                ADD_FAILURE() << "a cut file was accepted" << (progressive ? " (progressive)" : "");
            } catch (const forms::EInvalidGraphic& e) {
                EXPECT_NE(std::string(e.what()).find("cut short"), std::string::npos) << e.what();
            }
            EXPECT_EQ(Read("prv_cut.jpg"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        }
        EXPECT_THROW(DecodePicture(Read("cut.jpg")), forms::EInvalidGraphic);
    }
}

TEST_F(PictureFiles, AFailedWriteLeavesTheOldTargetWhole) {
    Write("beach.jpg", Jpeg(64, 48));
    Write("prv_beach.jpg", {'o', 'l', 'd'});
    std::filesystem::create_directory(Path("prv_beach.jpg.tmp"));  // the temporary cannot be made
    EXPECT_THROW(ProcessPictureFile(Path("beach.jpg"), Path("prv_beach.jpg"), kPreviewBox), forms::Exception);
    EXPECT_EQ(Read("prv_beach.jpg"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    std::filesystem::remove(Path("prv_beach.jpg.tmp"));
#ifndef _WIN32
    // A full disk: every write fails for want of space.
    std::filesystem::create_symlink("/dev/full", Path("prv_beach.jpg.tmp"));
    EXPECT_THROW(ProcessPictureFile(Path("beach.jpg"), Path("prv_beach.jpg"), kPreviewBox), forms::Exception);
    EXPECT_EQ(Read("prv_beach.jpg"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(Path("prv_beach.jpg.tmp"))));
#endif
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
