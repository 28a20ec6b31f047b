#include "tools/skinmaker/slider_art.h"

#include <map>
#include <stdexcept>

#include "tools/skinmaker/canvas.h"

namespace skinmaker {
namespace {

// Sixteen-colour-era shades: outline, highlight, body, shadow, and the pressed body.
const std::map<char, Rgb>& Palette() {
    static const std::map<char, Rgb> palette = {
        {'.', kMagenta},       {'o', {64, 64, 72}},    {'w', {255, 255, 255}}, {'f', {226, 228, 232}},
        {'s', {150, 152, 160}}, {'p', {150, 178, 214}}, {'d', {96, 120, 160}},  {'t', {250, 250, 252}},
    };
    return palette;
}

skin_pack::Rgb24Picture FromRows(std::initializer_list<const char*> rows) {
    Canvas c(static_cast<int>(std::string(*rows.begin()).size()), static_cast<int>(rows.size()));
    int y = 0;
    for (const char* row : rows) {
        const std::string line(row);
        if (static_cast<int>(line.size()) != c.picture.width) throw std::logic_error("slider art: ragged rows");
        for (int x = 0; x < c.picture.width; ++x) c.Set(x, y, Palette().at(line[x]));
        ++y;
    }
    return c.picture;
}

}  // namespace

std::vector<SliderArt> PaintSliderArt() {
    // Normal thumb on the left half, pressed (or disabled) on the right; pointing at the scale.
    SliderArt hThumb{"SliderHTB", "slider-htb.bmp", FromRows({
        ".ooooooo..ooooooo.",
        "owwwwwwsoowwwwwwdo",
        "owfffffsoowpppppdo",
        "owfffffsoowpppppdo",
        "owfffffsoowpppppdo",
        "owfffffsoowpppppdo",
        "owfffffsoowpppppdo",
        "owfffffsoowpppppdo",
        "owfffffsoowpppppdo",
        "owfffffsoowpppppdo",
        "owfffffsoowpppppdo",
        "owfffffsoowpppppdo",
        ".owfffso..owpppdo.",
        "..owfso....owpdo..",
        "...oso......odo...",
        "....o........o....",
        "..................",
    })};
    SliderArt hRuler{"SliderHRL", "slider-hrl.bmp", FromRows({
        ".oooooooo.",
        "osssssssso",
        "ottttttttw",
        "ottttttttw",
        "ottttttttw",
        "ottttttttw",
        "owwwwwwwww",
        ".oooooooo.",
    })};
    SliderArt vThumb{"SliderVTB", "slider-vtb.bmp", FromRows({
        "oooooooooooooo.....oooooooooooooo.....",
        "owwwwwwwwwwwwwo....owwwwwwwwwwwwwo....",
        "owffffffffffffwo...owppppppppppppwo...",
        "owfffffffffffffwo..owpppppppppppppwo..",
        "owffffffffffffffso.owppppppppppppppdo.",
        "owfffffffffffffso..owpppppppppppppdo..",
        "owssssssssssssso...owdddddddddddddo...",
        "ooooooooooooooo....ooooooooooooooo....",
        "......................................",
    })};
    SliderArt vRuler{"SliderVRL", "slider-vrl.bmp", FromRows({
        ".oooooo.",
        "osttttwo",
        "osttttwo",
        "osttttwo",
        "osttttwo",
        "osttttwo",
        "osttttwo",
        "osttttwo",
        "osttttwo",
        ".oooooo.",
    })};
    return {hThumb, hRuler, vThumb, vRuler};
}

}  // namespace skinmaker
