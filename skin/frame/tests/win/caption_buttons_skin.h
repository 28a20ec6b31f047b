// A small skin for the caption-button tests: flat borders and four buttons (close, maximise,
// minimise at the right, the icon at the left) whose four frames have flat colours of their
// own; extra button sections can be added.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "skin/skin_data.h"
#include "tools/skin_pack/bmp_writer.h"
#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/skin_archive.h"

namespace skin::frame_tests {

// The colour of frame f (0-based) of the button with Action a.
constexpr std::uint32_t ButtonColour(int action, int f) { return 0x204000u + static_cast<std::uint32_t>(action) * 0x30 + f * 0x0A0000u; }

inline std::unique_ptr<TSkinData> CaptionButtonsSkin(const std::string& extraButtons = {}, int maxVisibility = 0) {
    using Bytes = std::vector<std::uint8_t>;
    const auto flat = [](int w, int h, std::uint32_t rgb) {
        return skin_pack::Bmp24Bytes(skin_pack::Rgb24Picture{w, h, std::vector<std::uint32_t>(static_cast<size_t>(w * h), rgb)});
    };
    // Written as 0x00BBGGRR; four 16 × 16 frames side by side.
    const auto strip = [](int action) {
        skin_pack::Rgb24Picture p{64, 16, std::vector<std::uint32_t>(64 * 16)};
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 64; ++x) {
                const std::uint32_t c = ButtonColour(action, x / 16);
                p.pixels[static_cast<size_t>(y * 64 + x)] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
            }
        return skin_pack::Bmp24Bytes(p);
    };
    const auto button = [](const char* name, int action, int align, int x, int visibility) {
        return std::string("[Button.") + name + "]\r\nAction=" + std::to_string(action) + "\r\nAlign=" + std::to_string(align) +
               "\r\nXcoord=" + std::to_string(x) + "\r\nYcoord=4\r\nVisibility=" + std::to_string(visibility) +
               "\r\nframe=4\r\nButtonImage=b" + std::to_string(action) + ".bmp\r\n";
    };
    const std::string ini =
        "[Personality]\r\nLeft=side.bmp\r\nLeftFrame=1\r\nLeftTrans=0\r\nRight=side.bmp\r\nRightFrame=1\r\nRightTrans=0\r\n"
        "Top=top.bmp\r\nTopFrame=1\r\nTopTrans=0\r\nBottom=bottom.bmp\r\nBottomFrame=1\r\nBottomTrans=0\r\n" +
        button("Close", 0, 1, 24, 0) + button("Max", 1, 1, 44, maxVisibility) + button("Min", 2, 1, 64, 0) +
        "[Button.Icon]\r\nAction=3\r\nAlign=0\r\nXcoord=6\r\nYcoord=4\r\nVisibility=0\r\n" + extraButtons +
        "[Colours]\r\nButtonFace=200 200 200\r\n";
    std::vector<skin_pack::SkinEntry> entries = {{"skin.ini", Bytes(ini.begin(), ini.end())},
                                                 {"side.bmp", flat(4, 40, 0x404040)},
                                                 {"top.bmp", flat(40, 24, 0x606060)},
                                                 {"bottom.bmp", flat(40, 4, 0x404040)}};
    for (int action : {0, 1, 2, 22}) entries.push_back({"b" + std::to_string(action) + ".bmp", strip(action)});
    const std::vector<std::uint8_t> stream = skin_pack::PackSkinStream(skin_pack::ArchiveBytes(entries));
    auto data = std::make_unique<TSkinData>(nullptr);
    data->SkinStream().WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
    data->LoadSkin();
    return data;
}

}  // namespace skin::frame_tests
