#include "controls/graphics_utils.h"

#include "forms/portable/exceptions.h"

namespace controls {
namespace {

// The source's pixels: a bitmap or JPEG image by assignment, anything else drawn.
void CopySource(const forms::TGraphic& source, forms::TBitmap& work) {
    try {
        work.Assign(source);
        return;
    } catch (const forms::EConvertError&) {
    }
    work.SetPixelFormat(forms::pf32bit);
    work.SetSize(source.Width(), source.Height());
    RECT r{0, 0, source.Width(), source.Height()};
    const_cast<forms::TGraphic&>(source).Draw(*work.Canvas(), r);
}

}  // namespace

void ResampleBitmap(int newWidth, int newHeight, TResamplingFilter filter, float radius, const forms::TGraphic& source,
                    forms::TBitmap& target) {
    if (source.Empty()) return;
    if (!ResampleSizeAccepted(source.Width(), source.Height(), newWidth, newHeight)) return;
    forms::TBitmap work;
    CopySource(source, work);
    forms::PixelView from = work.Pixels();
    const int bytesPerPixel = target.BytesPerPixel();
    if (newWidth == 0 || newHeight == 0 || from.empty()) {
        target.FreeImage();
        return;
    }
    forms::PixelBuffer scaled(newWidth, newHeight, bytesPerPixel);
    ResamplePixels(from, scaled.view(), filter, radius);
    target.AssignPixels(scaled.view());
}

}  // namespace controls
