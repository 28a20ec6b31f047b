// The checks a painted skin must pass before the build ships it: the engine reads it back
// whole, every image key names a valid 24-bit bitmap, text stands out from what it is drawn
// on, no pink fringe survives the region cut, every element the painters read exists,
// scroll bars are the platform's 17 pixels thick and their arrows point the way their frames
// are read. Failures gather in GateFailures().
#pragma once
#include <string>
#include <vector>

#include "forms/portable/pixels.h"
#include "skin/portable/skin_parse.h"
#include "tools/skinmaker/skin_art.h"

namespace skinmaker {

constexpr int kPlatformScrollBar = 17;
constexpr int kScrollArrowFrames = 23;

enum class ArrowWay { None, Left, Right, Up, Down };

struct Built {
    SkinParams params;
    std::vector<std::uint8_t> stream;
    skin::SkinElements elements;
};

std::vector<std::string>& GateFailures();
void Gate(bool ok, const std::string& what);

// Reads the stream back with the engine's reader and parser (std::runtime_error when it cannot).
skin::SkinElements SelfCheck(const SkinParams& p, const SkinArt& art, const std::vector<std::uint8_t>& stream);
void QualityGates(const Built& b, const SkinArt& art);

double Distance(Rgb a, Rgb b);
Rgb PixelAt(const forms::PixelBuffer& p, int x, int y);
Rgb FromColourRef(std::uint32_t c);
Rgb TitleMiddle(const skin::SkinElements& e);
// Which way the arrow drawn in ink in frame (from 1) of a strip of frames points.
ArrowWay ArrowPointing(const forms::PixelBuffer& strip, int frames, int frame, Rgb ink);

}  // namespace skinmaker
