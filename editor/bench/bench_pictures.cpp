// Prints what adding pictures costs: milliseconds per picture for each stage of the
// preview/thumbnail pipeline on large synthetic JPEGs, beside ImageMagick doing the same two
// resizes on the same files and beside one plain decode of each picture (the floor).
// ./bench.sh pictures [COUNT [WIDTH HEIGHT]]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "editor/portable/picture_processing.h"
#include "forms/portable/jpeg_codec.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

// A photograph-like picture: gradients with some noise, different for each index.
std::vector<std::uint8_t> MakePicture(int width, int height, unsigned seed) {
    forms::PixelBuffer b(width, height, 3);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = b.row(y);
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) & 15);
            row[3 * x] = static_cast<std::uint8_t>(x * 255 / width + noise);
            row[3 * x + 1] = static_cast<std::uint8_t>(y * 255 / height + noise);
            row[3 * x + 2] = static_cast<std::uint8_t>((x + y) * 127 / (width + height) + 64 + noise);
        }
    }
    forms::JpegEncodeOptions options;
    options.quality = 92;
    return forms::EncodeJpeg(b.view(), options);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 20;
    const int width = argc > 3 ? std::atoi(argv[2]) : 4000;
    const int height = argc > 3 ? std::atoi(argv[3]) : 3000;
    const fs::path folder = fs::temp_directory_path() / ("bench_pictures_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::vector<std::string> sources;
    for (int i = 0; i < count; ++i) {
        sources.push_back((folder / ("picture" + std::to_string(i) + ".jpg")).string());
        forms::WriteJpegFileBytes(sources.back(), MakePicture(width, height, 777u + static_cast<unsigned>(i)));
    }
    std::printf("%d pictures of %d x %d, one at a time (large resamples split across threads)\n", count, width, height);

    // Stages as the batch runs them: pass 1 makes the preview, pass 2 the thumbnail from it.
    enum { Decode, Preview, EncodePreview, DecodePreview, Thumbnail, EncodeThumbnail, Stages };
    const char* names[Stages] = {"decode source", "resample to preview", "encode preview", "decode preview",
                                 "resample to thumbnail", "encode thumbnail"};
    double stage[Stages] = {};
    double floor = 0;
    for (const auto& source : sources) {
        const auto bytes = forms::ReadJpegFileBytes(source);
        auto t = Clock::now();
        const auto decoded = editor::DecodePicture(bytes);
        stage[Decode] += Ms(t);
        t = Clock::now();
        const auto preview = editor::FitPicture(decoded, editor::kPreviewBox);
        stage[Preview] += Ms(t);
        t = Clock::now();
        const auto previewFile = editor::EncodePicture(preview);
        stage[EncodePreview] += Ms(t);
        t = Clock::now();
        const auto previewAgain = editor::DecodePicture(previewFile);
        stage[DecodePreview] += Ms(t);
        t = Clock::now();
        const auto thumbnail = editor::FitPicture(previewAgain, editor::kThumbnailBox);
        stage[Thumbnail] += Ms(t);
        t = Clock::now();
        const auto thumbnailFile = editor::EncodePicture(thumbnail);
        stage[EncodeThumbnail] += Ms(t);
        // The floor: libjpeg-turbo decoding the picture once, nothing else.
        t = Clock::now();
        forms::DecodeJpeg(bytes);
        floor += Ms(t);
    }
    double ours = 0;
    std::printf("%-24s %10s\n", "stage", "ms/picture");
    for (int s = 0; s < Stages; ++s) {
        std::printf("%-24s %10.2f\n", names[s], stage[s] / count);
        ours += stage[s];
    }
    std::printf("%-24s %10.2f\n", "whole pipeline", ours / count);
    std::printf("%-24s %10.2f\n", "one decode (floor)", floor / count);

    double magick = 0;
    bool magickRan = true;
    for (const auto& source : sources) {
        const std::string prv = source + ".prv.jpg", thm = source + ".thm.jpg";
        const auto t = Clock::now();
        const std::string a = "convert '" + source + "' -filter Triangle -resize 834x754 -quality 100 '" + prv + "'";
        const std::string b = "convert '" + prv + "' -filter Triangle -resize 150x150 -quality 100 '" + thm + "'";
        if (std::system(a.c_str()) != 0 || std::system(b.c_str()) != 0) magickRan = false;
        magick += Ms(t);
    }
    fs::remove_all(folder);
    if (!magickRan) {
        std::printf("ImageMagick's convert did not run; no comparison\n");
        std::printf("pictures: n/a times faster than ImageMagick, %.2f times one decode\n", ours / floor);
        return 0;
    }
    std::printf("%-24s %10.2f\n", "ImageMagick, both", magick / count);
    std::printf("pictures: %.2f times faster than ImageMagick, %.2f times one decode\n", magick / ours, ours / floor);
    return 0;
}
