#include "controls/portable/thumb_placement.h"

#include <algorithm>
#include <cmath>

namespace controls {

CellPlacement PlaceCellImage(const CellPlacementInput& in) {
    constexpr int kMargin = 8;
    CellPlacement out;
    // Full integers: a tiny cell has no room rather than a wrapped 16-bit one.
    out.clientHeight = std::max(0, in.cellHeight - (in.stripHeight + kMargin));
    out.clientWidth = std::max(0, in.cellWidth - 2 * in.borderWidth - kMargin);
    const int pw = std::max(in.pictureWidth, 0), ph = std::max(in.pictureHeight, 0);
    if (pw > 0 && ph > 0 && (out.clientWidth < pw || out.clientHeight < ph)) {
        const float byWidth = static_cast<float>(static_cast<double>(out.clientWidth) / pw * 100);
        const float byHeight = static_cast<float>(static_cast<double>(out.clientHeight) / ph * 100);
        out.percent = static_cast<int>(std::trunc(std::min(byWidth, byHeight)));
    }
    out.width = static_cast<int>(std::trunc(pw / 100.0f * out.percent));
    out.height = static_cast<int>(std::trunc(out.percent * (ph / 100.0f)));
    out.left = static_cast<int>(std::trunc(in.cellWidth / 2.0 - out.width / 2.0));
    out.top = in.cellHeight / 2 - out.height / 2;
    if (in.placement == tpUp) out.top += in.stripHeight / 2;
    if (in.placement == tpDown) out.top -= in.stripHeight / 2;
    out.shadowLeft = out.left + in.shadowX;
    out.shadowTop = out.top + in.shadowY;
    return out;
}

}  // namespace controls
