#include "forms/list_view.h"

#include <commctrl.h>

#include "forms/common_controls.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TListView::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TListView>("TListView", &TWinControl::StaticClass()).Done();
    return info;
}

TListView::TListView(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 250, 150);
}

void TListView::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_LISTVIEW_CLASSES);
    TWinControl::CreateParams(params);
    params.SystemClassName = WC_LISTVIEWA;
    params.Style |= LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER;
}

void TListView::HandleCreated() {
    TWinControl::HandleCreated();
    UpdateColumns();
    UpdateRows();
}

void TListView::SetColumns(std::vector<THeaderSection> columns) {
    columns_ = std::move(columns);
    UpdateColumns();
    UpdateRows();
}

void TListView::SetRows(std::vector<std::vector<std::string>> rows) {
    rows_ = std::move(rows);
    UpdateRows();
}

void TListView::UpdateColumns() {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    while (SendMessageA(wnd, LVM_DELETECOLUMN, 0, 0)) {
    }
    for (size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.cx = columns_[i].Width;
        column.pszText = const_cast<char*>(columns_[i].Text.c_str());
        column.fmt = columns_[i].Alignment == taRightJustify ? LVCFMT_RIGHT
                     : columns_[i].Alignment == taCenter    ? LVCFMT_CENTER
                                                            : LVCFMT_LEFT;
        SendMessageA(wnd, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void TListView::UpdateRows() {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    SendMessageA(wnd, LVM_DELETEALLITEMS, 0, 0);
    for (size_t r = 0; r < rows_.size(); ++r) {
        for (size_t c = 0; c < rows_[r].size(); ++c) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(c);
            item.pszText = const_cast<char*>(rows_[r][c].c_str());
            SendMessageA(wnd, c == 0 ? LVM_INSERTITEMA : LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
}

}  // namespace forms
