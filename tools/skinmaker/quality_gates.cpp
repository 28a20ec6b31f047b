#include "tools/skinmaker/quality_gates.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

#include "skin/portable/skin_bitmap.h"
#include "skin/portable/skin_slicing.h"

namespace skinmaker {

double Distance(Rgb a, Rgb b) {
    return std::sqrt(double((a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b)));
}
Rgb PixelAt(const forms::PixelBuffer& p, int x, int y) {
    const std::uint8_t* px = p.row(y) + 3 * x;
    return {px[2], px[1], px[0]};
}
Rgb FromColourRef(std::uint32_t c) { return Rgb::FromRef(c); }


std::vector<std::string>& GateFailures() {
    static std::vector<std::string> failures;
    return failures;
}
void Gate(bool ok, const std::string& what) {
    if (!ok) GateFailures().push_back(what);
}

// Decodes the stream with the engine's reader and parser; every image key must name a valid
// 24-bit entry.
skin::SkinElements SelfCheck(const SkinParams& p, const SkinArt& art, const std::vector<std::uint8_t>& stream) {
    forms::TMemoryStream s;
    s.WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
    skin::TSkinReader reader;
    s.SetPosition(0);
    if (!reader.LoadSkinStream(s)) throw std::runtime_error(p.name + ": the engine refuses the stream");
    std::istringstream lines(art.ini);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        if (eq == std::string::npos || !line.ends_with(".bmp")) continue;
        const std::string name = line.substr(eq + 1);
        forms::TMemoryStream entry;
        reader.GetEntry(name, entry);
        const forms::PixelBuffer picture = skin::DecodeSkinBitmap(entry.Memory(), static_cast<std::size_t>(entry.Size()));
        Gate(!picture.empty(), p.name + ": " + line + " names no valid 24-bit bitmap");
    }
    s.SetPosition(0);
    std::optional<skin::SkinElements> e = skin::LoadSkinElements(s, nullptr, kPlatformScrollBar);
    if (!e) throw std::runtime_error(p.name + ": the engine cannot parse the skin");
    return std::move(*e);
}

const char* const kPainted[] = {"Tabs", "ComboButton", "SunkEdge", "ExtraImages", "GroupBoxEdge", "GroupBox",
                                "Toolbars", "StatusBarEdges", "Headerbar", "MenuItem", "MenuBackground", "Scrollbar",
                                "HorzScroll", "VertScroll", "HorzScrollThumb", "VertScrollThumb", "Progress",
                                "UpDown.Horz", "UpDown.Vert", "Trackbar.ThumbHorz", "Trackbar.ThumbVert",
                                "Trackbar.ThumbLeft", "Trackbar.ThumbRight", "Trackbar.ThumbUp", "Trackbar.ThumbDown"};

ArrowWay ArrowPointing(const forms::PixelBuffer& strip, int frames, int frame, Rgb ink) {
    const skin::SkinRect f = skin::FrameRect(strip.width(), strip.height(), frames, frame, false);
    int left = f.right, right = f.left - 1, top = f.bottom, bottom = f.top - 1;
    for (int y = f.top; y < f.bottom; ++y)
        for (int x = f.left; x < f.right; ++x)
            if (PixelAt(strip, x, y) == ink) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < left) return ArrowWay::None;
    auto inkIn = [&](int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) count += PixelAt(strip, x, y) == ink;
        return count;
    };
    // The tip is the thin end of the glyph's longer side.
    if (right - left > bottom - top) return inkIn(left, top, right, top) < inkIn(left, bottom, right, bottom) ? ArrowWay::Up : ArrowWay::Down;
    return inkIn(left, top, left, bottom) < inkIn(right, top, right, bottom) ? ArrowWay::Left : ArrowWay::Right;
}

Rgb TitleMiddle(const skin::SkinElements& e) {
    const auto& top = e.borders[2]->image;
    return PixelAt(top, top.width() / 2, kTitleHeight / 2);
}

void QualityGates(const Built& b, const SkinArt& art) {
    const auto& e = b.elements;
    const std::string& n = b.params.name;
    for (const auto& entry : art.entries) {
        if (!entry.name.ends_with(".bmp")) continue;
        const forms::PixelBuffer p = skin::DecodeSkinBitmap(entry.bytes.data(), entry.bytes.size());
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const Rgb c = PixelAt(p, x, y);
                if (c == kMagenta) continue;
                if (Distance(c, kMagenta) < 40) {
                    Gate(false, n + ": " + entry.name + " has a pixel near magenta at " + std::to_string(x) + "," + std::to_string(y));
                    y = p.height();
                    break;
                }
            }
    }
    for (const char* part : kPainted)
        Gate(e.Part(part) != nullptr || (!b.params.menuBackground && std::string(part) == "MenuBackground"),
             n + ": element " + part + " is missing");
    for (int i = 0; i < 4; ++i) Gate(!e.borders[i]->image.empty(), n + ": a frame border is missing");
    Gate(e.menuBar != nullptr, n + ": the menu bar is missing");
    Gate(!e.buttons->image.empty() && !e.buttons->checkImage.empty() && !e.buttons->radioImage.empty(), n + ": buttons or marks missing");
    Gate(e.captionButtons.size() == 6, n + ": three caption buttons and three MDI buttons expected");
    if (b.params.probe) return;

    auto thick = [&](const char* part, bool horizontal) {
        const skin::TDataSkinObject* o = e.Part(part);
        if (!o) return;
        const skin::SkinRect f = skin::FrameRect(o->image.width(), o->image.height(), o->FrameCount, 1, false);
        Gate((horizontal ? f.Height() : f.Width()) == kPlatformScrollBar, n + ": " + part + " is not 17 pixels thick");
    };
    thick("HorzScroll", true);
    thick("HorzScrollThumb", true);
    thick("VertScroll", false);
    thick("VertScrollThumb", false);
    thick("Scrollbar", true);

    // The scroll-bar painter takes its arrows from fixed frames of the strip.
    if (const skin::TDataSkinObject* arrows = e.Part("Scrollbar")) {
        const struct {
            int frame;
            ArrowWay way;
            const char* name;
        } kArrows[] = {{1, ArrowWay::Left, "left"}, {5, ArrowWay::Right, "right"}, {9, ArrowWay::Up, "up"}, {13, ArrowWay::Down, "down"}};
        for (const auto& a : kArrows)
            Gate(ArrowPointing(arrows->image, kScrollArrowFrames, a.frame, b.params.faceText) == a.way,
                 n + ": scroll arrow frame " + std::to_string(a.frame) + " does not point " + a.name);
    }

    // Text may land on any pixel inside the margins of what it is drawn on, so the worst of
    // them counts, frame by frame.
    auto worst = [](Rgb ink, const skin::TDataSkinObject& o, std::initializer_list<int> frames, bool stacked) {
        double lowest = 21;
        for (int frame : frames) {
            const skin::SkinRect f = skin::FrameRect(o.image.width(), o.image.height(), o.FrameCount, frame, stacked);
            const int left = f.left + std::max(o.LeftWidth, 1), right = f.right - std::max(o.RightWidth, 1);
            const int top = f.top + std::max(o.TopHeight, 1), bottom = f.bottom - std::max(o.BottomHeight, 1);
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x) {
                    const Rgb c = PixelAt(o.image, x, y);
                    if (!(c == kMagenta)) lowest = std::min(lowest, Contrast(ink, c));
                }
        }
        return lowest;
    };
    auto gate = [&](double ratio, const std::string& what) {
        Gate(ratio >= kReadableContrast, n + ": " + what + " contrast " + std::to_string(ratio) + " is under 4.5");
    };
    const Rgb titleText = FromColourRef(e.colours.TitleTextActive);
    if (!e.title->image.empty()) {
        // On the strip, between its caps.
        skin::TDataSkinObject strip = *e.title;
        strip.LeftWidth = e.title->TXTBackleft;
        strip.RightWidth = e.title->TXTBackRight;
        strip.TopHeight = strip.BottomHeight = 4;
        gate(worst(titleText, strip, {1}, true), "caption text");
    } else {
        // The title bar's rows the caption's letters cover.
        skin::TDataSkinObject bar = *e.borders[2];
        bar.TopHeight = bar.BottomHeight = 6;
        gate(worst(titleText, bar, {1}, true), "caption text");
    }
    // The frames as the engine reads them: 1 normal, 2 pressed, 3 disabled, 4 hot or focused,
    // 5 default; a disabled caption is written in the shadow colour.
    gate(worst(FromColourRef(e.colours.ButtonText), *e.buttons, {1, 2, 4, 5}, false), "button text");
    gate(worst(FromColourRef(e.colours.ButtonShadow), *e.buttons, {3}, false), "disabled button text");
    // Labels and the system's boxes keep writing in the system's black on the face colour.
    gate(Contrast(Rgb{0, 0, 0}, FromColourRef(e.colours.ButtonFace)), "the system's text on the face");
    gate(worst(FromColourRef(e.colours.MenuText), *e.Part("MenuBackground"), {1}, false), "menu text");
    // An item is drawn on MenuItem's frame 1, the hovered one on frame 4, in HilightText.
    gate(worst(FromColourRef(e.colours.MenuText), *e.Part("MenuItem"), {1}, false), "menu item text");
    gate(worst(FromColourRef(e.colours.HilightText), *e.Part("MenuItem"), {4}, false), "hovered menu text");
}

}  // namespace skinmaker
