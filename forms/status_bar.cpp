#include "forms/status_bar.h"

#include <commctrl.h>

#include "forms/common_controls.h"
#include "forms/portable/properties.h"

namespace forms {
namespace {

// The class places what follows one tab in the middle of the panel, what follows two on the right.
std::string TextForClass(const TStatusPanel& panel) {
    switch (ShownAlignment(panel)) {
        case taCenter: return "\t" + panel.Text;
        case taRightJustify: return "\t\t" + panel.Text;
        default: return panel.Text;
    }
}

}  // namespace

TAlignment ShownAlignment(const TStatusPanel& panel) {
    if (!panel.RightToLeft || panel.Alignment == taCenter) return panel.Alignment;
    return panel.Alignment == taLeftJustify ? taRightJustify : taLeftJustify;
}

const TClassInfo& TStatusBar::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TStatusBar>("TStatusBar", &TWinControl::StaticClass())
                                       .Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel)
                                       .Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
                                       .Bool("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip)
                                       .Done();
    return info;
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

void TStatusBar::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_BAR_CLASSES);
    TWinControl::CreateParams(params);
    params.SystemClassName = STATUSCLASSNAMEA;
    // Placed by the library's alignment, never by the class.
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (sizeGrip_) params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::HandleCreated() {
    TWinControl::HandleCreated();
    UpdatePanels();
}

void TStatusBar::SetPanels(std::vector<TStatusPanel> panels) {
    panels_ = std::move(panels);
    UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool v) {
    if (simplePanel_ == v) return;
    simplePanel_ = v;
    UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& v) {
    if (simpleText_ == v) return;
    simpleText_ = v;
    UpdatePanels();
}

void TStatusBar::SetSizeGrip(bool v) {
    if (sizeGrip_ == v) return;
    sizeGrip_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TStatusBar::UpdatePanels() {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    SendMessageA(wnd, SB_SIMPLE, simplePanel_ ? TRUE : FALSE, 0);
    if (simplePanel_) {
        SendMessageA(wnd, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
    } else {
        std::vector<int> rights;
        int right = 0;
        for (size_t i = 0; i < panels_.size(); ++i) {
            right += panels_[i].Width;
            rights.push_back(i + 1 == panels_.size() ? -1 : right);
        }
        if (rights.empty()) rights.push_back(-1);
        SendMessageA(wnd, SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
        for (size_t i = 0; i < panels_.size(); ++i) {
            const TStatusPanel& p = panels_[i];
            WPARAM how = i;
            if (p.Bevel == pbNone) how |= SBT_NOBORDERS;
            if (p.Bevel == pbRaised) how |= SBT_POPOUT;
            if (p.Style == psOwnerDraw) how |= SBT_OWNERDRAW;
            if (p.RightToLeft) how |= SBT_RTLREADING;
            const std::string text = TextForClass(p);
            SendMessageA(wnd, SB_SETTEXTA, how, p.Style == psOwnerDraw ? 0 : reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
    InvalidateRect(wnd, nullptr, TRUE);
}

void TStatusBar::WndProc(TMessage& m) {
    if (m.Msg == CN_DRAWITEM) {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
        if (OnDrawPanel) OnDrawPanel(this, static_cast<int>(d->itemID), d->hDC, d->rcItem);
        m.Result = TRUE;
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace forms
