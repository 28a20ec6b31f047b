// Where a cell puts its picture: the room left beside the title strip and the border, the
// picture shrunk (never enlarged) by a whole percentage, centred, moved off the strip, and
// the shadow behind it.
#pragma once

namespace controls {

enum TTitlePos { tpUp, tpDown, tpNone };

struct CellPlacementInput {
    int cellWidth = 0;
    int cellHeight = 0;
    int stripHeight = 15;  // counted also while the strip is hidden
    int borderWidth = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
    TTitlePos placement = tpUp;
    int shadowX = 3;
    int shadowY = 3;
};

struct CellPlacement {
    int clientWidth = 0;  // never below 0
    int clientHeight = 0;
    int percent = 100;
    int left = 0, top = 0, width = 0, height = 0;  // the image
    int shadowLeft = 0, shadowTop = 0;             // the shadow has the image's size
};

CellPlacement PlaceCellImage(const CellPlacementInput& in);

}  // namespace controls
