#include "skin/controls/combo_skins.h"

#include "forms/gdi_handle.h"
#include "forms/graphics.h"
#include "forms/win_control.h"
#include "skin/controls/portable/control_frames.h"
#include "skin/controls/scroll_skins.h"
#include "skin/skin_data.h"

namespace skin {

using forms::TMessage;

bool IsPopupOrDesktopChild(HWND wnd) {
    return (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_POPUP) != 0 || GetAncestor(wnd, GA_PARENT) == GetDesktopWindow();
}

TSkinComBox::~TSkinComBox() = default;

void TSkinComBox::AttachControl(TControlSkinList* list, TSkinData* data, bool colourControl) {
    if (Attached()) return;
    TSkinControl::AttachControl(list, data, colourControl);
    HookParts();
}

void TSkinComBox::AttachHandle(HWND wnd, TSkinData* data, TControlSkinList* list) {
    if (Attached()) return;
    TSkinControl::AttachHandle(wnd, data, list);
    HookParts();
}

void TSkinComBox::WindowMadeAgain() {
    // A new style makes new parts: an edit child to hook, a list to give scroll bars.
    editHook_.reset();
    editChild_ = nullptr;
    listHandle_ = nullptr;
    HookParts();
    TSkinControl::WindowMadeAgain();
}

void TSkinComBox::HookParts() {
    style_ = GetWindowLongAW(GWL_STYLE);
    if ((style_ & 3) != CBS_SIMPLE) {
        editChild_ = GetWindow(Handle(), GW_CHILD);
        if (editChild_ != nullptr) {
            editHook_ = std::make_unique<forms::WindowSubclass>(
                editChild_, [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next) {
                    return EditChildMessage(msg, wParam, lParam, next);
                });
        }
        listHandle_ = nullptr;
        return;
    }
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(Handle(), &info)) return;
    listHandle_ = info.hwndList;
    if (listHandle_ != nullptr && !IsPopupOrDesktopChild(listHandle_) && (GetWindowLongPtrA(listHandle_, GWL_STYLE) & WS_CHILD)) {
        auto* bars = new TSkinScrollbarH(Owner());
        bars->AttachHandle(listHandle_, data_, List());
    }
}

LRESULT TSkinComBox::EditChildMessage(UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next) {
    const std::weak_ptr<void> alive = LifeToken();
    const LRESULT result = next(msg, wParam, lParam);
    if (alive.expired()) return result;
    switch (msg) {
        case WM_PAINT: PaintFrame(nullptr); break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            state_ |= kStatePressed;
            InvalidateSkin();
            break;
        case WM_LBUTTONUP:
            state_ &= ~kStatePressed;
            InvalidateSkin();
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: InvalidateSkin(); break;
        default: break;
    }
    return result;
}

void TSkinComBox::Unskin() {
    TSkinControl::Unskin();
    editHook_.reset();
}

void TSkinComBox::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            state_ |= kStatePressed;
            InvalidateSkin();
            break;
        case WM_DRAWITEM:
        case WM_NCPAINT: InvalidateSkin(); break;
        case WM_LBUTTONUP:
            state_ &= ~kStatePressed;
            InvalidateSkin();
            break;
        case WM_COMMAND:
            // The list closing ends the press that opened it.
            if (HIWORD(m.WParam) == CBN_CLOSEUP) {
                state_ &= ~kStatePressed;
                InvalidateSkin();
            }
            break;
        case forms::CM_MOUSEENTER:
            if (enabled_) state_ |= kStateHot;
            break;
        case forms::CM_MOUSELEAVE:
            if (enabled_) state_ &= ~kStateHot;
            break;
        default: TSkinControl::AfterMessage(m); break;
    }
}

void TSkinComBox::DrawSkin(HDC dc, const RECT& rect) {
    const SkinElements* e = Elements();
    const TDataSkinBorder* button = e != nullptr ? e->BorderPart("ComboButton") : nullptr;
    if (button == nullptr || button->image.empty()) return;
    style_ = GetWindowLongAW(GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongAW(GWL_EXSTYLE);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;  // the record's size on this platform, never a fixed number
    if (GetComboBoxInfo(Handle(), &info) && (info.stateButton & STATE_SYSTEM_INVISIBLE) != 0) return;
    enabled_ = (style_ & WS_DISABLED) == 0;
    const HWND focus = GetFocus();
    focused_ = focus == Handle() || (editChild_ != nullptr && focus == editChild_);
    const int d = ComboFrame((state_ & kStatePressed) != 0, focused_ || (state_ & kStateHot) != 0, enabled_);
    const bool leftButton = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
    const TDataSkinObject* sunk = e->Part("SunkEdge");

    // The left-hand strips are mirrored whole, so their frames stand in reverse order.
    auto mirrored = [d](int count) { return count + 1 - ClampFrame(d, count); };
    if (button->Style == 2) {
        const bool left = leftButton && sunk != nullptr;
        TDataSkinObject element = left ? *sunk : static_cast<const TDataSkinObject&>(*button);
        element.Tile = 0;
        element.Trans = 1;
        DrawElement(dc, rect, element.FrameCount, left ? mirrored(element.FrameCount) : d, element);
        return;
    }
    if (button->Style == 1) {
        HBRUSH current = reinterpret_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH));
        RECT r = rect;
        InflateRect(&r, -1, -1);
        FrameRect(dc, &r, current);
        InflateRect(&r, -1, -1);
        const int w = GetSystemMetrics(SM_CYVTHUMB);
        RECT square{r.right - w, r.top, r.right, r.bottom};
        FillRect(dc, &square, current);
        DrawStrip(dc, square, button->image, button->FrameCount, d, false);
        forms::UniqueBrush shadow(CreateSolidBrush(forms::ColorToRGB(static_cast<forms::TColor>(e->colours.ButtonShadow))));
        FrameRect(dc, &rect, shadow.get());
        return;
    }
    const int a = GetSystemMetrics(SM_CXHSCROLL);
    const int saved = SaveDC(dc);
    RECT buttonRect;
    RECT glyph;
    if (!leftButton) {
        ExcludeClipRect(dc, rect.left + 2, rect.top + 2, rect.right - a - 4, rect.bottom - 2);
        buttonRect = RECT{rect.right - a - 2, rect.top, rect.right, rect.bottom};
        glyph = RECT{buttonRect.left, buttonRect.top, rect.right - 2, rect.bottom};
    } else {
        ExcludeClipRect(dc, a + rect.left + 4, rect.top + 2, rect.right - 2, rect.bottom - 2);
        buttonRect = RECT{rect.left, rect.top, a + rect.left + 2, rect.bottom};
        glyph = RECT{rect.left + 2, rect.top, rect.left + a + 2, rect.bottom};
    }
    if (sunk != nullptr) DrawElement(dc, rect, sunk->FrameCount, d, *sunk);
    if (leftButton && !button->image2.empty()) DrawStrip(dc, buttonRect, button->image2, button->FrameCount, mirrored(button->FrameCount), true);
    else DrawStrip(dc, buttonRect, button->image, button->FrameCount, d, true);
    if (const TDataSkinObject* extra = e->Part("ExtraImages"); extra != nullptr && !extra->image.empty() && extra->FrameCount > 0) {
        const int fw = extra->image.width() / extra->FrameCount;
        const int fh = extra->image.height();
        const int x = glyph.left + ((glyph.right - glyph.left) - fw) / 2;
        const int y = glyph.top + ((glyph.bottom - glyph.top) - fh) / 2;
        DrawStrip(dc, RECT{x, y, x + fw, y + fh}, extra->image, extra->FrameCount, d, true);
    }
    RestoreDC(dc, saved);
}

}  // namespace skin
