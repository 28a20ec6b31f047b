#include "tools/skinmaker/quality_gates.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

#include "skin/portable/skin_bitmap.h"
#include "skin/portable/skin_slicing.h"

namespace skinmaker {

double Luminance(Rgb c) {
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}
double Contrast(Rgb a, Rgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
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
    for (const char* part : kPainted) Gate(e.Part(part) != nullptr, n + ": element " + part + " is missing");
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

    const Rgb titleText = FromColourRef(e.colours.TitleTextActive);
    Rgb under = TitleMiddle(e);
    if (!e.title->image.empty()) under = PixelAt(e.title->image, e.title->image.width() / 2, e.title->image.height() / 4);
    Gate(Contrast(titleText, under) >= 4.5, n + ": caption text contrast " + std::to_string(Contrast(titleText, under)));
    const auto& button = e.buttons->image;
    const Rgb buttonFace = PixelAt(button, button.width() / 10, button.height() / 2);
    Gate(Contrast(FromColourRef(e.colours.ButtonText), buttonFace) >= 4.5, n + ": button text contrast");
    const auto& menu = e.Part("MenuBackground")->image;
    Gate(Contrast(FromColourRef(e.colours.MenuText), PixelAt(menu, menu.width() / 2, menu.height() / 2)) >= 4.5,
         n + ": menu text contrast");
    const auto& item = e.Part("MenuItem")->image;
    const skin::SkinRect hot = skin::FrameRect(item.width(), item.height(), 5, 2, false);
    Gate(Contrast(FromColourRef(e.colours.HilightText), PixelAt(item, hot.left + hot.Width() / 2, hot.Height() / 2)) >= 4.5,
         n + ": highlighted menu text contrast");
}

}  // namespace skinmaker
