#include "tools/skinmaker/skin_art.h"

#include <cmath>
#include <functional>
#include <map>

namespace skinmaker {

namespace {

constexpr int kBorderWidth = 6;

enum State { kNormal, kHot, kPressed, kDisabled, kFocused };

// A strip of frames side by side (or stacked), each painted by paint(canvas, x, y, frame).
skin_pack::Rgb24Picture Strip(int frames, int w, int h, bool stacked,
                              const std::function<void(Canvas&, int, int, int)>& paint) {
    Canvas c(stacked ? w : w * frames, stacked ? h * frames : h);
    for (int f = 0; f < frames; ++f) paint(c, stacked ? 0 : f * w, stacked ? f * h : 0, f);
    return c.picture;
}

class Painter {
public:
    explicit Painter(const SkinParams& p) : p_(p) {}

    SkinArt Run();

private:
    // The probe skin paints every frame flat in a colour of its own.
    Rgb ProbeColour() {
        const int n = ++probeIndex_ + p_.probeShift;
        const Rgb c{(n * 37) % 200 + 20, (n * 71) % 200 + 30, (n * 113) % 160 + 10};
        pendingProbe_.push_back(c);
        return c;
    }
    skin_pack::Rgb24Picture Probe(int frames, int w, int h, bool stacked = false) {
        return Strip(frames, w, h, stacked, [&](Canvas& c, int x, int y, int) { c.Fill(x, y, w, h, ProbeColour()); });
    }

    bool Dark() const { return p_.face.r + p_.face.g + p_.face.b < 3 * 128; }
    Rgb Inactive(Rgb c) const { return Mix(c, p_.face, 0.55); }
    Rgb StateFace(int state) const {
        switch (state) {
        case kHot: return Lighter(p_.face, Dark() ? 0.1 : 0.25);  // light text keeps its contrast
        // On a dark face pressing lightens, or black would stay black.
        case kPressed: return Dark() ? Lighter(p_.face, 0.06) : Darker(p_.face, 0.12);
        case kDisabled: return Mix(p_.face, Rgb{128, 128, 128}, 0.15);
        default: return p_.face;
        }
    }
    void Add(const std::string& name, const skin_pack::Rgb24Picture& picture) {
        art_.entries.push_back({name, skin_pack::Bmp24Bytes(picture)});
        if (!pendingProbe_.empty()) art_.probeFrames.push_back({name, std::move(pendingProbe_)});
        pendingProbe_.clear();
    }

    void Borders();
    void CaptionButtons();
    void PushButtons();
    void Marks();
    void ScrollBars();
    void Controls();
    void Menus();
    void Text();

    const SkinParams& p_;
    SkinArt art_;
    int probeIndex_ = 0;
    std::vector<Rgb> pendingProbe_;
    std::string ini_;
};

void Painter::Borders() {
    const int r = p_.probe ? 0 : std::min(p_.cornerRadius, kBorderWidth);
    auto title = [&](Canvas& c, int x, int y, int w, int h, bool active) {
        const Rgb top = active ? p_.titleTop : Inactive(p_.titleTop), bottom = active ? p_.titleBottom : Inactive(p_.titleBottom);
        c.VerticalGradient(x, y, w, h, top, bottom);
        c.Fill(x, y, w, 1, p_.border);
        c.Fill(x, y + 1, w, 1, Lighter(top, 0.35));
        c.Fill(x, y + h - 1, w, 1, Darker(bottom, 0.25));
    };
    if (p_.probe) {
        Add("top.bmp", Probe(2, 60, kTitleHeight, true));
        Add("left.bmp", Probe(2, kBorderWidth, 60));
        Add("right.bmp", Probe(2, kBorderWidth, 60));
        Add("bottom.bmp", Probe(2, 60, kBorderWidth, true));
        return;
    }
    Add("top.bmp", Strip(2, 60, kTitleHeight, true, [&](Canvas& c, int x, int y, int f) { title(c, x, y, 60, kTitleHeight, f == 0); }));
    for (bool left : {true, false}) {
        Add(left ? "left.bmp" : "right.bmp", Strip(2, kBorderWidth, 60, false, [&](Canvas& c, int x, int y, int f) {
                const bool active = f == 0;
                // The side borders run the full height: their top part continues the title bar.
                title(c, x, y, kBorderWidth, kTitleHeight, active);
                const Rgb side = active ? p_.titleBottom : Inactive(p_.titleBottom);
                c.Fill(x, y + kTitleHeight, kBorderWidth, 60 - kTitleHeight, side);
                c.Fill(left ? x : x + kBorderWidth - 1, y, 1, 60, p_.border);
                c.Fill(left ? x + kBorderWidth - 1 : x, y + kTitleHeight, 1, 60 - kTitleHeight, Darker(side, 0.2));
                c.Fill(x, y + 59, kBorderWidth, 1, p_.border);
                if (r > 0) {
                    // Cut the window's top corner, the curve drawn in the frame line.
                    for (int j = 0; j < r; ++j)
                        for (int i = 0; i < r; ++i) {
                            const double dx = r - i - 0.5, dy = r - j - 0.5, d = std::sqrt(dx * dx + dy * dy);
                            const int px = left ? x + i : x + kBorderWidth - 1 - i;
                            if (d > r) c.Set(px, y + j, kMagenta);
                            else if (d > r - 1.2) c.Set(px, y + j, p_.border);
                        }
                }
            }));
    }
    Add("bottom.bmp", Strip(2, 60, kBorderWidth, true, [&](Canvas& c, int x, int y, int f) {
            const Rgb side = f == 0 ? p_.titleBottom : Inactive(p_.titleBottom);
            c.Fill(x, y, 60, kBorderWidth, side);
            c.Fill(x, y, 60, 1, Darker(side, 0.2));
            c.Fill(x, y + kBorderWidth - 1, 60, 1, p_.border);
        }));
}

void Painter::CaptionButtons() {
    const struct { const char* file; int action; int x; std::initializer_list<const char*> glyph; } kButtons[] = {
        {"close.bmp", 0, 24, {"#......#", ".#....#.", "..#..#..", "...##...", "...##...", "..#..#..", ".#....#.", "#......#"}},
        {"max.bmp", 1, 44, {"########", "########", "#......#", "#......#", "#......#", "#......#", "#......#", "########"}},
        {"min.bmp", 2, 64, {"........", "........", "........", "........", "........", "........", "########", "########"}},
    };
    constexpr int kSize = 18;
    for (const auto& b : kButtons) {
        skin_pack::Rgb24Picture picture = p_.probe ? Probe(4, kSize, kSize) : Strip(4, kSize, kSize, false, [&](Canvas& c, int x, int y, int f) {
            const bool close = b.action == 0;
            Rgb base = close ? Mix(p_.titleBottom, Rgb{200, 50, 50}, 0.75) : Lighter(p_.titleBottom, 0.12);
            if (f == 1) base = Lighter(base, 0.25);
            if (f == 2) base = Darker(base, 0.25);
            if (f == 3) base = Inactive(base);
            c.VerticalGradient(x + 1, y + 1, kSize - 2, kSize - 2, Lighter(base, 0.15), Darker(base, 0.1));
            c.Frame(x + 1, y + 1, kSize - 2, kSize - 2, Darker(base, 0.35));
            c.RoundCorners(x + 1, y + 1, kSize - 2, kSize - 2, 3, Darker(base, 0.35), true, true);
            c.Fill(x, y, kSize, 1, kMagenta);
            c.Fill(x, y + kSize - 1, kSize, 1, kMagenta);
            c.Fill(x, y, 1, kSize, kMagenta);
            c.Fill(x + kSize - 1, y, 1, kSize, kMagenta);
            c.Glyph(x + 5, y + 5, b.glyph, f == 3 ? Inactive(p_.titleText) : p_.titleText);
        });
        Add(b.file, picture);
        ini_ += std::string("[Button.") + (b.action == 0 ? "Close" : b.action == 1 ? "Max" : "Min") + "]\r\n";
        ini_ += "Action=" + std::to_string(b.action) + "\r\nAlign=1\r\nXcoord=" + std::to_string(b.x) +
                "\r\nYcoord=4\r\nVisibility=0\r\nframe=4\r\nButtonImage=" + b.file + "\r\n";
    }
    // The menu glyphs: restore, maximise, minimise, close, 16 × 16 each on white.
    Canvas glyphs(64, 16, Rgb{255, 255, 255});
    glyphs.Glyph(3, 3, {"...######", "...######", "...#....#", "######..#", "######..#", "#....####", "#....#...", "#....#...", "######..."}, {0, 0, 0});
    glyphs.Glyph(19, 3, {"#########", "#########", "#.......#", "#.......#", "#.......#", "#.......#", "#.......#", "#########"}, {0, 0, 0});
    glyphs.Glyph(35, 10, {"########", "########"}, {0, 0, 0});
    glyphs.Glyph(51, 4, {"##.....##", ".##...##.", "..##.##..", "...###...", "..##.##..", ".##...##.", "##.....##"}, {0, 0, 0});
    art_.menuGlyphs = glyphs.picture;
    // The three MDI buttons: restore, minimise, close, four states each.
    Add("mdi.bmp", p_.probe ? Probe(12, 16, 14) : Strip(12, 16, 14, false, [&](Canvas& c, int x, int y, int f) {
        const Rgb base = StateFace(f % 4);
        c.VerticalGradient(x, y, 16, 14, Lighter(base, 0.2), base);
        c.Frame(x, y, 16, 14, Darker(base, 0.4));
        c.Fill(x + 4, y + 9, 8, 2, p_.faceText);
    }));
    ini_ += "[MDICONTROLS]\r\nImage=mdi.bmp\r\n";
}

void Painter::PushButtons() {
    const Rgb dark = Darker(p_.face, 0.45);
    // The states in the order the engine reads the frames: normal, pressed, disabled, hot or
    // focused, default.
    static const State kButtonFrames[5] = {kNormal, kPressed, kDisabled, kHot, kFocused};
    Add("button.bmp", p_.probe ? Probe(5, 24, 24) : Strip(5, 24, 24, false, [&](Canvas& c, int x, int y, int frame) {
        const State f = kButtonFrames[frame];
        const Rgb face = StateFace(f);
        c.VerticalGradient(x, y, 24, 24, f == kPressed ? Darker(face, 0.05) : Lighter(face, 0.18), face);
        c.Frame(x, y, 24, 24, f == kFocused ? p_.accent : dark);
        if (f == kFocused) c.Frame(x + 1, y + 1, 22, 22, Lighter(p_.accent, 0.5));
        else if (f != kPressed) c.Fill(x + 1, y + 1, 22, 1, Lighter(face, 0.5));
        c.RoundCorners(x, y, 24, 24, 3, f == kFocused ? p_.accent : dark, true, true);
    }));
    ini_ += "[Buttons]\r\nBitmap=button.bmp\r\nLeftWidth=4\r\nRightWidth=4\r\nTopHeight=4\r\nBottomHeight=4\r\nTrans=1\r\n"
            "CheckButton=check.bmp\r\nRadioButton=radio.bmp\r\nCheckButtonFrame=" +
            std::string(p_.probe ? "8" : "12") + "\r\nRadioButtonFrame=8\r\n";
}

void Painter::Marks() {
    // A check box reads a 12-frame strip as rows of four (normal, hot, pressed, disabled):
    // unchecked, checked, mixed; a radio button reads 8 frames as unchecked, then checked.
    auto mark = [&](bool radio) {
        const int frames = radio ? 8 : 12;
        return p_.probe ? Probe(8, 13, 13) : Strip(frames, 13, 13, false, [&](Canvas& c, int x, int y, int f) {
            const bool checked = f >= 4 && f < 8;
            const bool mixed = f >= 8;
            const int state = f % 4;
            const Rgb box = state == kDisabled ? Mix(p_.face, Rgb{255, 255, 255}, 0.3) : Rgb{255, 255, 255};
            const Rgb line = state == kHot ? p_.accent : Darker(p_.face, 0.45);
            c.Fill(x, y, 13, 13, p_.face);
            c.VerticalGradient(x + 1, y + 1, 11, 11, state == kPressed ? Darker(box, 0.1) : box, Darker(box, 0.06));
            c.Frame(x, y, 13, 13, line);
            if (radio) c.RoundCorners(x, y, 13, 13, 5, line, true, true);
            const Rgb ink = state == kDisabled ? Darker(p_.face, 0.25) : p_.accent;
            if (checked && !radio) c.Glyph(x + 3, y + 3, {"......#", ".....##", "#...##.", "##.##..", ".###...", "..#...."}, ink);
            if (mixed) c.Glyph(x + 3, y + 5, {"#######", "#######", "#######"}, ink);
            if (checked && radio) c.Glyph(x + 4, y + 4, {".###.", "#####", "#####", "#####", ".###."}, ink);
            if (radio) {  // the outside of the circle takes the face, never magenta
                for (int j = 0; j < 13; ++j)
                    for (int i = 0; i < 13; ++i)
                        if (c.Get(x + i, y + j) == kMagenta) c.Set(x + i, y + j, p_.face);
            }
        });
    };
    Add("check.bmp", mark(false));
    Add("radio.bmp", mark(true));
}

void Painter::ScrollBars() {
    constexpr int t = kScrollBarThickness;
    const Rgb track = Mix(p_.face, Rgb{255, 255, 255}, 0.35);
    // Four frames per arrow in the order the painter reads them (left, right, up, down), each
    // normal, pressed (the frame after the normal one), hot, disabled.
    auto arrowFrame = [&](Canvas& c, int x, int y, int f) {
        const int dir = (f / 4) % 4;
        static const State kArrowStates[4] = {kNormal, kPressed, kHot, kDisabled};
        const State state = kArrowStates[f % 4];
        const Rgb face = StateFace(state);
        c.VerticalGradient(x, y, t, t, Lighter(face, 0.15), face);
        c.Frame(x, y, t, t, Darker(face, 0.35));
        static const std::initializer_list<const char*> kArrows[4] = {
            {"...#", "..##", ".###", "####", ".###", "..##", "...#"},
            {"#...", "##..", "###.", "####", "###.", "##..", "#..."},
            {"...#...", "..###..", ".#####.", "#######"},
            {"#######", ".#####.", "..###..", "...#..."}};
        const bool across = dir < 2;
        c.Glyph(x + (across ? 6 : 5), y + (across ? 5 : 6), kArrows[dir], state == kDisabled ? Darker(face, 0.25) : p_.faceText);
    };
    Add("scrollarrows.bmp", p_.probe ? Probe(23, t, t) : Strip(23, t, t, false, arrowFrame));
    Add("hscroll.bmp", p_.probe ? Probe(4, 20, t) : Strip(4, 20, t, false, [&](Canvas& c, int x, int y, int f) {
        c.Fill(x, y, 20, t, f == 2 ? Darker(track, 0.1) : track);
        c.Fill(x, y, 20, 1, Darker(track, 0.15));
    }));
    Add("vscroll.bmp", p_.probe ? Probe(4, t, 20) : Strip(4, t, 20, false, [&](Canvas& c, int x, int y, int f) {
        c.Fill(x, y, t, 20, f == 2 ? Darker(track, 0.1) : track);
        c.Fill(x, y, 1, 20, Darker(track, 0.15));
    }));
    auto thumb = [&](bool horizontal) {
        const int w = horizontal ? 20 : t, h = horizontal ? t : 20;
        return p_.probe ? Probe(3, w, h) : Strip(3, w, h, false, [&](Canvas& c, int x, int y, int f) {
            const Rgb face = f == 1 ? Lighter(p_.accent, 0.35) : f == 2 ? p_.accent : Lighter(p_.accent, 0.55);
            c.Fill(x, y, w, h, track);
            c.VerticalGradient(x + 1, y + 1, w - 2, h - 2, Lighter(face, 0.2), face);
            c.Frame(x + 1, y + 1, w - 2, h - 2, Darker(face, 0.3));
        });
    };
    Add("hthumb.bmp", thumb(true));
    Add("vthumb.bmp", thumb(false));
    ini_ += "[Scrollbar]\r\nImage=scrollarrows.bmp\r\n"
            "[HorzScroll]\r\nImage=hscroll.bmp\r\nLeftWidth=1\r\nRightWidth=1\r\n"
            "[VertScroll]\r\nImage=vscroll.bmp\r\nTopHeight=1\r\nBottomHeight=1\r\n"
            "[HorzScrollThumb]\r\nImage=hthumb.bmp\r\nLeftWidth=4\r\nRightWidth=4\r\nTopHeight=3\r\nBottomHeight=3\r\nFrameCount=3\r\n"
            "[VertScrollThumb]\r\nImage=vthumb.bmp\r\nLeftWidth=3\r\nRightWidth=3\r\nTopHeight=4\r\nBottomHeight=4\r\nFrameCount=3\r\n";
}

void Painter::Controls() {
    const Rgb line = Darker(p_.face, 0.35);
    auto simple = [&](const std::string& file, int frames, int w, int h, const std::function<void(Canvas&, int, int, int)>& paint) {
        Add(file, p_.probe ? Probe(frames, w, h) : Strip(frames, w, h, false, paint));
    };
    simple("tabs.bmp", 5, 30, 22, [&](Canvas& c, int x, int y, int f) {
        const Rgb face = f == 1 ? Lighter(p_.face, 0.3) : f == 2 ? Lighter(p_.face, 0.12) : Darker(p_.face, 0.04);
        c.VerticalGradient(x, y, 30, 22, Lighter(face, 0.2), face);
        c.Frame(x, y, 30, 23, line);
        if (f == 2) c.Fill(x + 1, y, 28, 2, p_.accent);
        c.RoundCorners(x, y, 30, 22, 3, line, true, false);
    });
    simple("tabborder.bmp", 1, 30, 30, [&](Canvas& c, int x, int y, int) {
        c.Fill(x, y, 30, 30, Lighter(p_.face, 0.12));
        c.Frame(x, y, 30, 30, line);
    });
    simple("groupedge.bmp", 2, 20, 20, [&](Canvas& c, int x, int y, int) {
        c.Frame(x + 1, y + 1, 18, 18, line);
        c.Frame(x, y, 20, 20, Lighter(p_.face, 0.4));
        c.Fill(x + 2, y + 2, 16, 16, kMagenta);
    });
    simple("groupbox.bmp", 1, 30, 18, [&](Canvas& c, int x, int y, int) { c.Fill(x, y, 30, 18, p_.face); });
    simple("sunkedge.bmp", 4, 20, 21, [&](Canvas& c, int x, int y, int f) {
        c.Fill(x, y, 20, 21, Rgb{255, 255, 255});
        // The engine's combo frames: normal, pressed, disabled, hot; a disabled box stays plain.
        c.Frame(x, y, 20, 21, f == 1 || f == 3 ? p_.accent : line);
        c.Fill(x + 1, y + 1, 18, 1, Rgb{236, 236, 236});
    });
    simple("combobutton.bmp", 4, 17, 21, [&](Canvas& c, int x, int y, int f) {
        static const State kComboFrames[4] = {kNormal, kPressed, kDisabled, kHot};
        const Rgb face = StateFace(kComboFrames[f]);
        c.VerticalGradient(x, y + 1, 16, 19, Lighter(face, 0.2), face);
        c.Fill(x, y + 1, 1, 19, line);
    });
    simple("extra.bmp", 5, 17, 21, [&](Canvas& c, int x, int y, int f) {
        c.Glyph(x + 4, y + 9, {"#######", ".#####.", "..###..", "...#..."}, f == 3 ? line : p_.faceText);
    });
    simple("header.bmp", 5, 24, 20, [&](Canvas& c, int x, int y, int f) {
        const Rgb face = StateFace(f);
        c.VerticalGradient(x, y, 24, 20, Lighter(face, 0.25), face);
        c.Fill(x + 23, y + 3, 1, 14, line);
        c.Fill(x, y + 19, 24, 1, line);
    });
    simple("toolbar.bmp", 5, 20, 20, [&](Canvas& c, int x, int y, int f) {
        c.VerticalGradient(x, y, 20, 20, Lighter(p_.face, 0.15), StateFace(f));
    });
    simple("status.bmp", 3, 20, 20, [&](Canvas& c, int x, int y, int) {
        c.Fill(x, y, 20, 20, p_.face);
        c.Fill(x, y, 20, 1, line);
    });
    simple("progress.bmp", 2, 20, 14, [&](Canvas& c, int x, int y, int) {
        c.Fill(x, y, 20, 14, Rgb{255, 255, 255});
        c.Frame(x, y, 20, 14, line);
    });
    simple("chunk.bmp", 1, 10, 14, [&](Canvas& c, int x, int y, int) {
        c.VerticalGradient(x, y, 10, 14, Lighter(p_.accent, 0.3), p_.accent);
    });
    for (const char* f : {"updownh.bmp", "updownv.bmp"})
        simple(f, 8, 16, 16, [&](Canvas& c, int x, int y, int fr) {
            const Rgb face = StateFace(fr % 4);
            c.VerticalGradient(x, y, 16, 16, Lighter(face, 0.2), face);
            c.Frame(x, y, 16, 16, line);
        });
    simple("updownglyph.bmp", 8, 16, 16, [&](Canvas& c, int x, int y, int) {
        c.Glyph(x + 5, y + 6, {"..#..", ".###.", "#####"}, p_.faceText);
    });
    simple("trackthumb.bmp", 5, 11, 19, [&](Canvas& c, int x, int y, int f) {
        const Rgb face = f == 1 ? Lighter(p_.accent, 0.3) : f == 2 ? Darker(p_.accent, 0.1) : p_.accent;
        c.VerticalGradient(x, y, 11, 19, Lighter(face, 0.25), face);
        c.Frame(x, y, 11, 19, Darker(face, 0.3));
        c.RoundCorners(x, y, 11, 19, 2, Darker(face, 0.3), true, true);
    });
    ini_ += "[Tabs]\r\nImage=tabs.bmp\r\nBorder=tabborder.bmp\r\nLeftWidth=4\r\nRightWidth=4\r\nTopHeight=4\r\nBottomHeight=2\r\nTrans=1\r\n"
            "[GroupBoxEdge]\r\nImage=groupedge.bmp\r\nLeftWidth=3\r\nRightWidth=3\r\nTopHeight=3\r\nBottomHeight=3\r\nTrans=1\r\n"
            "[GroupBox]\r\nImage=groupbox.bmp\r\n"
            "[SunkEdge]\r\nImage=sunkedge.bmp\r\nLeftWidth=2\r\nRightWidth=2\r\nTopHeight=2\r\nBottomHeight=2\r\n"
            "[ComboButton]\r\nImage=combobutton.bmp\r\nTrans=1\r\n"
            "[ExtraImages]\r\nImage=extra.bmp\r\nTrans=1\r\n"
            "[Headerbar]\r\nImage=header.bmp\r\nLeftWidth=2\r\nRightWidth=2\r\n"
            "[Toolbars]\r\nImage=toolbar.bmp\r\n"
            "[StatusBarEdges]\r\nImage=status.bmp\r\nTopHeight=1\r\n"
            "[Progress]\r\nBitmap=progress.bmp\r\nChunk=chunk.bmp\r\nLeftWidth=2\r\nRightWidth=2\r\nTopHeight=2\r\nBottomHeight=2\r\n"
            "[UpDown.Horz]\r\nImage=updownh.bmp\r\nGlyphImage=updownglyph.bmp\r\nLeftWidth=2\r\nRightWidth=2\r\nTopHeight=2\r\nBottomHeight=2\r\n"
            "[UpDown.Vert]\r\nImage=updownv.bmp\r\nGlyphImage=updownglyph.bmp\r\nLeftWidth=2\r\nRightWidth=2\r\nTopHeight=2\r\nBottomHeight=2\r\n";
    for (const char* t : {"ThumbHorz", "ThumbVert", "ThumbLeft", "ThumbRight", "ThumbUp", "ThumbDown"})
        ini_ += std::string("[Trackbar.") + t + "]\r\nImage=trackthumb.bmp\r\nTrans=1\r\n";
}

void Painter::Menus() {
    // The engine draws frame 1 under an item, frame 4 under the hovered one and frame 2 under
    // a separator (its lower part as high as the separator item).
    Add("menuitem.bmp", p_.probe ? Probe(5, 20, 20) : Strip(5, 20, 20, false, [&](Canvas& c, int x, int y, int f) {
        const int frame = f + 1;
        c.Fill(x, y, 20, 20, frame == 1 || frame == 2 ? p_.menu : p_.accent);
        if (frame == 2) c.Fill(x + 2, y + 15, 16, 1, Mix(p_.menu, p_.menuText, 0.35));
        // A highlight the colour of the menu still shows its ring.
        if (frame == 4) c.Frame(x, y, 20, 20, Contrast(p_.accent, p_.menu) < 1.5 ? p_.accentText : Darker(p_.accent, 0.2));
    }));
    if (p_.menuBackground)
        Add("menuback.bmp", p_.probe ? Probe(1, 20, 20) : Strip(1, 20, 20, false, [&](Canvas& c, int x, int y, int) {
            c.Fill(x, y, 20, 20, p_.menu);
        }));
    Add("menubar.bmp", p_.probe ? Probe(2, 20, 20, true) : Strip(2, 20, 20, true, [&](Canvas& c, int x, int y, int f) {
        c.VerticalGradient(x, y, 20, 20, Lighter(p_.face, 0.1), f == 0 ? p_.face : Inactive(p_.face));
        c.Fill(x, y + 19, 20, 1, Darker(p_.face, 0.2));
    }));
    ini_ += "[MenuItem]\r\nImage=menuitem.bmp\r\nLeftWidth=2\r\nRightWidth=2\r\nTopHeight=2\r\nBottomHeight=2\r\n";
    if (p_.menuBackground) ini_ += "[MenuBackground]\r\nImage=menuback.bmp\r\n";
}

std::string Triple(const char* name, Rgb c) {
    return std::string(name) + "R=" + std::to_string(c.r) + "\r\n" + name + "G=" + std::to_string(c.g) + "\r\n" + name +
           "B=" + std::to_string(c.b) + "\r\n";
}
std::string Colour(Rgb c) { return std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b); }

void Painter::Text() {
    const int trans = p_.transBorders ? 1 : 0;
    std::string personality = "[Personality]\r\n"
        "Left=left.bmp\r\nLeftTopHeight=" + std::to_string(kTitleHeight) + "\r\nLeftBotHeight=6\r\nLeftFrame=2\r\nLeftStretch=1\r\nLeftTrans=" + std::to_string(trans) + "\r\n"
        "Right=right.bmp\r\nRightTopHeight=" + std::to_string(kTitleHeight) + "\r\nRightBotHeight=6\r\nRightFrame=2\r\nRightStretch=1\r\nRightTrans=" + std::to_string(trans) + "\r\n"
        "Top=top.bmp\r\nTopTopHeight=4\r\nTopBotHeight=4\r\nTopFrame=2\r\nTopStretch=1\r\nTopTrans=" + std::to_string(trans) + "\r\n"
        "Bottom=bottom.bmp\r\nBottomTopHeight=4\r\nBottomBotHeight=4\r\nBottomFrame=2\r\nBottomStretch=1\r\nBottomTrans=" + std::to_string(trans) + "\r\n"
        "menuBar=menubar.bmp\r\nTileMenu=0\r\nTileLeftMenu=1\r\nTileRightMenu=1\r\n"
        "TextShift=8\r\nTextShiftVert=0\r\nTextRightClip=80\r\n" +
        Triple("ActiveText", p_.titleText) + Triple("InActiveText", p_.titleText);
    if (p_.captionOnStrip) {
        personality += "TextBack=textback.bmp\r\nTextAlignment=1\r\nTextbackground=1\r\nTXTBackleft=10\r\nTXTBackRight=10\r\n";
        Add("textback.bmp", Strip(2, 40, 20, true, [&](Canvas& c, int x, int y, int f) {
            const Rgb strip = f == 0 ? Darker(p_.titleBottom, 0.3) : Inactive(Darker(p_.titleBottom, 0.3));
            c.Fill(x, y + 2, 40, 16, strip);
            c.RoundCorners(x, y + 2, 40, 16, 8, strip, true, true);
        }));
    } else {
        personality += "TextAlignment=0\r\n";
    }
    // Disabled captions are written in the shadow colour on the disabled face: dark enough to read.
    const Rgb shadow = ReadableOn(Darker(p_.face, 0.35), StateFace(kDisabled));
    std::string colours = "[Colours]\r\n";
    const std::pair<const char*, Rgb> kColours[] = {
        {"WindowText", p_.faceText}, {"ButtonFace", p_.face}, {"Scrollbar", Lighter(p_.face, 0.35)},
        {"HilightText", p_.accentText}, {"Hilight", p_.accent}, {"Menubar", p_.face}, {"Menu", p_.menu},
        {"MenuText", p_.menuText}, {"ButtonText", p_.faceText}, {"ButtonHilight", Lighter(p_.face, 0.6)},
        {"Buttonlight", Lighter(p_.face, 0.3)}, {"ButtonShadow", shadow}, {"ButtonDkShadow", Darker(p_.face, 0.6)},
        {"MenuBarText", p_.faceText}, {"TitleTextActive", p_.titleText}, {"TitleTextNoActive", p_.titleText},
    };
    for (const auto& [key, c] : kColours) colours += std::string(key) + "=" + Colour(c) + "\r\n";
    art_.ini = "[TitlebarSkin]\r\nSkinName=" + p_.name + "\r\n" + personality + "[Fonts]\r\nFontHeight=14\r\n" + colours + ini_;
}

SkinArt Painter::Run() {
    Borders();
    CaptionButtons();
    PushButtons();
    Marks();
    ScrollBars();
    Controls();
    Menus();
    Text();
    art_.entries.insert(art_.entries.begin(), {"skin.ini", std::vector<std::uint8_t>(art_.ini.begin(), art_.ini.end())});
    return std::move(art_);
}

}  // namespace

SkinArt PaintSkin(const SkinParams& p) { return Painter(p).Run(); }

}  // namespace skinmaker
