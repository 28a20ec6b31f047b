// Colour values: plain RGB with red in the low byte, or a system-colour index when the high
// byte is 0xFF. Resolution of system colours to RGB is Win32-bound (graphics.h).
#pragma once
#include <cstdint>

namespace forms {

using TColor = std::int32_t;

constexpr TColor MakeColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
                               (static_cast<std::uint32_t>(b) << 16));
}
constexpr std::uint8_t ColorRed(TColor c) { return static_cast<std::uint8_t>(static_cast<std::uint32_t>(c) & 0xFF); }
constexpr std::uint8_t ColorGreen(TColor c) { return static_cast<std::uint8_t>((static_cast<std::uint32_t>(c) >> 8) & 0xFF); }
constexpr std::uint8_t ColorBlue(TColor c) { return static_cast<std::uint8_t>((static_cast<std::uint32_t>(c) >> 16) & 0xFF); }

constexpr std::uint32_t kSystemColorFlag = 0xFF000000u;

constexpr TColor SystemColor(int index) { return static_cast<TColor>(kSystemColorFlag | static_cast<std::uint32_t>(index)); }
constexpr bool IsSystemColor(TColor c) { return (static_cast<std::uint32_t>(c) & 0xFF000000u) == kSystemColorFlag; }
// The COLOR_xxx index of a system colour (meaningful only when IsSystemColor).
constexpr int SystemColorIndex(TColor c) { return static_cast<int>(static_cast<std::uint32_t>(c) & 0xFF); }

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = MakeColor(0x00, 0x00, 0x00);
constexpr TColor clMaroon = MakeColor(0x80, 0x00, 0x00);
constexpr TColor clGreen = MakeColor(0x00, 0x80, 0x00);
constexpr TColor clOlive = MakeColor(0x80, 0x80, 0x00);
constexpr TColor clNavy = MakeColor(0x00, 0x00, 0x80);
constexpr TColor clPurple = MakeColor(0x80, 0x00, 0x80);
constexpr TColor clTeal = MakeColor(0x00, 0x80, 0x80);
constexpr TColor clGray = MakeColor(0x80, 0x80, 0x80);
constexpr TColor clSilver = MakeColor(0xC0, 0xC0, 0xC0);
constexpr TColor clRed = MakeColor(0xFF, 0x00, 0x00);
constexpr TColor clLime = MakeColor(0x00, 0xFF, 0x00);
constexpr TColor clYellow = MakeColor(0xFF, 0xFF, 0x00);
constexpr TColor clBlue = MakeColor(0x00, 0x00, 0xFF);
constexpr TColor clFuchsia = MakeColor(0xFF, 0x00, 0xFF);
constexpr TColor clAqua = MakeColor(0x00, 0xFF, 0xFF);
constexpr TColor clWhite = MakeColor(0xFF, 0xFF, 0xFF);
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clMedGray = MakeColor(0xA0, 0xA0, 0xA4);
constexpr TColor clMoneyGreen = MakeColor(0xC0, 0xDC, 0xC0);
constexpr TColor clSkyBlue = MakeColor(0xA6, 0xCA, 0xF0);
constexpr TColor clCream = MakeColor(0xFF, 0xFB, 0xF0);

// System colours: 0xFF000000 + the COLOR_xxx index.
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr TColor clHotLight = SystemColor(26);
constexpr TColor clGradientActiveCaption = SystemColor(27);
constexpr TColor clGradientInactiveCaption = SystemColor(28);
constexpr TColor clMenuHighlight = SystemColor(29);
constexpr TColor clMenuBar = SystemColor(30);

}  // namespace forms
