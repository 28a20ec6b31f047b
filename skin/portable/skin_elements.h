// The skin elements a parsed description yields: bitmaps with margins, frame counts and colours,
// which the frame, menu and control painters read.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "forms/portable/pixels.h"

namespace skin {

constexpr std::uint32_t kClNone = 0x1FFFFFFF;
constexpr std::uint32_t kSystemColour = 0xFF000000;  // plus the system colour's index

// An element's picture. Elements naming one bitmap share its decoded pixels: a copy shares
// them too, and Mutable() first gives this picture pixels of its own.
class SkinImage {
public:
    SkinImage() = default;
    explicit SkinImage(forms::PixelBuffer pixels);
    SkinImage& operator=(forms::PixelBuffer pixels);

    const forms::PixelBuffer& Pixels() const;
    operator const forms::PixelBuffer&() const { return Pixels(); }
    forms::PixelBuffer& Mutable();

    int width() const { return Pixels().width(); }
    int height() const { return Pixels().height(); }
    bool empty() const { return Pixels().empty(); }
    const std::uint8_t* row(int y) const { return Pixels().row(y); }
    const std::uint8_t* data() const { return Pixels().data(); }
    bool SharesPixelsWith(const SkinImage& other) const { return pixels_ != nullptr && pixels_ == other.pixels_; }

private:
    std::shared_ptr<forms::PixelBuffer> pixels_;  // null: empty
};

class TDataSkinObject {
public:
    virtual ~TDataSkinObject() = default;
    int LeftWidth = 0, TopHeight = 0, RightWidth = 0, BottomHeight = 0;
    SkinImage image;
    int Trans = 0;
    int Tile = 0;
    std::string name;
    int FrameCount = 1;
    int Style = 0;
    int NormalColour = -1, MouseOverColour = -1, PressedColour = -1;
    std::uint32_t NormalColour2 = 0, MouseOverColour2 = 0, PressedColour2 = 0;
};

class TDataSkinBorder : public TDataSkinObject {
public:
    SkinImage image2;
};

class TDataSkinButton : public TDataSkinObject {
public:
    SkinImage checkImage, radioImage;
    int RadioButtonFrame = 0, CheckButtonFrame = 0;
    bool NormalColour2Present = false, MouseOverColour2Present = false, PressedColour2Present = false;
};

// LeftWidth, TopHeight and RightWidth hold TextShift, TextShiftVert and TextRightClip; the
// image is TextBack.
class TDataSkinTitle : public TDataSkinObject {
public:
    int TextAlignment = 0, Textbackground = 0, FontHeight = 14, TXTBackleft = 0, TXTBackRight = 0;
    std::uint32_t activeText = kClNone, inactiveText = kClNone;
};

class TDataSkinSysButton : public TDataSkinObject {
public:
    int Action = 0, Align = 0, Xcoord = 0, Ycoord = 0, CombineOp = -1, Visibility = 0, Visibility1 = 0;
};

class TDataSkinBoxLabel : public TDataSkinObject {
public:
    int BackgroundLeftShift = 0, BackgroundRightShift = 0, BackgroundAlignment = 0;
};

struct SkinColours {
    std::uint32_t WindowText, TitleTextActive, TitleTextNoActive, ButtonFace, ButtonText, ButtonHilight, Buttonlight,
        ButtonShadow, ButtonDkShadow, HilightText, Hilight, Menubar, MenuBarText, MenuText, Menu, Scrollbar;
};

// Everything one parse makes; a load swaps it in whole only when the parse succeeded.
struct SkinElements {
    std::string skinName;
    std::array<std::unique_ptr<TDataSkinBorder>, 4> borders;  // Left, Right, Top, Bottom
    std::unique_ptr<TDataSkinTitle> title;
    std::unique_ptr<TDataSkinButton> buttons;
    std::vector<std::unique_ptr<TDataSkinSysButton>> captionButtons;  // the skin's, then the three MDI buttons
    std::unique_ptr<TDataSkinObject> menuBar;
    // Every other element by its section name ("Tabs", "SunkEdge", "HorzScrollThumb" ...);
    // absent when its image is empty.
    std::map<std::string, std::unique_ptr<TDataSkinObject>> parts;
    SkinColours colours{};
    std::vector<std::uint32_t> palette;
    std::array<std::uint32_t, 10> customColours{};

    TDataSkinObject* Part(const std::string& name) const;
    TDataSkinBorder* BorderPart(const std::string& name) const;  // Progress, Tabs, ComboButton, UpDown.*
};

}  // namespace skin
