#include "tools/skinmaker/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace skinmaker {

Rgb Mix(Rgb a, Rgb b, double t) {
    auto m = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}
Rgb Lighter(Rgb c, double t) { return Mix(c, {255, 255, 255}, t); }
Rgb Darker(Rgb c, double t) { return Mix(c, {0, 0, 0}, t); }

namespace {
double Luminance(Rgb c) {
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}
}  // namespace

double Contrast(Rgb a, Rgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableOn(Rgb ink, Rgb ground, double ratio) {
    const Rgb end = Luminance(ground) < 0.18 ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
    for (int step = 0; step <= 20 && Contrast(ink, ground) < ratio; ++step) ink = Mix(ink, end, 0.1);
    return ink;
}

Canvas::Canvas(int width, int height, Rgb fill)
    : picture{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, fill.Ref())} {}

void Canvas::Set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return;
    picture.pixels[static_cast<std::size_t>(y) * picture.width + x] = c.Ref();
}

Rgb Canvas::Get(int x, int y) const { return Rgb::FromRef(picture.pixels[static_cast<std::size_t>(y) * picture.width + x]); }

void Canvas::Fill(int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Set(i, j, c);
}

void Canvas::VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom) {
    for (int j = 0; j < h; ++j) Fill(x, y + j, w, 1, Mix(top, bottom, h > 1 ? double(j) / (h - 1) : 0));
}

void Canvas::HorizontalGradient(int x, int y, int w, int h, Rgb left, Rgb right) {
    for (int i = 0; i < w; ++i) Fill(x + i, y, 1, h, Mix(left, right, w > 1 ? double(i) / (w - 1) : 0));
}

void Canvas::Frame(int x, int y, int w, int h, Rgb c) {
    Fill(x, y, w, 1, c);
    Fill(x, y + h - 1, w, 1, c);
    Fill(x, y, 1, h, c);
    Fill(x + w - 1, y, 1, h, c);
}

void Canvas::Bevel(int x, int y, int w, int h, Rgb light, Rgb dark) {
    Fill(x, y, w, 1, light);
    Fill(x, y, 1, h, light);
    Fill(x, y + h - 1, w, 1, dark);
    Fill(x + w - 1, y, 1, h, dark);
}

void Canvas::RoundCorners(int x, int y, int w, int h, int radius, Rgb edge, bool top, bool bottom) {
    for (int j = 0; j < radius; ++j) {
        for (int i = 0; i < radius; ++i) {
            const double dx = radius - i - 0.5, dy = radius - j - 0.5;
            const double d = std::sqrt(dx * dx + dy * dy);
            const bool outside = d > radius;
            const bool onEdge = !outside && d > radius - 1.2;
            auto paint = [&](int px, int py) {
                if (outside) Set(px, py, kMagenta);
                else if (onEdge) Set(px, py, edge);
            };
            if (top) {
                paint(x + i, y + j);
                paint(x + w - 1 - i, y + j);
            }
            if (bottom) {
                paint(x + i, y + h - 1 - j);
                paint(x + w - 1 - i, y + h - 1 - j);
            }
        }
    }
}

void Canvas::Glyph(int x, int y, std::initializer_list<const char*> rows, Rgb ink) {
    int j = 0;
    for (const char* row : rows) {
        for (int i = 0; row[i]; ++i)
            if (row[i] == '#') Set(x + i, y + j, ink);
        ++j;
    }
}

void Canvas::Paste(int x, int y, const skin_pack::Rgb24Picture& other) {
    for (int j = 0; j < other.height; ++j)
        for (int i = 0; i < other.width; ++i)
            Set(x + i, y + j, Rgb::FromRef(other.pixels[static_cast<std::size_t>(j) * other.width + i]));
}

}  // namespace skinmaker
