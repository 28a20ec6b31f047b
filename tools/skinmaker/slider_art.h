// The slider's four built-in bitmaps: a thumb (normal and pressed side by side) and a ruler
// groove for each orientation, on magenta. They sit on whatever face a skin gives the page,
// so every shape has both a dark outline and a light body.
#pragma once
#include <string>
#include <vector>

#include "tools/skin_pack/bmp_writer.h"

namespace skinmaker {

struct SliderArt {
    std::string resource;  // "SliderHTB", "SliderHRL", "SliderVTB", "SliderVRL"
    std::string file;      // its file name beside the skins
    skin_pack::Rgb24Picture picture;
};

std::vector<SliderArt> PaintSliderArt();

}  // namespace skinmaker
