#include "skin/portable/skin_parse.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

#include "forms/portable/text_case.h"
#include "skin/portable/bitmap_transforms.h"
#include "skin/portable/skin_bitmap.h"
#include "skin/portable/skin_slicing.h"

namespace skin {

namespace {

// System colour indexes of the defaults.
enum : std::uint32_t {
    kColorScrollbar = 0, kColorMenu = 4, kColorMenuText = 7, kColorWindowText = 8, kColorCaptionText = 9,
    kColorHighlight = 13, kColorHighlightText = 14, kColorBtnFace = 15, kColorBtnShadow = 16, kColorBtnText = 18,
    kColorInactiveCaptionText = 19, kColorBtnHighlight = 20, kColor3dDkShadow = 21,
};
constexpr std::uint32_t Sys(std::uint32_t index) { return kSystemColour + index; }

constexpr const char* kBorderNames[4] = {"Left", "Right", "Top", "Bottom"};

// A skin past one of the bounds: the parse stops and the skin is refused with the message.
class SkinRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::size_t BytesOf(int width, int height) { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3; }

class Parser {
public:
    Parser(const TQuickIni& ini, TSkinReader& reader, int scrollBarWidth)
        : ini_(ini), reader_(reader), cx_(scrollBarWidth) {}

    SkinElements Run();

private:
    // Every picture the parse makes is counted, so that no text can make it hold more.
    void Spend(std::size_t bytes) {
        if (bytes > kMaxSkinPixelBytes - spent_) throw SkinRefused(kSkinTooLargeMessage);
        spent_ += bytes;
    }
    // Each bitmap is decoded once, however many sections name it.
    SkinImage Image(std::string_view section, std::string_view key) {
        const std::string entry = forms::LowerAscii(ImageEntryName(ini_.ReadString(section, key, "")));
        if (entry.empty()) return SkinImage();
        const auto known = decoded_.find(entry);
        if (known != decoded_.end()) return known->second;
        forms::TMemoryStream bytes;
        reader_.GetEntry(entry, bytes);
        SkinImage image(DecodeSkinBitmap(bytes.Memory(), static_cast<std::size_t>(bytes.Size())));
        Spend(BytesOf(image.width(), image.height()));
        decoded_.emplace(entry, image);
        return image;
    }
    // A picture of this element's own from a shared one (mirrored or cut).
    forms::PixelBuffer& OwnCopy(SkinImage& image) {
        Spend(BytesOf(image.width(), image.height()));
        return image.Mutable();
    }
    int Int(std::string_view section, std::string_view key, int defaultValue) {
        return ini_.ReadInteger(section, key, defaultValue);
    }

    void Standard(std::string_view section, TDataSkinObject& e, bool withStyle) {
        e.name = std::string(section);
        if (withStyle) e.Style = Int(section, "Style", 0);
        e.LeftWidth = Int(section, "LeftWidth", 0);
        e.RightWidth = Int(section, "RightWidth", 0);
        e.TopHeight = Int(section, "TopHeight", 0);
        e.BottomHeight = Int(section, "BottomHeight", 0);
        e.Trans = Int(section, "Trans", 0);
        e.Tile = Int(section, "Tile", 0);
        if (e.Tile > 1) e.Tile = 0;
        e.NormalColour = Int(section, "NormalColour", -1);
        e.MouseOverColour = Int(section, "MouseOverColour", -1);
        e.PressedColour = Int(section, "PressedColour", -1);
        e.NormalColour2 = ReadColour(ini_, section, "NormalColour2", out_.colours.ButtonText);
        e.MouseOverColour2 = ReadColour(ini_, section, "MouseOverColour2", out_.colours.ButtonText);
        e.PressedColour2 = ReadColour(ini_, section, "PressedColour2", out_.colours.ButtonText);
    }

    // Kinds of the elements kept by section name: which class, which keys beyond the standard ones.
    enum class Kind { Plain, PlainNoStyle, BorderNoStyle, UpDown, GroupBox };
    void Part(std::string_view section, Kind kind, int frames);

    void Colours();
    void CaptionButtons();
    void ButtonsSection();
    void Title();
    void Progress();
    void MenuBar();
    void Borders();
    void ComboStrip();

    const TQuickIni& ini_;
    TSkinReader& reader_;
    int cx_;
    std::vector<std::string> sections_;
    SkinElements out_;
    std::unordered_map<std::string, SkinImage> decoded_;  // by lower-cased entry name
    std::size_t spent_ = 0;
};

// Counts below 1 would divide by zero in every painter; counts above the image's length give
// frames of no width.
// An element without an image keeps what was written (the title's margins are text offsets).
void ClampFrames(TDataSkinObject& e, bool stacked = false) {
    if (e.image.empty()) {
        e.FrameCount = std::max(e.FrameCount, 1);
        return;
    }
    e.FrameCount = std::clamp(e.FrameCount, 1, stacked ? e.image.height() : e.image.width());
    const SkinRect f = FrameRect(e.image.width(), e.image.height(), e.FrameCount, 1, stacked);
    e.LeftWidth = std::clamp(e.LeftWidth, 0, f.Width());
    e.RightWidth = std::clamp(e.RightWidth, 0, f.Width());
    e.TopHeight = std::clamp(e.TopHeight, 0, f.Height());
    e.BottomHeight = std::clamp(e.BottomHeight, 0, f.Height());
}

void Parser::Part(std::string_view section, Kind kind, int frames) {
    SkinImage image = Image(section, "Image");
    if (image.empty()) return;
    std::unique_ptr<TDataSkinObject> e;
    switch (kind) {
    case Kind::Plain:
    case Kind::PlainNoStyle:
        e = std::make_unique<TDataSkinObject>();
        break;
    case Kind::BorderNoStyle:
    case Kind::UpDown:
        e = std::make_unique<TDataSkinBorder>();
        break;
    case Kind::GroupBox: {
        auto g = std::make_unique<TDataSkinBoxLabel>();
        g->BackgroundAlignment = Int(section, "BackgroundAlignment", 0);
        g->BackgroundLeftShift = Int(section, "BackgroundLeftShift", 0);
        g->BackgroundRightShift = Int(section, "BackgroundRightShift", 0);
        e = std::move(g);
        break;
    }
    }
    Standard(section, *e, kind == Kind::Plain || kind == Kind::GroupBox);
    e->image = std::move(image);
    if (auto* b = dynamic_cast<TDataSkinBorder*>(e.get())) {
        if (section == "Tabs") b->image2 = Image(section, "Border");
        if (kind == Kind::UpDown) b->image2 = Image(section, "GlyphImage");
    }
    e->FrameCount = frames;
    out_.parts[std::string(section)] = std::move(e);
}

void Parser::Colours() {
    const struct { const char* key; std::uint32_t SkinColours::*field; std::uint32_t fallback; } kTable[] = {
        {"WindowText", &SkinColours::WindowText, Sys(kColorWindowText)},
        {"ButtonFace", &SkinColours::ButtonFace, Sys(kColorBtnFace)},
        {"Scrollbar", &SkinColours::Scrollbar, Sys(kColorScrollbar)},
        {"HilightText", &SkinColours::HilightText, Sys(kColorHighlightText)},
        {"Hilight", &SkinColours::Hilight, Sys(kColorHighlight)},
        {"Menubar", &SkinColours::Menubar, 0},  // ButtonFace just read, filled in below
        {"Menu", &SkinColours::Menu, Sys(kColorMenu)},
        {"MenuText", &SkinColours::MenuText, Sys(kColorMenuText)},
        {"ButtonText", &SkinColours::ButtonText, Sys(kColorBtnText)},
        {"ButtonHilight", &SkinColours::ButtonHilight, Sys(kColorBtnHighlight)},
        {"Buttonlight", &SkinColours::Buttonlight, Sys(kColorBtnHighlight)},
        {"ButtonShadow", &SkinColours::ButtonShadow, Sys(kColorBtnShadow)},
        {"ButtonDkShadow", &SkinColours::ButtonDkShadow, Sys(kColor3dDkShadow)},
        {"MenuBarText", &SkinColours::MenuBarText, Sys(kColorMenuText)},
        {"TitleTextActive", &SkinColours::TitleTextActive, Sys(kColorCaptionText)},
        {"TitleTextNoActive", &SkinColours::TitleTextNoActive, Sys(kColorInactiveCaptionText)},
    };
    for (const auto& c : kTable) {
        const std::uint32_t fallback = c.field == &SkinColours::Menubar ? out_.colours.ButtonFace : c.fallback;
        out_.colours.*c.field = ReadColour(ini_, "Colours", c.key, fallback);
    }
    for (const std::string& s : sections_) {
        const std::string upper = forms::UpperAscii(s);
        if (upper.starts_with("COLOUR") && upper != "COLOURS")
            out_.palette.push_back(ReadColour(ini_, s, "color", Sys(kColorWindowText)));
    }
    for (int i = 0; i < 10; ++i)
        out_.customColours[i] = ReadColour(ini_, "Customcolors", "Color" + std::to_string(i), 0xFFFFFF);
}

void Parser::CaptionButtons() {
    for (const std::string& s : sections_) {
        const std::string upper = forms::UpperAscii(s);
        if (!upper.starts_with("BUTTON") || upper == "BUTTON" || upper == "BUTTONS" || upper == "BUTTON.RADIO" ||
            upper == "BUTTON.CHECKBOX")
            continue;
        const int action = Int(s, "Action", 0);
        if (action == -1 && Int(s, "Visibility", -1) != 0) continue;
        // Every frame paint lays out and draws each one.
        if (out_.captionButtons.size() == kMaxCaptionButtons) throw SkinRefused(kTooManyCaptionButtonsMessage);
        auto b = std::make_unique<TDataSkinSysButton>();
        b->name = upper;
        b->Action = action;
        b->Align = Int(s, "Align", 0);
        b->Xcoord = Int(s, "Xcoord", 0);
        b->Ycoord = Int(s, "Ycoord", 0);
        b->Visibility = Int(s, "Visibility", 0);
        b->Visibility1 = Int(s, "Visibility1", action == -1 ? -1 : 0);
        b->CombineOp = Int(s, "CombineOp", -1);
        b->image = Image(s, "ButtonImage");
        const int frame = Int(s, "frame", 0);
        if (frame != 0) {
            b->FrameCount = frame;
        } else {
            b->FrameCount = 6;
            if (!b->image.empty()) {
                b->FrameCount = b->image.width() <= 3.8 * b->image.height() ? 3 : 6;
                if (b->Action < 0) b->FrameCount = 6;
            }
        }
        if (b->Action == 3 || b->Action == 11) b->image = SkinImage();
        ClampFrames(*b);
        out_.captionButtons.push_back(std::move(b));
    }
    const SkinImage mdi = Image("MDICONTROLS", "Image");
    const int w = mdi.width() / 12;
    for (int i = 0; i < 3; ++i) {
        auto b = std::make_unique<TDataSkinSysButton>();
        b->name = "MDI" + std::to_string(i);
        b->Action = 7 + i;
        b->Align = b->Visibility = b->Visibility1 = 100;
        b->FrameCount = 4;
        if (w > 0) {
            Spend(BytesOf(4 * w, mdi.height()));
            forms::PixelBuffer part(4 * w, mdi.height(), 3);
            StretchCopy(mdi, {4 * w * i, 0, 4 * w * (i + 1), mdi.height()}, part, {0, 0, 4 * w, mdi.height()});
            b->image = std::move(part);
            b->Xcoord = (w + 4) * (3 - i);
        }
        out_.captionButtons.push_back(std::move(b));
    }
}

void Parser::ButtonsSection() {
    auto& b = out_.buttons;
    b = std::make_unique<TDataSkinButton>();
    Standard("Buttons", *b, false);
    b->image = Image("Buttons", "Bitmap");
    b->checkImage = Image("Buttons", "CheckButton");
    b->radioImage = Image("Buttons", "RadioButton");
    b->NormalColour2Present = !ini_.ReadString("Buttons", "NormalColour2", "").empty();
    b->MouseOverColour2Present = !ini_.ReadString("Buttons", "MouseOverColour2", "").empty();
    b->PressedColour2Present = !ini_.ReadString("Buttons", "PressedColour2", "").empty();
    auto markFrames = [](int written, const SkinImage& image) {
        if (written != 0) return std::clamp(written, 1, std::max(image.width(), 1));
        const int computed = image.width() / (image.height() < 16 ? 13 : 16);
        return std::max(computed, 4);
    };
    b->RadioButtonFrame = markFrames(Int("Buttons", "RadioButtonFrame", 0), b->radioImage);
    b->CheckButtonFrame = markFrames(Int("Buttons", "CheckButtonFrame", 0), b->checkImage);
    b->FrameCount = 5;
}

void Parser::Title() {
    auto& t = out_.title;
    t = std::make_unique<TDataSkinTitle>();
    t->name = "Title";
    t->image = Image("Personality", "TextBack");
    t->LeftWidth = Int("Personality", "TextShift", 0);
    t->TopHeight = Int("Personality", "TextShiftVert", 0);
    t->RightWidth = Int("Personality", "TextRightClip", 0);
    t->TextAlignment = Int("Personality", "TextAlignment", 0);
    t->Textbackground = Int("Personality", "Textbackground", 0);
    t->TXTBackleft = Int("Personality", "TXTBackleft", 0);
    t->TXTBackRight = Int("Personality", "TXTBackRight", 0);
    t->activeText = ReadColourTriple(ini_, "Personality", "ActiveText").value_or(kClNone);
    t->inactiveText = ReadColourTriple(ini_, "Personality", "InActiveText").value_or(kClNone);
    t->FontHeight = Int("Fonts", "FontHeight", 14);
    t->FrameCount = 2;
}

void Parser::Progress() {
    SkinImage image = Image("Progress", "Bitmap");
    if (image.empty()) return;
    auto p = std::make_unique<TDataSkinBorder>();
    Standard("Progress", *p, true);
    p->image = std::move(image);
    p->image2 = Image("Progress", "Chunk");
    p->FrameCount = 2;
    out_.parts["Progress"] = std::move(p);
}

void Parser::MenuBar() {
    SkinImage image = Image("Personality", "menuBar");
    if (image.empty()) return;
    auto m = std::make_unique<TDataSkinObject>();
    m->name = "MenuBar";
    m->image = std::move(image);
    m->Tile = Int("Personality", "TileMenu", 0);
    m->LeftWidth = Int("Personality", "TileLeftMenu", 1);
    m->RightWidth = Int("Personality", "TileRightMenu", 1);
    m->FrameCount = 2;
    out_.menuBar = std::move(m);
}

void Parser::Borders() {
    for (int i = 0; i < 4; ++i) {
        const std::string b = kBorderNames[i];
        auto e = std::make_unique<TDataSkinBorder>();
        e->name = b;
        e->image = Image("Personality", b);
        const int first = Int("Personality", b + "TopHeight", 0), second = Int("Personality", b + "BotHeight", 0);
        if (i < 2) {
            e->TopHeight = first;
            e->BottomHeight = second;
        } else {
            e->LeftWidth = first;
            e->RightWidth = second;
        }
        e->FrameCount = Int("Personality", b + "Frame", 1);
        e->Tile = Int("Personality", b + "Stretch", 1);
        e->Trans = Int("Personality", b + "Trans", 1);
        // Top and bottom hold their frames stacked, the sides side by side.
        ClampFrames(*e, i >= 2);
        out_.borders[i] = std::move(e);
    }
}

void Parser::ComboStrip() {
    TDataSkinObject* sunk = out_.Part("SunkEdge");
    TDataSkinBorder* combo = out_.BorderPart("ComboButton");
    if (!sunk || !combo) return;
    const TDataSkinObject* extra = out_.Part("ExtraImages");
    const int frames = sunk->FrameCount;
    const int buttonWidth = cx_ + 2;
    // The combo button's strip and the sunken edge's mirrored one.
    Spend(2 * BytesOf(kComboStripFrameWidth * frames, kComboStripHeight));
    forms::PixelBuffer strip(kComboStripFrameWidth * frames, kComboStripHeight, 3);
    forms::FillPixels(strip.view(), 0xFF, 0x00, 0xFF);
    const SkinMargins sunkMargins{sunk->LeftWidth, sunk->TopHeight, sunk->RightWidth, sunk->BottomHeight};
    auto sliced = [](const TDataSkinObject& e, int w, int h, int frame) {
        return SliceFrame(w, h, e.image, {e.LeftWidth, e.TopHeight, e.RightWidth, e.BottomHeight}, false, e.Tile != 0,
                          e.FrameCount, frame);
    };
    for (int b = 1; b <= frames; ++b) {
        forms::PixelBuffer work(kComboStripFrameWidth, kComboStripHeight, 3);
        forms::FillPixels(work.view(), 0xFF, 0x00, 0xFF);
        // Magenta under magenta: drawing with or without Trans gives the same pixels.
        KeyedCopy(SliceFrame(kComboStripFrameWidth, kComboStripHeight, sunk->image, sunkMargins, false, sunk->Tile != 0,
                             sunk->FrameCount, b),
                  work, 0, 0);
        const int right = kComboStripFrameWidth - buttonWidth;
        KeyedCopy(sliced(*combo, buttonWidth, kComboStripHeight, std::min(b, combo->FrameCount)), work, right, 0);
        if (extra) KeyedCopy(sliced(*extra, buttonWidth, kComboStripHeight, std::min(b, extra->FrameCount)), work, right, 0);
        // The edit part of the box stays see-through.
        const forms::PixelView hole{work.row(2) + 3 * 2, std::max(right - 2, 0), 16, work.stride(), 3};
        if (!hole.empty()) forms::FillPixels(hole, 0xFF, 0x00, 0xFF);
        StretchCopy(work, {0, 0, kComboStripFrameWidth, kComboStripHeight}, strip,
                    {kComboStripFrameWidth * (b - 1), 0, kComboStripFrameWidth * b, kComboStripHeight});
    }
    combo->image = strip;
    combo->Style = 2;
    combo->LeftWidth = 2;
    combo->TopHeight = sunk->TopHeight;
    combo->BottomHeight = sunk->BottomHeight;
    combo->RightWidth = cx_ + 4;
    combo->FrameCount = frames;
    MirrorPixels(strip);
    sunk->image = std::move(strip);
    sunk->LeftWidth = cx_ + 4;
    sunk->RightWidth = 2;
}

SkinElements Parser::Run() {
    ini_.ReadSections(sections_);
    out_.skinName = ini_.ReadString("TitlebarSkin", "SkinName", "");
    Borders();
    Colours();
    CaptionButtons();
    ButtonsSection();
    Title();
    Progress();
    MenuBar();
    const struct { const char* section; Kind kind; int frames; } kParts[] = {
        {"GroupBoxEdge", Kind::Plain, 2}, {"GroupBox", Kind::GroupBox, 1}, {"Toolbars", Kind::Plain, 5},
        {"Tabs", Kind::BorderNoStyle, 5}, {"StatusBarEdges", Kind::Plain, 3}, {"ComboButton", Kind::BorderNoStyle, 4},
        {"SunkEdge", Kind::Plain, 4}, {"ExtraImages", Kind::Plain, 5}, {"Headerbar", Kind::Plain, 5},
        {"MenuItem", Kind::Plain, 5}, {"MenuBackground", Kind::Plain, 1}, {"Scrollbar", Kind::Plain, 23},
        {"HorzScroll", Kind::Plain, 4}, {"VertScroll", Kind::Plain, 4}, {"HorzScrollThumb", Kind::Plain, 3},
        {"VertScrollThumb", Kind::Plain, 3}, {"Trackbar.ThumbHorz", Kind::Plain, 5}, {"Trackbar.ThumbVert", Kind::Plain, 5},
        {"Trackbar.ThumbLeft", Kind::Plain, 5}, {"Trackbar.ThumbRight", Kind::Plain, 5},
        {"Trackbar.ThumbUp", Kind::Plain, 5}, {"Trackbar.ThumbDown", Kind::Plain, 5},
        {"UpDown.Horz", Kind::UpDown, 8}, {"UpDown.Vert", Kind::UpDown, 8},
    };
    for (const auto& p : kParts) Part(p.section, p.kind, p.frames);
    if (auto* combo = out_.BorderPart("ComboButton")) {
        combo->image2 = combo->image;
        MirrorPixels(OwnCopy(combo->image2));
    }
    for (const char* thumb : {"HorzScrollThumb", "VertScrollThumb"}) {
        if (auto* t = out_.Part(thumb)) t->FrameCount = Int(thumb, "FrameCount", 3);
    }
    if (!out_.title->image.empty())
        out_.title->FrameCount = std::clamp(out_.title->FrameCount, 1, out_.title->image.height());  // stacked
    ClampFrames(*out_.buttons);
    if (out_.menuBar) ClampFrames(*out_.menuBar);
    for (auto& [name, part] : out_.parts) ClampFrames(*part);
    ComboStrip();
    return std::move(out_);
}

}  // namespace

std::optional<SkinElements> ParseSkin(const TQuickIni& ini, TSkinReader& reader, int scrollBarWidth,
                                      const std::function<void(const std::string&)>& showMessage) {
    try {
        return Parser(ini, reader, scrollBarWidth).Run();
    } catch (const SkinRefused& e) {
        if (showMessage) showMessage(e.what());
        return std::nullopt;
    }
}

std::optional<SkinElements> LoadSkinElements(forms::TMemoryStream& skinStream,
                                             const std::function<void(const std::string&)>& showMessage,
                                             int scrollBarWidth) {
    TSkinReader reader;
    reader.ShowMessage = showMessage;
    if (!reader.LoadSkinStream(skinStream)) return std::nullopt;
    forms::TMemoryStream text;
    std::string name;
    reader.FindEntry(".ini", text, name);
    text.SetPosition(0);
    TQuickIni ini;
    ini.LoadFromStream(text);
    return ParseSkin(ini, reader, scrollBarWidth, showMessage);
}

}  // namespace skin

namespace skin {

bool LoadedSkin::Load(forms::TMemoryStream& skinStream, const std::function<void(const std::string&)>& showMessage,
                      int scrollBarWidth) {
    noSkin = true;
    std::optional<SkinElements> fresh = LoadSkinElements(skinStream, showMessage, scrollBarWidth);
    if (!fresh) {
        // The skin parsed last is still whole and still drawn.
        noSkin = !parsed_;
        return false;
    }
    elements = std::move(*fresh);
    noSkin = false;
    parsed_ = true;
    return true;
}

}  // namespace skin
