#include "forms/group_box.h"

#include "forms/gdi_handle.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TCustomGroupBox::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TCustomGroupBox>("TCustomGroupBox", &TWinControl::StaticClass()).Done();
    return info;
}

const TClassInfo& TGroupBox::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TGroupBox>("TGroupBox", &TCustomGroupBox::StaticClass()).Done();
    return info;
}

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks);
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClassName = "BUTTON";
    params.Style |= BS_GROUPBOX;
    // The frame is drawn by the class procedure; the children must not be painted over.
    params.Style |= WS_CLIPCHILDREN;
}

RECT TCustomGroupBox::AlignArea() {
    RECT r = ClientRect();
    ScreenDC screen;
    UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
    SelectedObject font(dc.get(), Font()->Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.get(), &tm);
    InflateRect(&r, -1, -1);
    r.top += tm.tmHeight - 1;
    return r;
}

void TCustomGroupBox::EraseBackground(TMessage& message) {
    // BUTTON has no class brush: without this the inside keeps whatever was there.
    RECT r{};
    GetClientRect(WindowHandle(), &r);
    Brush()->SetColor(Color());
    FillRect(reinterpret_cast<HDC>(message.WParam), &r, Brush()->Handle());
    message.Result = 1;
}

void TCustomGroupBox::WndProc(TMessage& message) {
    // The class procedure answers HTTRANSPARENT, which would hide the box from the mouse.
    if (message.Msg == WM_NCHITTEST) {
        message.Result = HTCLIENT;
        return;
    }
    if (message.Msg == CM_SHOWINGCHANGED) {
        TWinControl::WndProc(message);
        NotifyControls(CM_SHOWINGCHANGED);
        return;
    }
    TWinControl::WndProc(message);
}

}  // namespace forms
