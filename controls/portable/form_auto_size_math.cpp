#include "controls/portable/form_auto_size_math.h"

#include "forms/portable/rounding.h"

namespace controls {

std::optional<AutoSizeScale> AutoSizeScaleFor(int oldWidth, int oldHeight, int newWidth, int newHeight) {
    if (oldWidth == 0 || oldHeight == 0 || newWidth <= 0 || newHeight <= 0) return std::nullopt;
    return AutoSizeScale{static_cast<double>(newWidth) / oldWidth, static_cast<double>(newHeight) / oldHeight};
}

AutoSizeBounds ScaleBounds(const AutoSizeBounds& bounds, const AutoSizeScale& scale, bool resizable) {
    AutoSizeBounds out = bounds;
    if (resizable) {
        out.width = forms::RoundHalfEven(scale.x * bounds.width);
        out.height = forms::RoundHalfEven(scale.y * bounds.height);
    }
    out.left = forms::RoundHalfEven(scale.x * bounds.left);
    out.top = forms::RoundHalfEven(scale.y * bounds.top);
    return out;
}

}  // namespace controls
