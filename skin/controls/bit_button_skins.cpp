#include "skin/controls/bit_button_skins.h"

#include "forms/bitmap.h"
#include "forms/canvas.h"
#include "forms/graphics.h"
#include "forms/image_list.h"
#include "forms/win_control.h"
#include "skin/bitmap_transforms.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/portable/glyph_layout.h"
#include "skin/controls/property_access.h"
#include "skin/skin_data.h"

namespace skin {

using forms::TMessage;

namespace {

constexpr UINT CM_UNHOOK_GRAPHIC = 0xB021;
constexpr forms::TColor kMaskedFill = forms::clFuchsia;

GlyphSide SideOf(const std::string& layout) {
    if (layout == "blglyphright") return GlyphSide::Right;
    if (layout == "blglyphtop") return GlyphSide::Top;
    if (layout == "blglyphbottom") return GlyphSide::Bottom;
    return GlyphSide::Left;
}

// One frame of a glyph strip, greyed for the disabled frame.
struct GlyphFrameBitmap {
    forms::TBitmap bitmap;
    COLORREF key = 0;
};

void CutGlyph(forms::TBitmap& glyph, int frames, int index, bool grey, GlyphFrameBitmap& out) {
    const int w = glyph.Width() / frames;
    const int h = glyph.Height();
    out.bitmap.SetSize(w, h);
    BitBlt(out.bitmap.Canvas()->Handle(), 0, 0, w, h, glyph.Canvas()->Handle(), (index - 1) * w, 0, SRCCOPY);
    if (grey) GrayBitmap(out.bitmap);
    out.key = GetPixel(out.bitmap.Canvas()->Handle(), 0, h - 1);
}

// The glyph frame of the button's state: from its Glyph strip, or without one from its
// image list (the DisabledIndex image while disabled, else the ImageIndex image greyed).
// False when there is none, an index outside the list included.
bool CutButtonGlyph(const forms::TControl* owner, bool pressed, bool enabled, GlyphFrameBitmap& out) {
    if (auto* glyph = GetObjectPropByName<forms::TBitmap>(owner, "Glyph"); glyph != nullptr && glyph->Width() > 0 && glyph->Height() > 0) {
        const int frames = GlyphFrames(static_cast<int>(GetOrdPropByName(owner, "NumGlyphs")), glyph->Width());
        const int index = GlyphFrame(pressed, enabled, frames);
        CutGlyph(*glyph, frames, index, index == 2, out);
        return true;
    }
    auto* images = GetObjectPropByName<forms::TImageList>(owner, "Images");
    if (images == nullptr) return false;
    const int normal = static_cast<int>(GetOrdPropByName(owner, "ImageIndex"));
    const int disabled = static_cast<int>(GetOrdPropByName(owner, "DisabledIndex"));
    const bool ownDisabled = !enabled && disabled != -1;
    const int index = ownDisabled ? disabled : normal;
    if (!images->Valid(index)) return false;
    // Masked pixels come out in the fill colour, which the bottom-left key then leaves out.
    forms::TBitmap image;
    images->GetBitmap(index, image, kMaskedFill);
    CutGlyph(image, 1, 1, !enabled && !ownDisabled, out);
    return true;
}

}  // namespace

void TSkinBitButton::DrawSkin(HDC dc, const RECT& rect) {
    const SkinElements* e = Elements();
    if (e == nullptr || !e->buttons || e->buttons->image.empty()) return;
    focused_ = GetFocus() == Handle();
    enabled_ = (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_DISABLED) == 0;
    const bool pressed = (state_ & kStatePressed) != 0;
    // Focus wins over default here, unlike the plain push button.
    int frame = 1;
    if (EnumLower(Control(), "Default") == "true") frame = 5;
    if (focused_) frame = 4;
    if (pressed) frame = 2;
    else if (state_ & kStateHot) frame = 4;
    if (!enabled_) frame = 3;
    RECT r = rect;
    OffsetRect(&r, -r.left, -r.top);
    forms::TBitmap bitmap(r.right, r.bottom, forms::pf24bit);
    HDC mem = bitmap.Canvas()->Handle();
    DrawFace(mem, r, frame, pressed, true, false);
    BitBlt(dc, rect.left, rect.top, r.right, r.bottom, mem, 0, 0, SRCCOPY);
}

void TSkinBitButton::DrawFace(HDC mem, const RECT& client, int frame, bool pressed, bool drawElement, bool speed) {
    const SkinElements* e = Elements();
    const TDataSkinButton& b = *e->buttons;
    forms::TControl* owner = Control() != nullptr ? static_cast<forms::TControl*>(Control()) : GraphicControl();
    FillFace(mem, client);
    if (drawElement) DrawElement(mem, client, b.FrameCount > 1 ? b.FrameCount : 5, frame, b);

    std::wstring caption = GetWidePropByName(owner, "Caption");
    if (const size_t bar = caption.find(L"||"); bar != std::wstring::npos) caption.replace(bar, 2, L"\r\n");
    text_ = caption;
    HGDIOBJ oldFont = owner != nullptr ? SelectObject(mem, owner->Font()->Handle()) : nullptr;
    COLORREF colour = owner != nullptr ? forms::ColorToRGB(owner->Font()->Color()) : 0;
    if (frame == 1 && b.NormalColour2Present) colour = forms::ColorToRGB(static_cast<forms::TColor>(b.NormalColour2));
    if (frame == 4 && b.MouseOverColour2Present) colour = forms::ColorToRGB(static_cast<forms::TColor>(b.MouseOverColour2));
    if (frame == 2 && b.PressedColour2Present) colour = forms::ColorToRGB(static_cast<forms::TColor>(b.PressedColour2));
    if (!enabled_) colour = DisabledTextColour();
    SetTextColor(mem, colour);
    SetBkMode(mem, TRANSPARENT);

    GlyphFrameBitmap cut;
    const bool hasGlyph = CutButtonGlyph(owner, pressed, enabled_, cut);
    if (speed && !hasGlyph) {
        DrawCaption(mem, client, caption, 1);
        if (oldFont != nullptr) SelectObject(mem, oldFont);
        return;
    }
    GlyphLayoutInput in;
    in.clientWidth = client.right - client.left;
    in.clientHeight = client.bottom - client.top;
    if (hasGlyph) {
        in.glyphWidth = cut.bitmap.Width();
        in.glyphHeight = cut.bitmap.Height();
    }
    const GlyphSide side = SideOf(EnumLower(owner, "Layout"));
    UINT textFlags = DT_WORDBREAK;
    if (side == GlyphSide::Right) textFlags |= DT_RIGHT;
    if (side == GlyphSide::Top || side == GlyphSide::Bottom) textFlags |= DT_CENTER;
    if (!caption.empty()) {
        RECT measured = client;
        DrawTextW(mem, caption.c_str(), static_cast<int>(caption.size()), &measured, textFlags | DT_CALCRECT);
        in.textWidth = measured.right - measured.left;
        in.textHeight = measured.bottom - measured.top;
    }
    in.side = side;
    in.margin = static_cast<int>(GetOrdPropByName(owner, "Margin"));
    in.spacing = static_cast<int>(GetOrdPropByName(owner, "Spacing"));
    in.centreAlignment = EnumLower(owner, "Alignment") == "tacenter";
    in.speedButton = speed;
    const GlyphPlacement at = PlaceGlyph(in);
    if (hasGlyph) {
        TransparentBlt(mem, client.left + at.glyphX, client.top + at.glyphY, in.glyphWidth, in.glyphHeight,
                       cut.bitmap.Canvas()->Handle(), 0, 0, in.glyphWidth, in.glyphHeight, cut.key);
    }
    if (!caption.empty()) {
        RECT t{client.left + at.textX, client.top + at.textY, client.left + at.textX + in.textWidth,
               client.top + at.textY + in.textHeight};
        // A last letter's overhang lies past the measured box: not clipped to it.
        DrawTextW(mem, caption.c_str(), static_cast<int>(caption.size()), &t, textFlags | DT_NOCLIP);
    }
    if (oldFont != nullptr) SelectObject(mem, oldFont);
}

TSkinSpeedButton::~TSkinSpeedButton() { UnhookControl(); }

bool TSkinSpeedButton::AttachGraphicControl(TControlSkinList* list, TSkinData* data) {
    if (Attached()) return false;
    auto* button = dynamic_cast<forms::TControl*>(Owner());
    if (button == nullptr) return false;
    SetData(data);
    SetGraphicControl(button);
    SetList(list);
    HookControl(button);
    const bool listedAlready = list != nullptr && list->Add(this);
    SetLifeState(kLifeAttached);
    MarkAttached();
    button->Invalidate();
    return !listedAlready;
}

int TSkinSpeedButton::Frame() const {
    forms::TControl* button = GraphicControl();
    int frame = (state_ & kStatePressed) ? 2 : (state_ & kStateHot) ? 4 : 1;
    if (EnumLower(button, "Down") == "true") frame = 2;
    else if (EnumLower(button, "Enabled") != "true") frame = 3;
    return frame;
}

void TSkinSpeedButton::Draw(HDC dc, const RECT& client) {
    const SkinElements* e = Elements();
    if (e == nullptr || !e->buttons || e->buttons->image.empty()) return;
    forms::TControl* button = GraphicControl();
    enabled_ = button->Enabled();
    const int frame = Frame();
    // A flat button shows the element only while hot or pressed.
    const bool element = EnumLower(button, "Flat") != "true" || frame == 2 || frame == 4;
    RECT r = client;
    OffsetRect(&r, -r.left, -r.top);
    if (r.right <= 0 || r.bottom <= 0) return;
    forms::TBitmap bitmap(r.right, r.bottom, forms::pf24bit);
    HDC mem = bitmap.Canvas()->Handle();
    DrawFace(mem, r, frame, frame == 2, element, true);
    BitBlt(dc, client.left, client.top, r.right, r.bottom, mem, 0, 0, SRCCOPY);
}

bool TSkinSpeedButton::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT:
            if (m.WParam != 0) {
                forms::TControl* button = GraphicControl();
                try {
                    Draw(reinterpret_cast<HDC>(m.WParam), RECT{0, 0, button->Width(), button->Height()});
                } catch (...) {
                    CountPaintError();
                }
                m.Result = 1;
                return false;
            }
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const std::weak_ptr<void> alive = LifeToken();
            CallDefault(m);  // the button presses itself
            if (alive.expired()) return false;
            state_ |= kStatePressed;
            PaintFrame(nullptr);
            return false;
        }
        default: return TSkinButton::BeforeMessage(m);
    }
}

void TSkinSpeedButton::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_NCDESTROY:
        case CM_UNHOOK_GRAPHIC: UnhookControl(); break;
        case WM_KEYDOWN:
            if (m.WParam == VK_SPACE) {
                state_ |= kStatePressed;
                PaintFrame(nullptr);
            }
            break;
        case WM_KEYUP:
        case WM_LBUTTONUP:
            if (m.Msg == WM_LBUTTONUP || m.WParam == VK_SPACE) {
                state_ &= ~kStatePressed;
                PaintFrame(nullptr);
            }
            break;
        case forms::CM_MOUSEENTER:
            if (m.LParam == 0 || m.LParam == reinterpret_cast<LPARAM>(GraphicControl())) {
                state_ |= kStateHot;
                PaintFrame(nullptr);
            }
            break;
        case forms::CM_MOUSELEAVE:
            if (m.LParam == 0 || m.LParam == reinterpret_cast<LPARAM>(GraphicControl())) {
                state_ &= ~(kStateHot | kStatePressed);
                if (GraphicControl()->Visible()) PaintFrame(nullptr);
            }
            break;
        default: TSkinButton::AfterMessage(m); break;
    }
}

void TSkinSpeedButton::PaintFrame(HDC) {
    // Drawn straight onto the parent's window at the button's place.
    forms::TControl* button = GraphicControl();
    forms::TWinControl* parent = button != nullptr ? button->Parent() : nullptr;
    if (parent == nullptr || !parent->HandleAllocated() || !button->Visible()) return;
    HWND wnd = parent->WindowHandle();
    HDC dc = GetDC(wnd);
    if (dc == nullptr) return;
    try {
        Draw(dc, RECT{button->Left(), button->Top(), button->Left() + button->Width(), button->Top() + button->Height()});
    } catch (...) {
        CountPaintError();
    }
    ReleaseDC(wnd, dc);
}

}  // namespace skin
