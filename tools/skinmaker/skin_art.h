// One skin's art from a small parameter set: every bitmap the engine reads and the INI text
// that names them, all from one template.
#pragma once
#include <string>
#include <vector>

#include "tools/skin_pack/skin_archive.h"
#include "tools/skinmaker/canvas.h"

namespace skinmaker {

constexpr int kScrollBarThickness = 17;  // the platform's scroll-bar size
constexpr int kTitleHeight = 26;

struct SkinParams {
    std::string name;
    Rgb face;          // dialog and button face
    Rgb faceText;      // button and window text
    Rgb titleTop, titleBottom;  // active title gradient
    Rgb titleText;
    Rgb border;        // outer frame line
    Rgb accent;        // highlight, checked marks, progress
    Rgb accentText;    // text on the accent
    Rgb menu;          // popup menu background
    Rgb menuText;
    int cornerRadius = 0;     // rounded top corners cut by magenta (0: square)
    bool captionOnStrip = false;  // the caption sits on a centred TextBack strip
    bool transBorders = true;     // false: all four border Trans values 0
    bool probe = false;           // flat colours per frame, for tests
    int probeShift = 0;           // a second probe skin's colours differ from the first's
    bool menuBackground = true;   // false: no MenuBackground element (menus keep their own look)
};

struct SkinArt {
    std::vector<skin_pack::SkinEntry> entries;  // the INI first, then the bitmaps
    std::string ini;
    skin_pack::Rgb24Picture menuGlyphs;  // the programs' SKINMENUGLYPHS bitmap, the same for every skin
    // The probe skin's flat colour of every frame, by bitmap name.
    std::vector<std::pair<std::string, std::vector<Rgb>>> probeFrames;
};

SkinArt PaintSkin(const SkinParams& p);

}  // namespace skinmaker
