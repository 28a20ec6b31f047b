#include "forms/jpeg_image.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "forms/bitmap.h"
#include "forms/picture.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/streams.h"

namespace forms {
namespace {

// A smooth picture: JPEG keeps it within a few levels.
void PaintGradient(TBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            std::uint8_t* p = row + x * bitmap.BytesPerPixel();
            p[0] = static_cast<std::uint8_t>(x * 4);
            p[1] = static_cast<std::uint8_t>(y * 4);
            p[2] = static_cast<std::uint8_t>(200 - x - y);
        }
    }
}

int MaxDifference(TBitmap& a, TBitmap& b) {
    int worst = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(a.ScanLine(y)[x * a.BytesPerPixel() + c] -
                                                 b.ScanLine(y)[x * b.BytesPerPixel() + c]));
    return worst;
}

std::string TempPath(const std::string& name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

// A JPEG file image of a gradient of the given size.
std::vector<std::uint8_t> JpegBytes(int width, int height, bool gray = false) {
    TBitmap bitmap(width, height);
    PaintGradient(bitmap);
    TJPEGImage jpeg;
    jpeg.SetGrayscale(gray);
    jpeg.Assign(bitmap);
    jpeg.Compress();
    return jpeg.Data();
}

void LoadBytes(TJPEGImage& jpeg, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    jpeg.LoadFromStream(stream);
}

TEST(JPEGImage, BitmapToJpegAndBackKeepsThePicture) {
    for (TPixelFormat format : {pf24bit, pf32bit}) {
        TBitmap source(40, 30, format);
        PaintGradient(source);
        TJPEGImage jpeg;
        EXPECT_EQ(jpeg.CompressionQuality, 90);
        EXPECT_FALSE(jpeg.ProgressiveEncoding);
        jpeg.Assign(source);
        jpeg.CompressionQuality = 100;
        EXPECT_EQ(jpeg.Width(), 40);
        TMemoryStream stream;
        jpeg.SaveToStream(stream);
        stream.SetPosition(0);

        TJPEGImage loaded;
        loaded.LoadFromStream(stream);
        EXPECT_EQ(loaded.Width(), 40);
        EXPECT_EQ(loaded.Height(), 30);
        TBitmap back;
        back.Assign(loaded);
        EXPECT_EQ(back.PixelFormat(), pf24bit);
        ASSERT_EQ(back.Width(), 40);
        EXPECT_LE(MaxDifference(source, back), 3);
    }
}

TEST(JPEGImage, QualityIsAppliedWhenPixelsAreEncoded) {
    TBitmap source(64, 64);
    PaintGradient(source);
    std::size_t sizes[2];
    int i = 0;
    for (int quality : {100, 30}) {
        TJPEGImage jpeg;
        jpeg.Assign(source);
        jpeg.CompressionQuality = quality;
        jpeg.Compress();
        sizes[i++] = jpeg.Data().size();
    }
    EXPECT_GT(sizes[0], sizes[1]);
}

TEST(JPEGImage, ALoadedFileIsSavedWithItsOwnBytes) {
    const std::vector<std::uint8_t> bytes = JpegBytes(20, 20);
    TJPEGImage jpeg;
    LoadBytes(jpeg, bytes);
    jpeg.CompressionQuality = 10;
    TMemoryStream out;
    jpeg.SaveToStream(out);
    ASSERT_EQ(out.Size(), static_cast<std::int64_t>(bytes.size()));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), out.Memory()));
}

TEST(JPEGImage, ScaleAppliesAtDecode) {
    const std::vector<std::uint8_t> bytes = JpegBytes(37, 23);
    const struct { TJPEGScale scale; int width, height; } cases[] = {
        {jsFullSize, 37, 23}, {jsHalf, 19, 12}, {jsQuarter, 10, 6}, {jsEighth, 5, 3},
    };
    for (const auto& c : cases) {
        TJPEGImage jpeg;
        LoadBytes(jpeg, bytes);
        jpeg.SetScale(c.scale);
        EXPECT_EQ(jpeg.Width(), c.width) << c.scale;  // from the header alone
        EXPECT_EQ(jpeg.Height(), c.height) << c.scale;
        TBitmap bitmap;
        bitmap.Assign(jpeg);
        EXPECT_EQ(bitmap.Width(), c.width) << c.scale;
        EXPECT_EQ(bitmap.Height(), c.height) << c.scale;
    }
    // Changing the scale after a decode decodes again.
    TJPEGImage jpeg;
    LoadBytes(jpeg, bytes);
    jpeg.DIBNeeded();
    jpeg.SetScale(jsQuarter);
    TBitmap bitmap;
    bitmap.Assign(jpeg);
    EXPECT_EQ(bitmap.Width(), 10);
}

TEST(JPEGImage, GrayscaleIsReportedAndCanBeAskedFor) {
    TJPEGImage gray;
    LoadBytes(gray, JpegBytes(16, 16, true));
    EXPECT_TRUE(gray.Grayscale());

    TJPEGImage colour;
    LoadBytes(colour, JpegBytes(16, 16));
    EXPECT_FALSE(colour.Grayscale());
    colour.SetGrayscale(true);
    TBitmap bitmap;
    bitmap.Assign(colour);
    const std::uint8_t* p = bitmap.ScanLine(8) + 3 * 8;
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);
}

TEST(JPEGImage, InvalidDataRaisesAndKeepsThePicture) {
    TJPEGImage jpeg;
    LoadBytes(jpeg, JpegBytes(12, 8));
    const std::vector<std::uint8_t> broken[] = {{}, {0xFF, 0xD8, 0xFF}, {'B', 'M', 0, 0, 0, 0}};
    for (const auto& bytes : broken) {
        EXPECT_THROW(LoadBytes(jpeg, bytes), EInvalidGraphic) << bytes.size();
        EXPECT_EQ(jpeg.Width(), 12);
    }
    EXPECT_THROW(jpeg.SetWidth(3), EInvalidGraphic);
    TJPEGImage empty;
    EXPECT_TRUE(empty.Empty());
    TMemoryStream out;
    EXPECT_THROW(empty.SaveToStream(out), EInvalidGraphic);
}

TEST(JPEGImage, DrawsItsDecodedPicture) {
    TBitmap source(8, 8);
    source.Canvas()->Brush()->SetColor(clBlue);
    source.Canvas()->FillRect(Rect(0, 0, 8, 8));
    TJPEGImage jpeg;
    jpeg.Assign(source);
    TBitmap target(16, 16);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(Rect(0, 0, 16, 16));
    jpeg.Draw(*target.Canvas(), Rect(0, 0, 8, 8));
    const std::uint8_t* inside = target.ScanLine(4) + 3 * 4;
    EXPECT_GT(inside[0], 240);
    EXPECT_LT(inside[2], 16);
    EXPECT_EQ(target.ScanLine(12)[3 * 12], 255);  // white outside the rectangle
}

TEST(Picture, LoadsByExtension) {
    TBitmap bitmap(6, 4);
    PaintGradient(bitmap);
    const std::string bmp = TempPath("picture_test.bmp");
    bitmap.SaveToFile(bmp);
    TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    const std::string jpg = TempPath("picture_test.JPG"), jpegName = TempPath("picture_test.jpeg");
    jpeg.SaveToFile(jpg);
    jpeg.SaveToFile(jpegName);

    const struct { std::string path; bool isBitmap; } cases[] = {{bmp, true}, {jpg, false}, {jpegName, false}};
    for (const auto& c : cases) {
        TPicture picture;
        int changes = 0;
        picture.OnChange = [&](TObject*) { ++changes; };
        picture.LoadFromFile(c.path);
        ASSERT_NE(picture.Graphic(), nullptr) << c.path;
        EXPECT_EQ(picture.Graphic()->Is<TBitmap>(), c.isBitmap) << c.path;
        EXPECT_EQ(picture.Graphic()->Is<TJPEGImage>(), !c.isBitmap) << c.path;
        EXPECT_EQ(picture.Width(), 6);
        EXPECT_EQ(picture.Height(), 4);
        EXPECT_GT(changes, 0);
    }
    for (const auto& path : {bmp, jpg, jpegName}) DeleteFileA(path.c_str());
}

TEST(Picture, RefusesUnknownExtensionsAndKeepsWhatItHeld) {
    TPicture picture;
    picture.Bitmap()->SetSize(3, 2);
    const struct { std::string path; std::string message; } cases[] = {
        {TempPath("a.xyz"), "Unknown picture file extension (.xyz)"},
        {TempPath("a.GIF"), "Unknown picture file extension (.GIF)"},
        {TempPath("no_extension"), "Unknown picture file extension ()"},
    };
    for (const auto& c : cases) {
        try {
            picture.LoadFromFile(c.path);
            ADD_FAILURE() << c.path;
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message, c.message);
        }
        EXPECT_EQ(picture.Width(), 3);
    }
    // A known extension over a file that is not that picture.
    const std::string fake = TempPath("fake.jpg");
    TBitmap(2, 2).SaveToFile(fake);
    EXPECT_THROW(picture.LoadFromFile(fake), EInvalidGraphic);
    EXPECT_TRUE(picture.Graphic()->Is<TBitmap>());
    DeleteFileA(fake.c_str());
}

TEST(Picture, BitmapReplacesOtherGraphicsAndChangesReachThePicture) {
    TPicture picture;
    TBitmap source(5, 5);
    TJPEGImage jpeg;
    jpeg.Assign(source);
    picture.SetGraphic(&jpeg);
    EXPECT_NE(picture.Graphic(), &jpeg);  // a copy
    EXPECT_TRUE(picture.Graphic()->Is<TJPEGImage>());
    TBitmap* bitmap = picture.Bitmap();
    EXPECT_TRUE(bitmap->Empty());
    EXPECT_EQ(picture.Bitmap(), bitmap);
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    bitmap->SetSize(4, 4);
    EXPECT_EQ(changes, 1);
    picture.SetGraphic(nullptr);
    EXPECT_TRUE(picture.Empty());
    EXPECT_THROW(picture.SaveToFile(TempPath("empty.bmp")), EInvalidGraphic);
}

}  // namespace
}  // namespace forms
