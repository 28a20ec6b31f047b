#include "controls/thumb_image.h"

#include <gtest/gtest.h>

#include <cstdio>


#include "controls/tests/win/thumb_fixtures.h"
#include "tests/support/jpeg_fixtures.h"
#include "controls/thumb_cell.h"
#include "forms/application.h"
#include "forms/form.h"

namespace controls {
namespace {

using namespace forms;
using thumbtest::Bytes;

struct ThumbImageTest : testing::Test {
    testsupport::TempFolder folder;
    TForm form{nullptr};
    TThumbnail* cell = nullptr;
    TThumbImage* loose = nullptr;  // an image that is not on a cell

    void SetUp() override {
        form.SetBounds(40, 40, 400, 300);
        cell = new TThumbnail(&form);
        cell->SetParent(&form);
        loose = new TThumbImage(&form);
        loose->SetParent(&form);
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = folder.Path() + name;
        thumbtest::WriteBytes(path, bytes);
        return path;
    }
    static TBitmap* BitmapOf(TThumbImage* image) { return dynamic_cast<TBitmap*>(image->Picture()->Graphic()); }
    // A bitmap goes into one device context at a time: when another DC cannot take it, a DC
    // of its own still holds it.
    static bool HeldByADeviceContext(HBITMAP bitmap) {
        UniqueMemoryDC probe(CreateCompatibleDC(nullptr));
        HGDIOBJ previous = SelectObject(probe.get(), bitmap);
        if (previous == nullptr) return true;
        SelectObject(probe.get(), previous);
        return false;
    }
};

TEST_F(ThumbImageTest, ScaleBandsAtTheirExactThresholdsMatchDjpegPixelForPixel) {
    // Odd sizes: libjpeg rounds scaled sizes up.
    const Bytes small = thumbtest::MakeJpeg(203, 157);
    const struct {
        std::uint64_t size;
        int denominator;
    } cases[] = {{1'000'000, 1}, {1'000'001, 2}, {4'000'000, 2}, {4'000'001, 4}, {7'000'000, 4}, {7'000'001, 8}};
    for (const auto& c : cases) {
        const std::string path = Write("band" + std::to_string(c.size) + ".jpg", thumbtest::PadJpeg(small, c.size));
        ASSERT_EQ(MeasureFileSize(path), c.size);
        cell->Image()->LoadFile(path);
        EXPECT_EQ(cell->Image()->LastJpegScale(), c.denominator) << c.size;
        EXPECT_EQ(cell->Image()->Picture()->Width(), (203 + c.denominator - 1) / c.denominator) << c.size;
        EXPECT_EQ(cell->Image()->Picture()->Height(), (157 + c.denominator - 1) / c.denominator) << c.size;

        const std::string bmp = path + ".bmp";
        ASSERT_TRUE(thumbtest::RunDjpeg(path, c.denominator, bmp)) << "djpeg-static.exe beside the test program";
        TBitmap reference;
        reference.LoadFromFile(bmp);
        EXPECT_EQ(thumbtest::DifferentPixels(*BitmapOf(cell->Image()), reference), 0) << c.size;
    }
    // Off a cell a picture always decodes at full size.
    loose->LoadFile(folder.Path() + "band7000001.jpg");
    EXPECT_EQ(loose->LastJpegScale(), 1);
    EXPECT_EQ(loose->Picture()->Width(), 203);
}

TEST_F(ThumbImageTest, ACellDecodesALargePictureInASmallFileReducedForItsBox) {
    // 120 x 120 cell: 1/4 of 1000 x 968 still covers twice the box, 1/8 would not.
    const std::string path = Write("large.jpg", thumbtest::MakeJpeg(1000, 968, 5, 60));
    ASSERT_LE(MeasureFileSize(path), 1'000'000u) << "the file size alone would decode it whole";
    cell->Image()->LoadFile(path);
    EXPECT_EQ(cell->Image()->LastJpegScale(), 4);
    EXPECT_EQ(cell->Image()->Picture()->Width(), 250);
    EXPECT_EQ(cell->Image()->Picture()->Height(), 242);
    const std::string bmp = path + ".bmp";
    ASSERT_TRUE(thumbtest::RunDjpeg(path, 4, bmp)) << "djpeg-static.exe beside the test program";
    TBitmap reference;
    reference.LoadFromFile(bmp);
    EXPECT_EQ(thumbtest::DifferentPixels(*BitmapOf(cell->Image()), reference), 0);
    // Off a cell there is no box: the whole picture.
    loose->LoadFile(path);
    EXPECT_EQ(loose->LastJpegScale(), 1);
    EXPECT_EQ(loose->Picture()->Width(), 1000);
}

TEST_F(ThumbImageTest, FileSizesPastFourGigabytesAreMeasuredWhole) {
    const std::string path = folder.Path() + "sparse.jpg";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at;
    at.QuadPart = (std::int64_t{1} << 32) + 1000;  // the low 32 bits alone would be full size
    ASSERT_TRUE(SetFilePointerEx(file, at, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(MeasureFileSize(path), (std::uint64_t{1} << 32) + 1000);
    DeleteFileA(path.c_str());
    EXPECT_THROW(MeasureFileSize(path), EFOpenError);
}

TEST_F(ThumbImageTest, RefusedPicturesRaiseTheInvalidGraphicErrorAndKeepThePicture) {
    cell->Image()->LoadFile(Write("good.jpg", thumbtest::MakeJpeg(40, 30)));
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"cmyk.jpg", testsupport::FourComponentJpeg(false)},
        {"ycck.jpg", testsupport::FourComponentJpeg(true)},
        // 60000 x 60000 at full size is far past the pixel limit: refused from the header.
        {"huge.jpg", testsupport::WithFrameSize(thumbtest::MakeJpeg(16, 16), 60000, 60000)},
        {"garbage.JPG", Bytes(300, 0x55)},
    };
    for (const auto& c : cases) {
        const std::string path = Write(c.name, c.bytes);
        bool invalidEvent = false;
        cell->Image()->OnInvalidImage = [&](TObject*, const std::string&) { invalidEvent = true; };
        loose->OnInvalidImage = cell->Image()->OnInvalidImage;
        if (std::string(c.name) != "huge.jpg") {
            EXPECT_THROW(cell->Image()->LoadFile(path), EInvalidGraphic) << c.name;
            EXPECT_EQ(cell->Image()->Picture()->Width(), 40) << c.name;
        }
        EXPECT_THROW(loose->LoadFile(path), EInvalidGraphic) << c.name;
        EXPECT_FALSE(invalidEvent) << c.name << ": the JPEG path never reports through the event";
    }
    // On a 120-pixel cell the huge picture decodes at 1/8, 7500 x 7500: within the limit,
    // which counts decoded pixels (the missing data comes out grey).
    cell->Image()->LoadFile(folder.Path() + "huge.jpg");
    EXPECT_EQ(cell->Image()->LastJpegScale(), 8);
    EXPECT_EQ(cell->Image()->Picture()->Width(), 7500);
}

TEST_F(ThumbImageTest, GeneralLoaderFailuresGoToOnInvalidImage) {
    cell->Image()->LoadFile(Write("good.jpg", thumbtest::MakeJpeg(40, 30)));
    const std::string bad = Write("broken.jpeg", Bytes(200, 0x11));
    std::vector<std::string> reported;
    int loaded = 0;
    cell->Image()->OnInvalidImage = [&](TObject* sender, const std::string& name) {
        EXPECT_EQ(sender, cell->Image());
        reported.push_back(name);
    };
    cell->Image()->OnLoaded = [&](TObject*) { ++loaded; };
    cell->Image()->LoadFile(bad);
    EXPECT_EQ(reported, std::vector<std::string>{bad});
    EXPECT_EQ(loaded, 0);
    EXPECT_EQ(cell->Image()->Picture()->Width(), 40);
    // ".jpeg" that is a picture loads through the general path at full size.
    const std::string good = Write("big.jpeg", thumbtest::PadJpeg(thumbtest::MakeJpeg(64, 48), 4'500'000));
    cell->Image()->LoadFile(good);
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(cell->Image()->Picture()->Width(), 64);
    // Without a handler the failure reaches the caller.
    cell->Image()->OnInvalidImage = nullptr;
    EXPECT_THROW(cell->Image()->LoadFile(bad), Exception);
}

// The colour of a pixel of the image's picture.
std::uint32_t PixelAt(TThumbImage* image, int x, int y) {
    TBitmap* bitmap = dynamic_cast<TBitmap*>(image->Picture()->Graphic());
    const std::uint8_t* p = bitmap->Pixels().pixel(x, y);
    return p[0] | (p[1] << 8) | (p[2] << 16);
}

TEST_F(ThumbImageTest, TurnsAndMirrors) {
    // 200 x 100, the top-left quarter red, the rest black (exact colours at quality 100).
    PixelBuffer pixels(200, 100, 3);
    FillPixels(pixels.view(), 0, 0, 0);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) pixels.row(y)[x * 3 + 2] = 255;
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->AssignPixels(pixels.view());
    TThumbImage* image = cell->Image();
    image->Picture()->SetGraphic(std::unique_ptr<TGraphic>(std::move(bitmap)));
    cell->PlaceImage();
    const RECT before = image->BoundsRect();
    auto isRed = [&](int x, int y) { return (PixelAt(image, x, y) & 0xFF0000) > 0x800000; };

    int placed = 0;
    const auto saved = cell->WindowProc;
    cell->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_THUMB_IMAGE_TURNED) ++placed;
        saved(m);
    };
    image->SetAngle(AT90);  // clockwise: the red corner goes to the top right
    EXPECT_EQ(image->Picture()->Width(), 100);
    EXPECT_EQ(image->Picture()->Height(), 200);
    EXPECT_TRUE(isRed(90, 10));
    EXPECT_FALSE(isRed(10, 10));
    EXPECT_TRUE(image->Modified());
    EXPECT_EQ(placed, 1);
    EXPECT_NE(image->BoundsRect().right - image->BoundsRect().left, before.right - before.left);

    image->SetAngle(AT0);  // one counter-clockwise turn back
    EXPECT_EQ(image->Picture()->Width(), 200);
    EXPECT_TRUE(isRed(10, 10));
    EXPECT_FALSE(image->Modified());
    EXPECT_EQ(placed, 2);

    image->SetAngle(AT180);  // a half turn is the mirror both ways, no new placement
    EXPECT_EQ(image->Picture()->Width(), 200);
    EXPECT_TRUE(isRed(190, 90));
    EXPECT_FALSE(isRed(10, 10));
    EXPECT_EQ(placed, 2);

    image->Mirror(0);  // left to right: red now bottom left
    EXPECT_TRUE(isRed(10, 90));
    image->Mirror(1);
    EXPECT_TRUE(isRed(10, 10));
    cell->WindowProc = saved;

    // An empty picture cannot be turned.
    loose->SetAngle(AT90);
    EXPECT_EQ(loose->Angle(), AT0);
    EXPECT_FALSE(loose->CanModify());
}

TEST_F(ThumbImageTest, ReduceToShrinksInStepsAndNeverEnlarges) {
    const struct {
        const char* name;
        int width, height, boxW, boxH;
        int expectedW, expectedH;
        bool modified;
    } cases[] = {
        {"3000 x 2000 into 150", 3000, 2000, 150, 150, 150, 100, true},
        {"small stays", 100, 80, 150, 150, 100, 80, false},
        {"empty box does nothing", 400, 300, 0, 150, 400, 300, false},
        {"a sliver keeps a pixel", 2000, 10, 150, 150, 150, 1, true},
    };
    for (const auto& c : cases) {
        TThumbImage* image = new TThumbImage(&form);
        auto bitmap = std::make_unique<TBitmap>(c.width, c.height, pf24bit);
        image->Picture()->SetGraphic(std::unique_ptr<TGraphic>(std::move(bitmap)));
        image->ReduceTo(c.boxW, c.boxH);
        EXPECT_EQ(image->Picture()->Width(), c.expectedW) << c.name;
        EXPECT_EQ(image->Picture()->Height(), c.expectedH) << c.name;
        EXPECT_EQ(image->Modified(), c.modified) << c.name;
        if (c.modified) {
            EXPECT_FALSE(HeldByADeviceContext(BitmapOf(image)->Handle())) << c.name << ": a reduced picture keeps only pixels";
        }
        delete image;
    }
}

}  // namespace
}  // namespace controls
