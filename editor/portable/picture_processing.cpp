#include "editor/portable/picture_processing.h"

#include "forms/portable/picture_turns.h"
#include "controls/portable/jpeg_scale_choice.h"
#include "controls/portable/resample.h"
#include "forms/portable/exceptions.h"

#include <algorithm>
#include <optional>

namespace editor {

namespace {

// long * side / across, rounded to nearest, in 64 bits: no overflow for any int sizes.
std::int64_t Proportional(std::int64_t longSide, std::int64_t side, std::int64_t across) {
    return (longSide * side * 2 + across) / (across * 2);
}

}  // namespace

PictureBox FitIntoBox(int width, int height, PictureBox box) {
    if (width <= 0 || height <= 0) return {1, 1};
    std::int64_t w, h;
    if (width > height) {
        w = box.width;
        h = Proportional(w, height, width);
    } else {
        h = box.height;
        w = Proportional(h, width, height);
    }
    return {static_cast<int>(std::max<std::int64_t>(w, 1)), static_cast<int>(std::max<std::int64_t>(h, 1))};
}

int ReducedDecodeScale(int width, int height, PictureBox size) {
    return controls::JpegScaleForBox(width, height, size.width, size.height);
}

namespace {

// How each Exif orientation is undone: a quarter turn first, then a mirror.
enum class Turn { None, Clockwise, Anticlockwise };
struct Upright {
    Turn turn;
    std::optional<forms::MirrorKind> mirror;
};
constexpr Upright kUpright[9] = {
    {Turn::None, std::nullopt},                                // (unused)
    {Turn::None, std::nullopt},                                // 1
    {Turn::None, forms::MirrorKind::LeftRight},             // 2
    {Turn::None, forms::MirrorKind::Both},                  // 3: half a turn
    {Turn::None, forms::MirrorKind::TopBottom},             // 4
    {Turn::Clockwise, forms::MirrorKind::LeftRight},        // 5: transposed
    {Turn::Clockwise, std::nullopt},                           // 6
    {Turn::Anticlockwise, forms::MirrorKind::LeftRight},    // 7: transversed
    {Turn::Anticlockwise, std::nullopt},                       // 8
};

bool TurnsQuarter(int orientation) { return orientation >= 5 && orientation <= 8; }

const Upright& UprightFor(int orientation) {
    return kUpright[orientation >= 1 && orientation <= 8 ? orientation : 1];
}

// The decoded pixels turned upright; moves them when nothing is to be done.
forms::PixelBuffer MakeUpright(forms::PixelBuffer& pixels, int orientation) {
    const Upright& upright = UprightFor(orientation);
    forms::PixelBuffer result;
    switch (upright.turn) {
        case Turn::None: result = std::move(pixels); break;
        case Turn::Clockwise: result = forms::RotateClockwise(pixels.view()); break;
        case Turn::Anticlockwise: result = forms::RotateCounterClockwise(pixels.view()); break;
    }
    if (upright.mirror) forms::MirrorPixels(result.view(), *upright.mirror);
    return result;
}

forms::JpegDecodeOptions PictureDecodeOptions() {
    forms::JpegDecodeOptions options;
    options.pixelLimit = kMaxPicturePixels;
    return options;
}

void RefuseUnusable(const forms::JpegInfo& info) {
    if (info.colorSpace == forms::JpegColorSpace::CMYK || info.colorSpace == forms::JpegColorSpace::YCCK)
        throw forms::EInvalidGraphic("CMYK pictures cannot be used; save the picture in RGB colour first");
    const std::uint64_t pixels = std::uint64_t(std::max(info.width, 0)) * std::uint64_t(std::max(info.height, 0));
    if (pixels > kMaxPicturePixels)
        throw forms::EInvalidGraphic("The picture is too large (" + std::to_string(info.width) + " x " +
                                     std::to_string(info.height) + " pixels)");
}

void RefuseCut(const forms::DecodedJpeg& decoded) {
    if (decoded.truncated) throw forms::EInvalidGraphic("The picture file is cut short; its data ends early");
}

// Options that choose the reduced scale for the box from the header, and note the fit.
forms::JpegDecodeOptions BoxDecodeOptions(PictureBox box, PictureBox& fit) {
    auto options = PictureDecodeOptions();
    options.scaleFor = [box, &fit](const forms::JpegInfo& info) {
        RefuseUnusable(info);
        const bool quarter = TurnsQuarter(info.orientation);
        const int uprightW = quarter ? info.height : info.width;
        const int uprightH = quarter ? info.width : info.height;
        fit = FitIntoBox(uprightW, uprightH, box);
        const PictureBox stored = quarter ? PictureBox{fit.height, fit.width} : fit;
        return ReducedDecodeScale(info.width, info.height, stored);
    };
    return options;
}

BoxedPicture Boxed(PictureWorkspace& workspace, PictureBox fit) {
    RefuseCut(workspace.decoded);
    forms::PixelBuffer& decoded = workspace.decoded.pixels;
    const Upright& upright = UprightFor(workspace.decoded.orientation);
    forms::PixelBuffer* pixels = &decoded;
    if (upright.turn != Turn::None) {
        workspace.turned = upright.turn == Turn::Clockwise ? forms::RotateClockwise(decoded.view())
                                                           : forms::RotateCounterClockwise(decoded.view());
        pixels = &workspace.turned;
    }
    if (upright.mirror) forms::MirrorPixels(pixels->view(), *upright.mirror);
    return {*pixels, fit};
}

}  // namespace

forms::PixelBuffer DecodePicture(std::span<const std::uint8_t> jpeg) {
    RefuseUnusable(forms::ProbeJpeg(jpeg));
    auto decoded = forms::DecodeJpeg(jpeg, PictureDecodeOptions());
    RefuseCut(decoded);
    return MakeUpright(decoded.pixels, decoded.orientation);
}

forms::PixelBuffer ResamplePicture(const forms::PixelBuffer& picture, PictureBox size, int maxThreads) {
    forms::PixelBuffer result(size.width, size.height, 3);
    auto source = const_cast<forms::PixelBuffer&>(picture).view();
    controls::ResamplePixels(source, result.view(), controls::TResamplingFilter::Triangle, 5.0f, maxThreads);
    return result;
}

forms::PixelBuffer FitPicture(const forms::PixelBuffer& picture, PictureBox box) {
    return ResamplePicture(picture, FitIntoBox(picture.width(), picture.height(), box));
}

BoxedPicture DecodePictureFor(std::span<const std::uint8_t> jpeg, PictureBox box, PictureWorkspace& workspace) {
    PictureBox fit{0, 0};
    forms::DecodeJpegInto(jpeg, BoxDecodeOptions(box, fit), workspace.decoded);
    return Boxed(workspace, fit);
}

BoxedPicture DecodePictureFileFor(const std::string& path, PictureBox box, PictureWorkspace& workspace) {
    PictureBox fit{0, 0};
    forms::DecodeJpegFileInto(path, BoxDecodeOptions(box, fit), workspace.decoded);
    return Boxed(workspace, fit);
}

std::vector<std::uint8_t> EncodePicture(const forms::PixelBuffer& picture) {
    forms::JpegEncodeOptions options;
    options.quality = 100;
    options.progressive = false;
    auto view = const_cast<forms::PixelBuffer&>(picture).view();
    return forms::EncodeJpeg(view, options);
}

void ProcessPictureFile(const std::string& source, const std::string& target, PictureBox box,
                        const std::function<void()>& between, PictureWorkspace& workspace) {
    std::vector<std::uint8_t> encoded;
    {
        auto picture = DecodePictureFileFor(source, box, workspace);
        if (between) between();
        encoded = EncodePicture(ResamplePicture(picture.pixels, picture.fit, workspace.resampleThreads));
    }
    forms::WriteJpegFileBytes(target, encoded);
}

void ProcessPictureFile(const std::string& source, const std::string& target, PictureBox box,
                        const std::function<void()>& between) {
    PictureWorkspace workspace;
    ProcessPictureFile(source, target, box, between, workspace);
}

}  // namespace editor
