// The arithmetic of the form auto-size: the scale between two form sizes and a control's
// bounds under it.
#pragma once

#include <optional>

namespace controls {

struct AutoSizeBounds {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const AutoSizeBounds&) const = default;
};

struct AutoSizeScale {
    double x = 1.0, y = 1.0;
};

// The scale from the remembered outer size to the new one; none when a remembered side is
// zero (nothing to scale from) or a new side is not positive (a minimised or collapsed
// window, whose layout must survive for the restore).
std::optional<AutoSizeScale> AutoSizeScaleFor(int oldWidth, int oldHeight, int newWidth, int newHeight);

// Positions always scale; sizes only when resizable (push buttons keep theirs). Each value
// rounds to nearest, halves to even.
AutoSizeBounds ScaleBounds(const AutoSizeBounds& bounds, const AutoSizeScale& scale, bool resizable);

}  // namespace controls
