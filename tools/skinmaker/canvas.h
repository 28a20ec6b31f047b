// A small procedural painter over 24-bit pictures: fills, gradients, bevels, rounded corners cut
// by magenta with opaque edges, and crisp glyphs at whole pixels.
#pragma once
#include <cstdint>
#include <string>

#include "tools/skin_pack/bmp_writer.h"

namespace skinmaker {

struct Rgb {
    int r = 0, g = 0, b = 0;
    std::uint32_t Ref() const { return static_cast<std::uint32_t>(r | (g << 8) | (b << 16)); }  // 0x00BBGGRR
    static Rgb FromRef(std::uint32_t c) { return {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)}; }
    bool operator==(const Rgb&) const = default;
};
constexpr Rgb kMagenta{255, 0, 255};

Rgb Mix(Rgb a, Rgb b, double t);  // t = 0 gives a
Rgb Lighter(Rgb c, double t);
Rgb Darker(Rgb c, double t);

// What text a user must read needs against what it is drawn on.
constexpr double kReadableContrast = 4.5;
double Contrast(Rgb a, Rgb b);  // the ratio of relative luminances, 1 to 21
// ink, moved towards black (or white, on a dark ground) until it reads on ground.
Rgb ReadableOn(Rgb ink, Rgb ground, double ratio = kReadableContrast + 0.1);

class Canvas {
public:
    Canvas(int width, int height, Rgb fill = kMagenta);
    skin_pack::Rgb24Picture picture;

    void Set(int x, int y, Rgb c);
    Rgb Get(int x, int y) const;
    void Fill(int x, int y, int w, int h, Rgb c);
    void VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom);
    void HorizontalGradient(int x, int y, int w, int h, Rgb left, Rgb right);
    void Frame(int x, int y, int w, int h, Rgb c);
    // Light top and left edges, dark bottom and right, inside the rectangle.
    void Bevel(int x, int y, int w, int h, Rgb light, Rgb dark);
    // Cuts the rectangle's top corners (and bottom ones when asked) to a radius: outside becomes
    // magenta, the curve itself is drawn in edge, fully opaque.
    void RoundCorners(int x, int y, int w, int h, int radius, Rgb edge, bool top, bool bottom);
    // A small glyph from rows of '#' (ink) and '.' (left alone), its top-left at (x, y).
    void Glyph(int x, int y, std::initializer_list<const char*> rows, Rgb ink);
    // Places another picture at (x, y).
    void Paste(int x, int y, const skin_pack::Rgb24Picture& other);
};

}  // namespace skinmaker
