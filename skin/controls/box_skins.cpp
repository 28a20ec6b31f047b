#include "skin/controls/box_skins.h"

#include "forms/gdi_handle.h"
#include "forms/graphics.h"
#include "forms/win_control.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/property_access.h"
#include "skin/controls/updown_skins.h"
#include "skin/skin_data.h"

namespace skin {

using forms::TMessage;

namespace {

UINT TextAlignFlag(int alignment) { return alignment == 1 ? DT_RIGHT : alignment == 2 ? DT_CENTER : DT_LEFT; }

COLORREF ShadowColour(const SkinElements* e) {
    return forms::ColorToRGB(static_cast<forms::TColor>(e != nullptr ? e->colours.ButtonShadow : kSystemColour | COLOR_BTNSHADOW));
}

}  // namespace

void DrawAlignedText(HDC dc, const RECT& rect, UINT alignment, bool enabled, const std::wstring& text) {
    SetBkMode(dc, TRANSPARENT);
    RECT measured = rect;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, alignment | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS);
    const int w = measured.right - measured.left;
    const int h = measured.bottom - measured.top;
    RECT r = rect;
    r.top = rect.top + ((rect.bottom - rect.top) - h) / 2;
    r.bottom = r.top + h;
    if (alignment & DT_CENTER) {
        r.left = rect.left + ((rect.right - rect.left) - w) / 2;
        r.right = r.left + w;
    }
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, alignment | DT_EXPANDTABS);
}

void DrawCentredText(HDC dc, const RECT& rect, const std::wstring& text, int alignment, bool enabled) {
    const UINT align = TextAlignFlag(alignment);
    SetBkMode(dc, TRANSPARENT);
    RECT measured = rect;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
              DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT | DT_NOCLIP);
    const int w = measured.right - measured.left;
    const int h = measured.bottom - measured.top;
    RECT r{rect.left + ((rect.right - rect.left) - w) / 2, rect.top + ((rect.bottom - rect.top) - h) / 2, 0, 0};
    r.right = r.left + w;
    r.bottom = r.top + h;
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_EXPANDTABS | align);
}

void TSkinBox::AttachControl(TControlSkinList* list, TSkinData* data, bool colourControl) {
    if (LifeState() != kLifeCreated) return;
    SetData(data);
    SetList(list);
    auto* control = dynamic_cast<forms::TWinControl*>(Owner());
    if (control == nullptr) return;
    SetControl(control);
    SetHandle(control->Handle());
    // Hooked only so that a second form skin sees it is skinned and leaves its colour alone.
    HookControl(control);
    if (list != nullptr) list->Add(this);
    RememberColour(colourControl);
    SetLifeState(kLifeAttached);
}

void TSkinBox::Unskin() {
    TSkinControl::Unskin();
    if (LifeState() != kLifeDead) SetLifeState(kLifeUnskinned);
}

bool TSkinBoxH::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_ERASEBKGND: {
            RECT r{};
            GetWindowRect(Handle(), &r);
            OffsetRect(&r, -r.left, -r.top);
            FillFace(reinterpret_cast<HDC>(m.WParam), r);
            m.Result = 0;
            return false;
        }
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (data_ != nullptr && data_->FaceBrush() != nullptr) {
                SetBkColor(reinterpret_cast<HDC>(m.WParam), FaceColour());
                m.Result = reinterpret_cast<LRESULT>(data_->FaceBrush());
                return false;
            }
            return true;
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinGroupBox::DrawSkin(HDC dc, const RECT& rect) {
    std::wstring text = WindowText();
    if (text.empty() && Control() != nullptr) text = GetWidePropByName(Control(), "Caption");
    HFONT font = Control() != nullptr ? Control()->Font()->Handle()
                                      : reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    SIZE zero{};
    GetTextExtentPoint32A(dc, "0", 1, &zero);
    const int y = zero.cy / 2 - 1;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    forms::UniqueBrush face(CreateSolidBrush(FaceColour()));
    RECT frame{rect.left, rect.top + y, rect.right, rect.bottom};
    FrameRect(dc, &frame, face.get());
    InflateRect(&frame, -1, -1);
    FrameRect(dc, &frame, face.get());
    forms::UniquePen pen(CreatePen(PS_SOLID, 1, ShadowColour(Elements())));
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, rect.left + 1, rect.top + y, rect.left + width - 1, rect.top + height - 1, 5, 5);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (!text.empty()) {
        const COLORREF oldBack = SetBkColor(dc, FaceColour());
        const int oldMode = SetBkMode(dc, OPAQUE);
        RECT t{rect.left + 9, rect.top, rect.right, rect.bottom};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_EXPANDTABS | DT_SINGLELINE);
        SetBkMode(dc, oldMode);
        SetBkColor(dc, oldBack);
    }
    if (oldFont != nullptr) SelectObject(dc, oldFont);
}

void TSkinEdit::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT:
            if (m.WParam == 0) PaintFrame(nullptr);
            break;
        case WM_PRINT: {
            RECT r{};
            if (!GetWindowRect(Handle(), &r)) break;
            windowRect_ = r;
            OffsetRect(&r, -r.left, -r.top);
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            HDC own = dc == nullptr ? GetWindowDC(Handle()) : nullptr;
            try {
                DrawBorder(own != nullptr ? own : dc, r);
            } catch (...) {
                CountPaintError();
            }
            if (own != nullptr) ReleaseDC(Handle(), own);
            break;
        }
        default: TSkinControl::AfterMessage(m); break;
    }
}

void TSkinEdit::DrawBorder(HDC dc, const RECT& rect) const {
    RECT client{};
    GetClientRect(Handle(), &client);
    if (client.right + 2 >= rect.right || client.bottom + 2 >= rect.bottom) return;
    HBRUSH current = reinterpret_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH));
    RECT inner = rect;
    InflateRect(&inner, -1, -1);
    FrameRect(dc, &inner, current);
    forms::UniqueBrush shadow(CreateSolidBrush(ShadowColour(Elements())));
    FrameRect(dc, &rect, shadow.get());
}

void TSkinEdit::WindowMadeAgain() {
    buddySought_ = false;  // the old up-down child went with the old window
    TSkinControl::WindowMadeAgain();
}

void TSkinEdit::DrawSkin(HDC dc, const RECT& rect) {
    if (!buddySought_) {
        if (HWND upDown = FindUpDownChild(Handle())) {
            buddySought_ = true;
            auto* buddy = new TSkinUpDown(Owner());
            buddy->SetInsideEdit(true);
            buddy->AttachHandle(upDown, data_, List());
        }
    }
    RECT client{};
    GetClientRect(Handle(), &client);
    if (client.right >= rect.right - rect.left || client.bottom >= rect.bottom - rect.top) return;  // no border
    forms::UniqueBrush shadow(CreateSolidBrush(ShadowColour(Elements())));
    FrameRect(dc, &rect, shadow.get());
    RECT inner = rect;
    InflateRect(&inner, -1, -1);
    forms::UniqueBrush white(CreateSolidBrush(0xFFFFFF));
    FrameRect(dc, &inner, white.get());
}

}  // namespace skin
