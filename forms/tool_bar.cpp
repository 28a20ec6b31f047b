#include "forms/tool_bar.h"

#include <commctrl.h>

#include "forms/common_controls.h"
#include "forms/portable/properties.h"

namespace forms {

namespace {
constexpr int kFirstCommand = 100;
}

const TClassInfo& TToolBar::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TToolBar>("TToolBar", &TWinControl::StaticClass())
                                       .Bool("Flat", &TToolBar::Flat, &TToolBar::SetFlat)
                                       .Done();
    return info;
}

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

void TToolBar::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_BAR_CLASSES);
    TWinControl::CreateParams(params);
    params.SystemClassName = TOOLBARCLASSNAMEA;
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_LIST;
    if (flat_) params.Style |= TBSTYLE_FLAT;
}

void TToolBar::HandleCreated() {
    TWinControl::HandleCreated();
    SendMessageA(WindowHandle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    UpdateButtons();
}

void TToolBar::SetFlat(bool v) {
    if (flat_ == v) return;
    flat_ = v;
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    const LRESULT style = SendMessageA(wnd, TB_GETSTYLE, 0, 0);
    SendMessageA(wnd, TB_SETSTYLE, 0, flat_ ? (style | TBSTYLE_FLAT) : (style & ~TBSTYLE_FLAT));
    InvalidateRect(wnd, nullptr, TRUE);
}

void TToolBar::SetButtons(std::vector<TToolButton> buttons) {
    buttons_ = std::move(buttons);
    UpdateButtons();
}

void TToolBar::UpdateButtons() {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    while (SendMessageA(wnd, TB_DELETEBUTTON, 0, 0)) {
    }
    for (size_t i = 0; i < buttons_.size(); ++i) {
        TBBUTTON b{};
        b.iBitmap = I_IMAGENONE;
        b.idCommand = kFirstCommand + static_cast<int>(i);
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        b.iString = reinterpret_cast<INT_PTR>(buttons_[i].Caption.c_str());
        SendMessageA(wnd, TB_INSERTBUTTONA, i, reinterpret_cast<LPARAM>(&b));
    }
}

void TToolBar::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY && OnCustomDrawButton) {
        auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(m.LParam);
        // Only the bar's own drawing: its tooltip reports custom draw too.
        if (draw->nmcd.hdr.code == NM_CUSTOMDRAW && draw->nmcd.hdr.hwndFrom == WindowHandle()) {
            switch (draw->nmcd.dwDrawStage) {
                case CDDS_PREPAINT: m.Result = CDRF_NOTIFYITEMDRAW; break;
                case CDDS_ITEMPREPAINT: m.Result = OnCustomDrawButton(this, *draw); break;
                default: m.Result = CDRF_DODEFAULT; break;
            }
            return;
        }
    }
    if (m.Msg == CN_COMMAND) {
        const int index = static_cast<int>(LOWORD(m.WParam)) - kFirstCommand;
        if (index >= 0 && index < static_cast<int>(buttons_.size()) && buttons_[static_cast<size_t>(index)].OnClick) {
            const TNotifyEvent handler = buttons_[static_cast<size_t>(index)].OnClick;  // the handler may replace the buttons
            handler(this);
        }
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace forms
