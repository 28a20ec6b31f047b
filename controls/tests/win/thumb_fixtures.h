// Picture files made at test time for the thumbnail tests: small JPEGs, padded with comment
// segments to exact file sizes, and libjpeg-turbo's own djpeg run on them for comparison.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "controls/thumb_view.h"
#include "forms/bitmap.h"
#include "forms/gdi_handle.h"
#include "forms/portable/jpeg_codec.h"
#include "tests/support/process_driver.h"

namespace thumbtest {

using Bytes = std::vector<std::uint8_t>;

// A view set up as the editor's galleries page has it, at the given size, showing the files
// the filter names.
inline void SetUpAsTheGalleriesPage(controls::TThumbView& view, forms::TWinControl& parent, int width, int height,
                                    const std::string& filter) {
    view.SetBounds(0, 0, width, height);
    view.SetAlignView(controls::vtFitToScreen);
    view.SetThumbGap(4);
    view.SetMaxWidth(150);
    view.SetMaxHeight(150);
    view.SetSize(100);
    view.SetScrollMode(controls::smVertical);
    view.SetAsButtons(true);
    view.SetTitlePlacement(controls::tpNone);
    view.SetFilter(filter);
    view.SetShowShadow(true);
    view.HorzScrollBar()->SetVisible(false);
    view.SetParent(&parent);
}

// A picture with detail in every 8 x 8 block, so that scaled decodes differ from crops.
inline forms::PixelBuffer Pattern(int width, int height, int seed = 0) {
    forms::PixelBuffer p(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* px = p.row(y) + x * 3;
            px[0] = static_cast<std::uint8_t>(x * 255 / std::max(width - 1, 1));
            px[1] = static_cast<std::uint8_t>(y * 255 / std::max(height - 1, 1));
            px[2] = static_cast<std::uint8_t>(((x * 7 + y * 13 + seed * 31) % 64) * 4);
        }
    return p;
}

inline Bytes MakeJpeg(int width, int height, int seed = 0, int quality = 90) {
    forms::PixelBuffer p = Pattern(width, height, seed);
    forms::JpegEncodeOptions options;
    options.quality = quality;
    return forms::EncodeJpeg(p.view(), options);
}

// The same picture grown to exactly `size` bytes by comment segments after SOI.
inline Bytes PadJpeg(const Bytes& jpeg, std::uint64_t size) {
    constexpr std::size_t kMaxSegment = 65535 + 2;  // marker, length, 65533 bytes of text
    constexpr std::size_t kMinSegment = 4;
    EXPECT_GE(size, jpeg.size() + kMinSegment);
    std::size_t extra = static_cast<std::size_t>(size) - jpeg.size();
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.reserve(static_cast<std::size_t>(size));
    auto segment = [&](std::size_t total) {
        const std::size_t length = total - 2;
        out.push_back(0xFF);
        out.push_back(0xFE);
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(length & 0xFF));
        out.insert(out.end(), total - 4, 'p');
    };
    while (extra > 0) {
        std::size_t take = std::min(extra, kMaxSegment);
        // Leave room for one more segment of at least its minimum.
        if (extra - take != 0 && extra - take < kMinSegment) take -= kMinSegment;
        segment(take);
        extra -= take;
    }
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(f.good()) << path;
}

// Sets a file's last-write time to midday of a day (UTC).
inline void SetWriteDay(const std::string& path, WORD year, WORD month, WORD day) {
    const SYSTEMTIME st{year, month, 0, day, 12, 0, 0, 0};
    FILETIME time{};
    ASSERT_TRUE(SystemTimeToFileTime(&st, &time));
    forms::UniqueKernelHandle file(forms::NullIfInvalid(
        CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)));
    ASSERT_TRUE(file) << path;
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &time)) << path;
}

// Runs djpeg (copied beside the test program) to write a BMP of jpeg at 1/denominator.
inline bool RunDjpeg(const std::string& jpeg, int denominator, const std::string& bmp) {
    const std::string exe = testsupport::ExecutableFolder() + "djpeg-static.exe";
    std::string command = "\"" + exe + "\" -scale 1/" + std::to_string(denominator) + " -bmp -outfile \"" + bmp + "\" \"" + jpeg + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return false;
    forms::UniqueKernelHandle thread(pi.hThread), process(pi.hProcess);
    WaitForSingleObject(process.get(), 60000);
    DWORD code = 1;
    GetExitCodeProcess(process.get(), &code);
    return code == 0;
}

// The number of pixels whose bytes differ between two 24-bit pictures of one size.
inline int DifferentPixels(forms::TBitmap& a, forms::TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int differ = 0;
    forms::PixelView va = a.Pixels(), vb = b.Pixels();
    for (int y = 0; y < va.height; ++y)
        for (int x = 0; x < va.width; ++x) {
            const std::uint8_t *pa = va.pixel(x, y), *pb = vb.pixel(x, y);
            if (pa[0] != pb[0] || pa[1] != pb[1] || pa[2] != pb[2]) ++differ;
        }
    return differ;
}

}  // namespace thumbtest
