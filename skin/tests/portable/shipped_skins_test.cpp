// Our own skins, as the build painted them, read back through the engine: every element the
// tool's manifest lists has the size and frame count the tool drew.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "skin/portable/skin_parse.h"
#include "skin/portable/skin_slicing.h"
#include "skins/probe_colours.h"

namespace skin {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ShippedSkins, LoadIntoTheElementsTheToolDrew) {
    for (const std::string stem : {"0", "1", "2", "3", "4", "5", "probe"}) {
        SCOPED_TRACE("skin " + stem);
        const std::string base = std::string(SKIN_ARTIFACTS) + "/skin-" + stem;
        const std::string stream = ReadFile(base + ".skin");
        const std::string manifest = ReadFile(base + ".manifest");
        ASSERT_FALSE(stream.empty()) << base << ".skin is missing: ./build.sh paints the skins";
        ASSERT_FALSE(manifest.empty());

        forms::TMemoryStream s;
        s.WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
        std::vector<std::string> messages;
        std::optional<SkinElements> e = LoadSkinElements(s, [&](const std::string& m) { messages.push_back(m); }, 17);
        ASSERT_TRUE(e.has_value());
        EXPECT_TRUE(messages.empty());

        std::map<std::string, std::tuple<int, int, int>> loaded;
        auto add = [&](const TDataSkinObject& o) { loaded[o.name] = {o.image.width(), o.image.height(), o.FrameCount}; };
        for (const auto& b : e->borders) add(*b);
        add(*e->buttons);
        if (e->menuBar) add(*e->menuBar);
        for (const auto& [name, part] : e->parts) add(*part);
        for (const auto& c : e->captionButtons) add(*c);

        std::istringstream lines(manifest);
        int elements = 0;
        for (std::string word; lines >> word;) {
            if (word == "face") {
                std::uint32_t face = 0;
                lines >> face;
                EXPECT_EQ(e->colours.ButtonFace, face);
            } else if (word == "element") {
                std::string name;
                int w = 0, h = 0, frames = 0;
                lines >> name >> w >> h >> frames;
                ++elements;
                ASSERT_TRUE(loaded.count(name)) << name;
                EXPECT_EQ(loaded[name], std::make_tuple(w, h, frames)) << name;
            } else {
                std::getline(lines, word);
            }
        }
        EXPECT_GE(elements, 30);
    }
}

}  // namespace
}  // namespace skin

namespace skin {
namespace {

// The probe skin's frames read back at the colours the tool names for them.
TEST(ShippedSkins, ProbeFramesKeepTheirNamedColours) {
    const std::string stream = ReadFile(std::string(SKIN_ARTIFACTS) + "/skin-probe.skin");
    ASSERT_FALSE(stream.empty());
    forms::TMemoryStream s;
    s.WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
    std::optional<SkinElements> e = LoadSkinElements(s, nullptr, 17);
    ASSERT_TRUE(e.has_value());
    auto centre = [](const TDataSkinObject& o, int frame) {
        const SkinRect f = FrameRect(o.image.width(), o.image.height(), o.FrameCount, frame, false);
        const std::uint8_t* p = o.image.row((f.top + f.bottom) / 2) + 3 * ((f.left + f.right) / 2);
        return static_cast<std::uint32_t>((p[2] << 16) | (p[1] << 8) | p[0]);
    };
    const struct { const char* what; const TDataSkinObject* element; int frame; std::uint32_t colour; } cases[] = {
        {"tab 3", e->Part("Tabs"), 3, probe::k_tabs[2]},
        {"thumb 2", e->Part("HorzScrollThumb"), 2, probe::k_hthumb[1]},
        {"menu item 5", e->Part("MenuItem"), 5, probe::k_menuitem[4]},
        {"button 4", e->buttons.get(), 4, probe::k_button[3]},
        {"close 4", e->captionButtons[0].get(), 4, probe::k_close[3]},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.element, nullptr) << c.what;
        EXPECT_EQ(centre(*c.element, c.frame), c.colour) << c.what;
    }
}

}  // namespace
}  // namespace skin

namespace skin {
namespace {

// One of our skins as the build painted it, loaded through the engine (empty when missing).
std::optional<SkinElements> LoadShipped(const std::string& stem) {
    const std::string stream = ReadFile(std::string(SKIN_ARTIFACTS) + "/skin-" + stem + ".skin");
    if (stream.empty()) return std::nullopt;
    forms::TMemoryStream s;
    s.WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
    return LoadSkinElements(s, [](const std::string&) {}, 17);
}

// A check box reads a 4-frame strip as unchecked, checked, ... and a 12-frame strip in rows of
// four with its checked row from frame 5: our skins' strips must be one of the two, or a ticked
// box shows a frame without its tick.
TEST(ShippedSkins, CheckStripsShowTheTickWhereACheckBoxLooks) {
    for (const std::string stem : {"0", "1", "2", "3", "4", "5"}) {
        SCOPED_TRACE("skin " + stem);
        std::optional<SkinElements> e = LoadShipped(stem);
        ASSERT_TRUE(e.has_value() && e->buttons);
        const forms::PixelBuffer& strip = e->buttons->checkImage;
        const int n = e->buttons->CheckButtonFrame;
        ASSERT_TRUE(n == 4 || n == 12) << n << " frames";
        const int w = strip.width() / n;
        auto frame = [&](int number) {  // 1-based
            std::string bytes;
            for (int y = 0; y < strip.height(); ++y) {
                const auto* row = strip.row(y) + static_cast<std::ptrdiff_t>(number - 1) * w * strip.bytesPerPixel();
                bytes.append(reinterpret_cast<const char*>(row), static_cast<std::size_t>(w) * strip.bytesPerPixel());
            }
            return bytes;
        };
        const int checked = n == 12 ? 5 : 2;
        EXPECT_NE(frame(1), frame(checked));
        if (n == 12) EXPECT_NE(frame(checked), frame(9)) << "mixed looks checked";
    }
}

// A combo box shows its sunken edge in the frames normal, pressed, disabled, hot (1-based): a
// disabled box keeps the plain edge, a pressed or hot one shows the accent.
TEST(ShippedSkins, ADisabledComboKeepsThePlainEdge) {
    for (const std::string stem : {"0", "1", "2", "3", "4", "5"}) {
        SCOPED_TRACE("skin " + stem);
        std::optional<SkinElements> e = LoadShipped(stem);
        ASSERT_TRUE(e.has_value());
        const TDataSkinObject* sunk = e->Part("SunkEdge");
        ASSERT_NE(sunk, nullptr);
        ASSERT_EQ(sunk->FrameCount, 4);
        const forms::PixelBuffer& pixels = sunk->image.Pixels();
        const int w = pixels.width() / 4;
        auto edge = [&](int number) {  // 1-based: the frame's left edge, half way down
            const auto* p = pixels.row(pixels.height() / 2) + static_cast<std::ptrdiff_t>(number - 1) * w * pixels.bytesPerPixel();
            return std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(pixels.bytesPerPixel()));
        };
        EXPECT_EQ(edge(3), edge(1)) << "the disabled edge is not the plain one";
        EXPECT_NE(edge(2), edge(1));
        EXPECT_NE(edge(4), edge(1));
    }
}

}  // namespace
}  // namespace skin
