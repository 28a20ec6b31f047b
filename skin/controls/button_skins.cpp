#include "skin/controls/button_skins.h"

#include "forms/bitmap.h"
#include "forms/canvas.h"
#include "forms/graphics.h"
#include "forms/portable/properties.h"
#include "forms/win_control.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/portable/control_frames.h"
#include "skin/controls/property_access.h"
#include "skin/skin_data.h"

namespace skin {

using forms::TMessage;

namespace {

constexpr UINT CM_CHECK_REPAINT = 0xB0D0;

// A mouse-enter or -leave meant for this control (its parents hear their children's too).
bool ForThisControl(const TMessage& m, const forms::TWinControl* control) {
    return m.LParam == 0 || control == nullptr || m.LParam == reinterpret_cast<LPARAM>(control);
}

// The mark of a check box or radio button: the strip's frame stretched into a box beside the
// caption, on the parent's colour, magenta left out.
struct MarkBox {
    RECT mark;
    RECT fill;
};

}  // namespace

void DrawCaption(HDC dc, const RECT& rect, std::wstring text, int alignment) {
    if (const size_t bar = text.find(L"||"); bar != std::wstring::npos) text.replace(bar, 2, L"\r\n");
    const UINT align = alignment == 1 ? DT_CENTER : alignment == 2 ? DT_RIGHT : DT_LEFT;
    SetBkMode(dc, TRANSPARENT);
    RECT measured = rect;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
              align | DT_EXPANDTABS | DT_WORDBREAK | DT_CALCRECT | DT_NOCLIP);
    const int textWidth = measured.right - measured.left;
    const int textHeight = measured.bottom - measured.top;
    OffsetRect(&measured, 0, rect.top - measured.top + ((rect.bottom - rect.top) - textHeight) / 2 - 1);
    if (alignment == 1) {
        OffsetRect(&measured, rect.left - measured.left + ((rect.right - rect.left) - textWidth) / 2, 0);
    } else {
        measured.left = rect.left;
        measured.right = rect.right;
    }
    // Not clipped to the measured box: a last letter's overhang (the arm of an "r") lies
    // past the advance the measure ends at.
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, align | DT_EXPANDTABS | DT_WORDBREAK | DT_NOCLIP);
}

bool TSkinButton::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT: PaintMessage(m); return false;
        case WM_ERASEBKGND: m.Result = 1; return false;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const std::weak_ptr<void> alive = LifeToken();
            if (GetFocus() != Handle()) SetFocus(Handle());
            if (alive.expired()) return false;  // a focus handler freed the form
            state_ |= kStatePressed;
            PaintFrame(nullptr);
            if (Control() != nullptr) ForwardMouseDown(m);
            return false;
        }
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinButton::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_KEYDOWN:
            if (m.WParam == VK_SPACE) {
                state_ |= kStatePressed;
                InvalidateSkin();
            }
            break;
        case WM_KEYUP:
            if (m.WParam == VK_SPACE) {
                state_ &= ~kStatePressed;
                InvalidateSkin();
            }
            break;
        case WM_MOUSEMOVE:
            if ((state_ & kStateHot) == 0) {
                state_ |= kStateHot;
                TControlSkinList* list = List();
                if (list != nullptr && list->HotButton() != nullptr && list->HotButton() != this) {
                    const std::weak_ptr<void> alive = LifeToken();
                    SendMouseLeave(list->HotButton());
                    if (alive.expired()) return;
                }
                if (list == nullptr || list->HotButton() != this) {
                    InvalidateSkin();
                    if (list != nullptr) list->SetHotButton(this);
                }
            }
            break;
        case WM_LBUTTONUP:
            if (state_ & kStatePressed) {
                state_ &= ~kStatePressed;
                InvalidateSkin();
                // The click runs the user's handler, which may close the form and free this skin:
                // nothing is touched after it.
                if (Control() != nullptr) {
                    Control()->Click();
                } else {
                    PostMessageA(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Handle()), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(Handle()));
                }
            }
            break;
        case forms::CM_MOUSEENTER:
            if (enabled_ && ForThisControl(m, Control())) {
                state_ |= kStateHot;
                InvalidateSkin();
                if (List() != nullptr) List()->SetHotButton(this);
            }
            break;
        case forms::CM_MOUSELEAVE:
            if (enabled_ && ForThisControl(m, Control())) {
                state_ &= ~(kStateHot | kStatePressed);
                InvalidateSkin();
                if (List() != nullptr && List()->HotButton() == this) List()->SetHotButton(nullptr);
            }
            break;
        default: TSkinControl::AfterMessage(m); break;
    }
}

void TSkinButton::DrawSkin(HDC dc, const RECT& rect) {
    const SkinElements* e = Elements();
    if (e == nullptr || !e->buttons || e->buttons->image.empty()) return;
    const TDataSkinButton& b = *e->buttons;
    const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    const bool isDefault = (style & 0xF) == BS_DEFPUSHBUTTON;
    focused_ = GetFocus() == Handle();
    enabled_ = (style & WS_DISABLED) == 0;
    text_ = Control() != nullptr ? GetWidePropByName(Control(), "Caption") : WindowText();
    const bool pressed = (state_ & kStatePressed) != 0;
    const bool hot = (state_ & kStateHot) != 0;
    const int frame = PushButtonFrame(focused_, isDefault, pressed, hot, enabled_);

    RECT r = rect;
    OffsetRect(&r, -r.left, -r.top);
    forms::TBitmap bitmap(r.right, r.bottom, forms::pf24bit);
    HDC mem = bitmap.Canvas()->Handle();
    FillFace(mem, r);
    DrawElement(mem, r, 5, frame, b);

    HFONT font = nullptr;
    COLORREF colour;
    if (Control() != nullptr) {
        font = Control()->Font()->Handle();
        colour = forms::ColorToRGB(Control()->Font()->Color());
        if (frame == 1 && b.NormalColour2Present) colour = forms::ColorToRGB(static_cast<forms::TColor>(b.NormalColour2));
        if (frame == 4 && b.MouseOverColour2Present) colour = forms::ColorToRGB(static_cast<forms::TColor>(b.MouseOverColour2));
        if (frame == 2 && b.PressedColour2Present) colour = forms::ColorToRGB(static_cast<forms::TColor>(b.PressedColour2));
        if (!enabled_) colour = DisabledTextColour();
    } else {
        font = reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
        colour = forms::ColorToRGB(static_cast<forms::TColor>(e->colours.ButtonText));
        if (frame == 1) colour = forms::ColorToRGB(static_cast<forms::TColor>(b.NormalColour2));
        if (frame == 4) colour = forms::ColorToRGB(static_cast<forms::TColor>(b.MouseOverColour2));
        if (frame == 2) colour = forms::ColorToRGB(static_cast<forms::TColor>(b.PressedColour2));
        if (!enabled_) colour = DisabledTextColour();
    }
    HGDIOBJ oldFont = font != nullptr ? SelectObject(mem, font) : nullptr;
    SetTextColor(mem, colour);
    DrawCaption(mem, r, text_, 1);
    BitBlt(dc, rect.left, rect.top, r.right, r.bottom, mem, 0, 0, SRCCOPY);
    if (oldFont != nullptr) SelectObject(mem, oldFont);
}

namespace {

MarkBox PlaceMark(const RECT& rect, int w, int h, bool rightButton, bool radio) {
    MarkBox box{};
    const int top = rect.top + ((rect.bottom - rect.top) - h) / 2;
    if (!rightButton) {
        int left;
        if (radio) left = w > 14 ? rect.left : rect.left + (14 - w) / 2;
        else left = w > 14 ? rect.left + 2 : rect.left + (14 - w) / 2 + 1;
        box.mark = RECT{left, top, left + w, top + h};
        box.fill = RECT{rect.left, rect.top, rect.left + 16, rect.bottom};
    } else {
        int right;
        if (radio) right = w > 14 ? rect.right - 1 : rect.right - (14 - w) / 2;
        else right = w > 15 ? rect.right - 1 : rect.right - (15 - w) / 2;
        box.mark = RECT{right - w, top, right, top + h};
        box.fill = RECT{rect.right - 18, rect.top, rect.right, rect.bottom};
    }
    return box;
}

// The messages after which a check box's or radio button's mark may have changed.
bool ChangesTheMark(UINT msg) {
    switch (msg) {
        case BM_SETCHECK:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case forms::CM_EXIT:
        case CM_CHECK_REPAINT: return true;
        default: return false;
    }
}

}  // namespace

void TSkinCheckBox::AttachControl(TControlSkinList* list, TSkinData* data, bool colourControl) {
    TSkinControl::AttachControl(list, data, colourControl);
    rememberedCheck_ = 0;
}

void TSkinCheckBox::AfterMessage(TMessage& m) {
    if (m.Msg == BM_SETCHECK) rememberedCheck_ = static_cast<int>(m.WParam) + 1;
    if (ChangesTheMark(m.Msg)) InvalidateSkin();
    else TSkinControl::AfterMessage(m);
}

void TSkinCheckBox::DrawSkin(HDC dc, const RECT& rect) {
    const SkinElements* e = Elements();
    if (e == nullptr || !e->buttons || e->buttons->checkImage.empty()) return;
    const forms::PixelBuffer& strip = e->buttons->checkImage;
    const int n = e->buttons->CheckButtonFrame > 0 ? e->buttons->CheckButtonFrame : 4;
    const int w = strip.width() / n;
    if (w == 0) return;
    const LRESULT buttonState = SendMessageA(Handle(), BM_GETSTATE, 0, 0);
    bool checked = (buttonState & BST_CHECKED) != 0;
    bool indeterminate = (buttonState & BST_INDETERMINATE) != 0;
    if (Control() != nullptr) {
        const std::string state = EnumLower(Control(), "State");
        if (!state.empty()) {
            if (state.find("uncheck") != std::string::npos) checked = false;
            else if (state.find("check") != std::string::npos) checked = true;
            else if (state.find("gray") != std::string::npos) indeterminate = true;
        } else if (!EnumLower(Control(), "Checked").empty()) {
            checked = EnumLower(Control(), "Checked") == "true";
        }
        if (rememberedCheck_ != 0 && forms::FindPropInfo(Control(), "DataField") != nullptr) {
            // 1 unchecked, 2 checked, 3 (indeterminate) shown as grey.
            checked = rememberedCheck_ == 2;
            if (rememberedCheck_ >= 3) indeterminate = true;
        }
    }
    enabled_ = (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_DISABLED) == 0;
    const int frame = CheckBoxFrame(checked, !enabled_, indeterminate, n);
    const bool right = (GetWindowLongPtrA(Handle(), GWL_STYLE) & BS_RIGHTBUTTON) != 0;
    const MarkBox box = PlaceMark(rect, w, strip.height(), right, false);
    FillParentFace(dc, box.fill);
    DrawStrip(dc, box.mark, strip, n, frame, true);
}

void TSkinRadioButton::AfterMessage(TMessage& m) {
    if (ChangesTheMark(m.Msg)) InvalidateSkin();
    else TSkinControl::AfterMessage(m);
}

void TSkinRadioButton::DrawSkin(HDC dc, const RECT& rect) {
    const SkinElements* e = Elements();
    if (e == nullptr || !e->buttons || e->buttons->radioImage.empty()) return;
    const forms::PixelBuffer& strip = e->buttons->radioImage;
    const int n = e->buttons->RadioButtonFrame > 0 ? e->buttons->RadioButtonFrame : 4;
    const int w = strip.width() / n;
    if (w == 0) return;
    bool checked = (SendMessageA(Handle(), BM_GETCHECK, 0, 0) & 1) != 0;
    if (Control() != nullptr && !EnumLower(Control(), "Checked").empty()) checked = EnumLower(Control(), "Checked") == "true";
    enabled_ = (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_DISABLED) == 0;
    const int frame = RadioButtonFrame(checked, !enabled_, n);
    const bool right = (GetWindowLongPtrA(Handle(), GWL_STYLE) & BS_RIGHTBUTTON) != 0;
    const MarkBox box = PlaceMark(rect, w, strip.height(), right, true);
    FillParentFace(dc, box.fill);
    DrawStrip(dc, box.mark, strip, n, frame, true);
}

}  // namespace skin
