#include "forms/header_control.h"

#include <commctrl.h>

#include "forms/common_controls.h"
#include "forms/portable/properties.h"

namespace forms {

int HeaderAlignmentFormat(TAlignment alignment) {
    return alignment == taRightJustify ? HDF_RIGHT : alignment == taCenter ? HDF_CENTER : HDF_LEFT;
}

const TClassInfo& THeaderControl::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<THeaderControl>("THeaderControl", &TWinControl::StaticClass()).Done();
    return info;
}

THeaderControl::THeaderControl(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 200, 20);
    SetAlign(alTop);
}

void THeaderControl::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_LISTVIEW_CLASSES);
    TWinControl::CreateParams(params);
    params.SystemClassName = WC_HEADERA;
    params.Style |= HDS_BUTTONS | HDS_HORZ;
}

void THeaderControl::HandleCreated() {
    TWinControl::HandleCreated();
    UpdateSections();
}

void THeaderControl::SetSections(std::vector<THeaderSection> sections) {
    sections_ = std::move(sections);
    UpdateSections();
}

void THeaderControl::UpdateSections() {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    while (SendMessageA(wnd, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessageA(wnd, HDM_DELETEITEM, 0, 0);
    for (size_t i = 0; i < sections_.size(); ++i) {
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.cxy = sections_[i].Width;
        item.pszText = const_cast<char*>(sections_[i].Text.c_str());
        item.fmt = HDF_STRING | HeaderAlignmentFormat(sections_[i].Alignment);
        SendMessageA(wnd, HDM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace forms
