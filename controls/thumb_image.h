// TThumbImage: the picture of a thumbnail cell. Loads a picture file (JPEG files on a cell
// decode at a reduced scale chosen by the file's size and the cell's box), shrinks its picture into a box,
// turns it in quarter turns and mirrors it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "controls/portable/jpeg_prefetch.h"
#include "controls/thumb_base.h"

namespace controls {

enum TAngle { AT0, AT90, AT180, AT270 };
using TRotateNotify = std::function<void(forms::TObject* Sender, std::uint8_t Percent, bool& Cancel)>;

// Sent (synchronously) to the cell after a quarter turn, so it places the picture again.
constexpr UINT WM_THUMB_IMAGE_TURNED = WM_USER + 1;

class TThumbImage : public TBaseThumbImage {
public:
    explicit TThumbImage(forms::TComponent* owner);
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();

    // ".JPG" in any letter case decodes through libjpeg (on a cell, reduced as
    // JpegScaleForCell says for the file's size and the cell's box); every other extension goes to the general picture loader, whose
    // failures go to OnInvalidImage when it is assigned.
    void LoadFile(const std::string& path);
    // Shrinks the picture proportionally into the box; never enlarges; an empty box does nothing.
    void ReduceTo(int width, int height);
    void Mirror(int kind);  // 0 left to right, 1 top to bottom, 2 both
    void RotateClockwise();
    void RotateCounterClockwise();

    TAngle Angle() const { return angle_; }
    void SetAngle(TAngle v);
    bool Modified() const { return modified_; }
    // A picture that is there and not empty (our graphics are all bitmaps or JPEG images).
    bool CanModify() const;
    std::uint16_t Zoom() const { return zoom_; }
    void SetZoom(std::uint16_t v) { zoom_ = v; }
    // Decodes made ahead by a scan for its cells, by the cell's rule for the view's box (not
    // owned; nullptr: decode in place).
    void SetPrefetcher(JpegPrefetcher* p) { prefetcher_ = p; }
    // The reduced-size decoding used by the last JPEG load (1, 2, 4 or 8).
    int LastJpegScale() const { return lastJpegScale_; }

    TRotateNotify OnRotate;  // never fired
    forms::TNotifyEvent OnLoaded;
    TInvalidImageEvent OnInvalidImage;

private:
    void TurnQuarter(bool clockwise);

    TAngle angle_ = AT0;
    bool modified_ = false;
    std::uint16_t zoom_ = 0;
    int lastJpegScale_ = 1;
    JpegPrefetcher* prefetcher_ = nullptr;
};

// True for the files LoadFile decodes through libjpeg: extension ".JPG" in any letter case.
bool IsScaledJpegPath(const std::string& path);

// The size in bytes of a file, opened for reading with other writers denied; EFOpenError
// when it cannot be opened.
std::uint64_t MeasureFileSize(const std::string& path);

}  // namespace controls
