#include "skin/controls/updown_skins.h"

#include <array>
#include <string>

#include "forms/bitmap.h"
#include "forms/canvas.h"
#include "forms/gdi_handle.h"
#include "forms/graphics.h"
#include "forms/portable/text_case.h"
#include "skin/skin_data.h"

namespace skin {

using forms::TMessage;

HWND FindUpDownChild(HWND wnd) {
    for (HWND child = GetWindow(wnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        std::array<char, 101> name{};
        const int length = GetClassNameA(child, name.data(), static_cast<int>(name.size()));
        name[static_cast<size_t>(length > 0 ? length : 0)] = '\0';
        const std::string lower = forms::LowerAscii(name.data());
        if (lower == "msctls_updown32" || lower.find("spin") != std::string::npos || lower.find("updown") != std::string::npos)
            return child;
    }
    return nullptr;
}

bool TSkinUpDown::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT: PaintMessage(m); return false;
        case WM_ERASEBKGND:
            if (Control() == nullptr) {
                RECT r{};
                GetClientRect(Handle(), &r);
                FillRect(reinterpret_cast<HDC>(m.WParam), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            }
            m.Result = 1;
            return false;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP: {
            const std::weak_ptr<void> alive = LifeToken();
            if (m.Msg == WM_LBUTTONUP) state_ &= ~kStatePressed;
            CallDefault(m);
            if (alive.expired()) return false;
            if (m.Msg != WM_LBUTTONUP) state_ |= kStatePressed;
            PaintFrame(nullptr);
            return false;
        }
        case WM_MOUSEMOVE:
            state_ |= kStateHot;
            return true;
        case WM_MOUSELEAVE:
        case forms::CM_MOUSELEAVE:
            state_ &= ~kStateHot;
            InvalidateSkin();
            return true;
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinUpDown::DrawSkin(HDC dc, const RECT& rect) {
    RECT client{};
    GetClientRect(Handle(), &client);
    if (insideEdit_) InflateRect(&client, -1, -1);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return;
    const SkinElements* e = Elements();
    const bool horizontal = horizontal_ || (GetWindowLongAW(GWL_STYLE) & 0x40) != 0;  // UDS_HORZ
    enabled_ = IsWindowEnabled(Handle()) != FALSE;
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(Handle(), &cursor);

    forms::TBitmap bitmap(w, h, forms::pf24bit);
    HDC mem = bitmap.Canvas()->Handle();
    RECT all{0, 0, w, h};
    FillFace(mem, all);
    const TDataSkinBorder* element = e != nullptr ? e->BorderPart(horizontal ? "UpDown.Horz" : "UpDown.Vert") : nullptr;
    for (int half = 0; half < 2; ++half) {
        const RECT r = horizontal ? (half == 0 ? RECT{0, 0, w / 2, h} : RECT{w / 2, 0, w, h})
                                  : (half == 0 ? RECT{0, 0, w, h / 2} : RECT{0, h / 2, w, h});
        const RECT other = horizontal ? (half == 0 ? RECT{w / 2, 0, w, h} : RECT{0, 0, w / 2, h})
                                      : (half == 0 ? RECT{0, h / 2, w, h} : RECT{0, 0, w, h / 2});
        POINT local{cursor.x - client.left, cursor.y - client.top};
        int state;
        if (!enabled_) state = 3;
        else if (PtInRect(&other, local)) state = 1;
        else if (state_ & kStatePressed) state = 2;
        else if (state_ & kStateHot) state = 4;
        else state = 1;
        const int direction = horizontal ? 2 + half : half;
        if (element != nullptr && !element->image.empty()) {
            const int frame = state + 4 * direction - (horizontal ? 8 : 0);
            DrawElement(mem, r, element->FrameCount, frame, *element);
            if (!element->image2.empty() && element->FrameCount > 0) {
                const int gw = element->image2.width() / element->FrameCount;
                const int gh = element->image2.height();
                const int x = r.left + ((r.right - r.left) - gw) / 2;
                const int y = r.top + ((r.bottom - r.top) - gh) / 2;
                DrawStrip(mem, RECT{x, y, x + gw, y + gh}, element->image2, element->FrameCount, frame, true);
            }
            continue;
        }
        const COLORREF fill = (state == 2 || state == 4)
                                  ? forms::ColorToRGB(static_cast<forms::TColor>(e != nullptr ? e->colours.ButtonShadow : kSystemColour | COLOR_BTNSHADOW))
                                  : FaceColour();
        forms::UniqueBrush brush(CreateSolidBrush(fill));
        FillRect(mem, &r, brush.get());
        forms::UniqueBrush dark(CreateSolidBrush(
            forms::ColorToRGB(static_cast<forms::TColor>(e != nullptr ? e->colours.ButtonDkShadow : kSystemColour | COLOR_3DDKSHADOW))));
        FrameRect(mem, &r, dark.get());
        const int cx = (r.left + r.right) / 2;
        const int cy = (r.top + r.bottom) / 2 - (horizontal ? 0 : 2);
        for (int i = 0; i < 3; ++i) {
            switch (direction) {
                case 0: MoveToEx(mem, cx - i, cy + i, nullptr); LineTo(mem, cx + i + 1, cy + i); break;
                case 1: MoveToEx(mem, cx - i, cy + 2 - i, nullptr); LineTo(mem, cx + i + 1, cy + 2 - i); break;
                case 2: MoveToEx(mem, cx + i, cy - i, nullptr); LineTo(mem, cx + i, cy + i + 1); break;
                default: MoveToEx(mem, cx + 2 - i, cy - i, nullptr); LineTo(mem, cx + 2 - i, cy + i + 1); break;
            }
        }
    }
    BitBlt(dc, rect.left + client.left, rect.top + client.top, w, h, mem, 0, 0, SRCCOPY);
}

}  // namespace skin
