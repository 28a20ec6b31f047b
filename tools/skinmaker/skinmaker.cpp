// skinmaker OUT_DIR: paints our six skins and the probe skin, checks them against the quality
// gates and the engine's own reader and parser, and writes for each skin its stream
// (skin-N.skin), a manifest (skin-N.manifest) and a preview (preview-N.png), plus the contact
// sheet of all six (contact-sheet.png), the 64 × 16 menu glyphs (menuglyphs.bmp) and the
// slider's four pictures (slider-*.bmp). Any failed gate fails the build.
#include <cmath>
#include <cstdio>
#include <array>
#include <filesystem>
#include <map>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/portable/skin_bitmap.h"
#include "skin/portable/skin_parse.h"
#include "skin/portable/skin_slicing.h"
#include "tools/skin_pack/png_writer.h"
#include "tools/skinmaker/quality_gates.h"
#include "tools/skinmaker/skin_art.h"
#include "tools/skinmaker/slider_art.h"

namespace skinmaker {
namespace {

namespace fs = std::filesystem;

const std::vector<SkinParams>& Skins() {
    static const std::vector<SkinParams> skins = {
        {"Linen", {236, 233, 228}, {33, 33, 36}, {250, 249, 247}, {222, 219, 213}, {28, 28, 30}, {150, 146, 140},
         {46, 110, 190}, {255, 255, 255}, {250, 250, 249}, {30, 30, 32}, 6, false, true},
        {"Graphite", {206, 208, 212}, {16, 16, 18}, {72, 75, 80}, {40, 42, 46}, {240, 240, 242}, {20, 20, 22},
         {230, 140, 50}, {20, 20, 22}, {46, 48, 52}, {232, 233, 236}, 0, true, false},
        {"Rosewood", {246, 232, 234}, {58, 30, 38}, {176, 78, 104}, {128, 40, 66}, {255, 255, 255}, {90, 26, 46},
         {176, 60, 96}, {255, 255, 255}, {252, 244, 246}, {58, 30, 38}, 6, false, true},
        {"Lagoon", {222, 234, 244}, {16, 38, 60}, {36, 112, 178}, {18, 70, 128}, {255, 255, 255}, {12, 48, 90},
         {20, 110, 190}, {255, 255, 255}, {244, 249, 253}, {16, 38, 60}, 0, true, true},
        {"Contrast", {255, 255, 255}, {0, 0, 0}, {20, 20, 20}, {0, 0, 0}, {255, 235, 0}, {0, 0, 0},
         {0, 0, 0}, {255, 235, 0}, {0, 0, 0}, {255, 255, 255}, 0, false, true},
        {"Pastel", {240, 236, 248}, {52, 44, 72}, {200, 214, 248}, {168, 188, 236}, {40, 36, 64}, {150, 150, 190},
         {120, 96, 184}, {255, 255, 255}, {252, 250, 255}, {52, 44, 72}, 5, false, true},
    };
    return skins;
}

SkinParams ProbeSkin() {
    SkinParams p{"Probe", {200, 200, 200}, {0, 0, 0}, {0, 0, 200}, {0, 0, 200}, {255, 255, 255}, {0, 0, 0},
                 {0, 120, 0}, {255, 255, 255}, {255, 255, 255}, {0, 0, 0}, 0, false, false};
    p.probe = true;
    return p;
}

// The second probe: other flat colours, and no MenuBackground.
SkinParams SecondProbeSkin() {
    SkinParams p = ProbeSkin();
    p.name = "Probe2";
    p.probeShift = 500;
    p.menuBackground = false;
    return p;
}


// A 5 × 7 pixel font for the skin names in the previews' title bars.
const std::map<char, std::array<const char*, 7>>& PreviewFont() {
    static const std::map<char, std::array<const char*, 7>> font = {
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
        {'b', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "####."}},
        {'d', {"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"}},
        {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
        {'g', {".....", ".####", "#...#", "#...#", ".####", "....#", ".###."}},
        {'h', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#"}},
        {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
        {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'n', {".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"}},
        {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
        {'p', {".....", "####.", "#...#", "#...#", "####.", "#....", "#...."}},
        {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
        {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
        {'t', {"..#..", "..#..", "#####", "..#..", "..#..", "..#..", "...##"}},
        {'w', {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."}},
    };
    return font;
}

void DrawName(forms::PixelBuffer& out, const std::string& text, int x, int y, Rgb ink) {
    for (char ch : text) {
        const auto it = PreviewFont().find(ch);
        if (it != PreviewFont().end()) {
            for (int j = 0; j < 7; ++j)
                for (int i = 0; i < 5; ++i) {
                    if (it->second[j][i] != '#' || x + i >= out.width() || y + j >= out.height()) continue;
                    std::uint8_t* p = out.row(y + j) + 3 * (x + i);
                    p[0] = static_cast<std::uint8_t>(ink.b);
                    p[1] = static_cast<std::uint8_t>(ink.g);
                    p[2] = static_cast<std::uint8_t>(ink.r);
                }
        }
        x += 6;
    }
}

// A mock window from the skin's own bitmaps through the engine's slicing.
skin_pack::Rgb24Picture Preview(const skin::SkinElements& e) {
    constexpr int W = 360, H = 240;
    forms::PixelBuffer out(W, H, 3);
    forms::FillPixels(out.view(), 0x50, 0x48, 0x40);
    auto slice = [&](const skin::TDataSkinObject& o, int x, int y, int w, int h, int frame, bool stacked = false) {
        const forms::PixelBuffer s = skin::SliceFrame(w, h, o.image, {o.LeftWidth, o.TopHeight, o.RightWidth, o.BottomHeight},
                                                      stacked, o.Tile == 0 ? false : false, o.FrameCount, frame);
        skin::KeyedCopy(s, out, x, y);
    };
    const auto& L = *e.borders[0];
    const auto& R = *e.borders[1];
    const auto& T = *e.borders[2];
    const auto& B = *e.borders[3];
    const int lw = L.image.width() / L.FrameCount, rw = R.image.width() / R.FrameCount;
    const int th = T.image.height() / T.FrameCount, bh = B.image.height() / B.FrameCount;
    const Rgb face = FromColourRef(e.colours.ButtonFace);
    forms::PixelView client{out.row(th) + 3 * lw, W - lw - rw, H - th - bh, out.stride(), 3};
    forms::FillPixels(client, static_cast<std::uint8_t>(face.b), static_cast<std::uint8_t>(face.g), static_cast<std::uint8_t>(face.r));
    slice(L, 0, 0, lw, H, 1);
    slice(R, W - rw, 0, rw, H, 1);
    slice(T, lw, 0, W - lw - rw, th, 1, true);
    slice(B, lw, H - bh, W - lw - rw, bh, 1, true);
    if (!e.title->image.empty()) {
        const forms::PixelBuffer strip = skin::ThreePart(120, e.title->image.height() / 2, e.title->image, true, 2, 1,
                                                         e.title->TXTBackleft, e.title->TXTBackRight);
        skin::KeyedCopy(strip, out, (W - 120) / 2, (th - strip.height()) / 2);
    }
    const int nameWidth = 6 * static_cast<int>(e.skinName.size());
    const int nameX = e.title->TextAlignment == 1 ? (W - nameWidth) / 2 : lw + e.title->LeftWidth;
    DrawName(out, e.skinName, nameX, (th - 7) / 2, FromColourRef(e.colours.TitleTextActive));
    for (std::size_t i = 0; i + 3 < e.captionButtons.size(); ++i) {
        const auto& b = *e.captionButtons[i];
        const skin::SkinRect f = skin::FrameRect(b.image.width(), b.image.height(), b.FrameCount, 1, false);
        forms::PixelBuffer frame(f.Width(), f.Height(), 3);
        skin::StretchCopy(b.image, f, frame, {0, 0, f.Width(), f.Height()});
        skin::KeyedCopy(frame, out, W - rw - b.Xcoord, b.Ycoord);
    }
    const int x0 = lw + 12, y0 = th + 12;
    const skin::TDataSkinObject& button = *e.buttons;
    for (int s = 1; s <= 5; ++s) slice(button, x0 + (s - 1) * 62, y0, 56, 24, s);
    auto mark = [&](const forms::PixelBuffer& img, int frames, int frame, int x, int y) {
        const skin::SkinRect f = skin::FrameRect(img.width(), img.height(), frames, frame, false);
        forms::PixelBuffer m(f.Width(), f.Height(), 3);
        skin::StretchCopy(img, f, m, {0, 0, f.Width(), f.Height()});
        skin::KeyedCopy(m, out, x, y);
    };
    for (int i = 0; i < 4; ++i) {
        mark(e.buttons->checkImage, e.buttons->CheckButtonFrame, i == 0 ? 1 : i == 1 ? 5 : i == 2 ? 2 : 6, x0 + i * 24, y0 + 36);
        mark(e.buttons->radioImage, e.buttons->RadioButtonFrame, i == 0 ? 1 : i == 1 ? 5 : i == 2 ? 2 : 6, x0 + 110 + i * 24, y0 + 36);
    }
    if (auto* tabs = e.Part("Tabs")) {
        slice(*tabs, x0, y0 + 62, 70, 22, 3);
        slice(*tabs, x0 + 70, y0 + 64, 70, 20, 1);
    }
    if (auto* combo = e.Part("ComboButton")) slice(*combo, x0, y0 + 96, 180, 21, 1);
    if (auto* sunk = e.Part("GroupBoxEdge")) slice(*sunk, x0, y0 + 126, 200, 50, 1);
    const int sx = W - rw - 17 - 6;
    if (auto* track = e.Part("VertScroll")) slice(*track, sx, th + 6, 17, H - th - bh - 12, 1);
    if (auto* thumb = e.Part("VertScrollThumb")) slice(*thumb, sx, th + 30, 17, 50, 1);
    if (auto* arrows = e.Part("Scrollbar")) {
        mark(arrows->image, arrows->FrameCount, 9, sx, th + 6);
        mark(arrows->image, arrows->FrameCount, 13, sx, H - bh - 23);
    }
    skin_pack::Rgb24Picture picture{W, H, {}};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) picture.pixels.push_back(PixelAt(out, x, y).Ref());
    return picture;
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    const fs::path temporary = path.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + temporary.string());
    }
    fs::rename(temporary, path);
}

std::string Manifest(const Built& b) {
    std::ostringstream m;
    const auto& e = b.elements;
    m << "name " << b.params.name << "\n";
    m << "face " << e.colours.ButtonFace << "\n";
    m << "title-middle " << TitleMiddle(e).Ref() << "\n";
    auto line = [&](const std::string& name, const skin::TDataSkinObject& o) {
        m << "element " << name << ' ' << o.image.width() << ' ' << o.image.height() << ' ' << o.FrameCount << "\n";
    };
    for (int i = 0; i < 4; ++i) line(e.borders[i]->name, *e.borders[i]);
    line("Buttons", *e.buttons);
    if (e.menuBar) line("MenuBar", *e.menuBar);
    for (const auto& [name, part] : e.parts) line(name, *part);
    for (const auto& c : e.captionButtons) line(c->name, *c);
    return m.str();
}

// Names a probe skin's frame colours for the tests: NAMESPACE::k_<bitmap>[frame - 1] as 0xRRGGBB.
std::string ProbeHeader(const SkinArt& probe, const std::string& space) {
    std::ostringstream h;
    h << "namespace " << space << " {\n";
    for (const auto& [file, colours] : probe.probeFrames) {
        std::string id = file.substr(0, file.size() - 4);
        for (char& c : id)
            if (c == '.' || c == '-') c = '_';
        h << "constexpr std::uint32_t k_" << id << "[] = {";
        for (std::size_t i = 0; i < colours.size(); ++i) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%06X", static_cast<unsigned>((colours[i].r << 16) | (colours[i].g << 8) | colours[i].b));
            h << (i ? ", " : "") << hex;
        }
        h << "};\n";
    }
    h << "}  // namespace " << space << "\n";
    return h.str();
}

int Run(const fs::path& out) {
    fs::create_directories(out);
    std::vector<Built> built;
    std::vector<SkinParams> all = Skins();
    all.push_back(ProbeSkin());
    all.push_back(SecondProbeSkin());
    for (const SkinParams& p : all) {
        const SkinArt art = PaintSkin(p);
        Built b{p, skin_pack::WriteSkinStream(art.entries), {}};
        b.elements = SelfCheck(p, art, b.stream);
        QualityGates(b, art);
        built.push_back(std::move(b));
    }
    for (std::size_t i = 0; i < 6; ++i)
        for (std::size_t j = i + 1; j < 6; ++j) {
            const double face = Distance(FromColourRef(built[i].elements.colours.ButtonFace), FromColourRef(built[j].elements.colours.ButtonFace));
            const double title = Distance(TitleMiddle(built[i].elements), TitleMiddle(built[j].elements));
            Gate(face >= 48 || title >= 48, built[i].params.name + " and " + built[j].params.name + " look alike");
        }
    int rounded = 0, square = 0, strip = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        rounded += built[i].params.cornerRadius > 0 && built[i].params.transBorders;
        square += !built[i].params.transBorders;
        strip += built[i].params.captionOnStrip;
    }
    Gate(rounded >= 2 && square >= 1 && strip >= 1, "the six skins must cover rounded, rectangular and strip captions");
    if (!GateFailures().empty()) {
        for (const auto& f : GateFailures()) std::cerr << "skinmaker: " << f << '\n';
        return 1;
    }
    skin_pack::Rgb24Picture sheet{3 * 360 + 40, 2 * 240 + 30, {}};
    sheet.pixels.assign(static_cast<std::size_t>(sheet.width) * sheet.height, Rgb{200, 200, 204}.Ref());
    Canvas contact(sheet.width, sheet.height, Rgb{200, 200, 204});
    for (std::size_t i = 0; i < built.size(); ++i) {
        const std::string stem = i < 6 ? std::to_string(i) : i == 6 ? "probe" : "probe2";
        WriteFile(out / ("skin-" + stem + ".skin"), built[i].stream);
        const std::string manifest = Manifest(built[i]);
        WriteFile(out / ("skin-" + stem + ".manifest"), std::vector<std::uint8_t>(manifest.begin(), manifest.end()));
        const skin_pack::Rgb24Picture preview = Preview(built[i].elements);
        WriteFile(out / ("preview-" + stem + ".png"), skin_pack::PngBytes(preview));
        if (i < 6) contact.Paste(10 + static_cast<int>(i % 3) * 370, 10 + static_cast<int>(i / 3) * 250, preview);
    }
    WriteFile(out / "contact-sheet.png", skin_pack::PngBytes(contact.picture));
    WriteFile(out / "menuglyphs.bmp", skin_pack::Bmp24Bytes(PaintSkin(Skins()[0]).menuGlyphs));
    // The slider is never skinned: its pictures stand on every skin's face as they are.
    const std::map<std::string, std::pair<int, int>> sliderSizes = {
        {"SliderHTB", {18, 17}}, {"SliderHRL", {10, 8}}, {"SliderVTB", {38, 9}}, {"SliderVRL", {8, 10}}};
    for (const SliderArt& art : PaintSliderArt()) {
        const auto& p = art.picture;
        Gate(std::pair{p.width, p.height} == sliderSizes.at(art.resource), art.resource + " has the wrong size");
        // The slider takes the bottom-left pixel as its transparent colour.
        Gate(Rgb::FromRef(p.pixels[static_cast<std::size_t>(p.height - 1) * p.width]) == kMagenta,
             art.resource + " must be magenta at its bottom-left pixel");
        for (const SkinParams& skin : Skins()) {
            double best = 1;
            for (std::uint32_t c : p.pixels)
                if (Rgb::FromRef(c) != kMagenta) best = std::max(best, Contrast(Rgb::FromRef(c), skin.face));
            Gate(best >= 4.5, art.resource + " does not stand out on the face of " + skin.name);
        }
        WriteFile(out / art.file, skin_pack::Bmp24Bytes(p));
    }
    if (!GateFailures().empty()) {
        for (const auto& f : GateFailures()) std::cerr << "skinmaker: " << f << '\n';
        return 1;
    }
    const std::string header = "// Written by tools/skinmaker: the probe skins' flat colour of every frame, 0xRRGGBB.\n"
                               "#pragma once\n#include <cstdint>\n\n" +
                               ProbeHeader(PaintSkin(ProbeSkin()), "probe") + ProbeHeader(PaintSkin(SecondProbeSkin()), "probe2");
    WriteFile(out / "probe_colours.h", std::vector<std::uint8_t>(header.begin(), header.end()));
    return 0;
}

}  // namespace
}  // namespace skinmaker

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: skinmaker OUT_DIR\n";
        return 2;
    }
    try {
        return skinmaker::Run(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "skinmaker: " << e.what() << '\n';
        return 1;
    }
}
