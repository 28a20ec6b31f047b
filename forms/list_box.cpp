#include "forms/list_box.h"

#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TCustomListBox::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TCustomListBox>("TCustomListBox", &TWinControl::StaticClass())
            .Int("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex)
            .Int("TopIndex", &TCustomListBox::TopIndex, &TCustomListBox::SetTopIndex)
            .Bool("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted)
            .Bool("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight)
            .Enum("BorderStyle", {"bsNone", "bsSingle"}, &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle)
            .Object("Items", &TCustomListBox::Items, nullptr)
            .Done();
    return info;
}

const TClassInfo& TListBox::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TListBox>("TListBox", &TCustomListBox::StaticClass()).Done();
    return info;
}

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TWindowStrings>(this, TWindowStrings::ListBoxMessages)) {
    // LBN_SELCHANGE and LBN_DBLCLK are the clicks; mouse messages must not make more.
    SetControlStyle(csSetCaption | csOpaque);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() {
    // The window goes in the base destructor; the items must not try to save themselves then.
    DestroyHandle();
}

void TCustomListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClassName = "LISTBOX";
    params.Style |= LBS_NOTIFY | WS_VSCROLL | LBS_HASSTRINGS;
    if (sorted_) params.Style |= LBS_SORT;
    if (!integralHeight_) params.Style |= LBS_NOINTEGRALHEIGHT;
    if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::HandleCreated() {
    TWinControl::HandleCreated();
    items_->RestoreFromCache();
    SendMessageA(WindowHandle(), LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    SendMessageA(WindowHandle(), LB_SETTOPINDEX, static_cast<WPARAM>(topIndex_), 0);
}

void TCustomListBox::HandleDestroying() {
    itemIndex_ = ItemIndex();
    topIndex_ = TopIndex();
    items_->SaveToCache();
    TWinControl::HandleDestroying();
}

int TCustomListBox::ItemIndex() const {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return itemIndex_;
    return static_cast<int>(SendMessageA(wnd, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int v) {
    if (ItemIndex() == v) return;
    HWND wnd = WindowHandle();
    if (wnd == nullptr) {
        itemIndex_ = v;
        return;
    }
    SendMessageA(wnd, LB_SETCURSEL, static_cast<WPARAM>(v), 0);
}

int TCustomListBox::TopIndex() const {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return topIndex_;
    return static_cast<int>(SendMessageA(wnd, LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(int v) {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) {
        topIndex_ = v;
        return;
    }
    SendMessageA(wnd, LB_SETTOPINDEX, static_cast<WPARAM>(v), 0);
}

int TCustomListBox::ItemHeight() const {
    HWND wnd = WindowHandle();
    return wnd != nullptr ? static_cast<int>(SendMessageA(wnd, LB_GETITEMHEIGHT, 0, 0)) : 13;
}

void TCustomListBox::SetSorted(bool v) {
    if (sorted_ == v) return;
    sorted_ = v;
    items_->SetSorted(v);
    RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle v) {
    if (borderStyle_ == v) return;
    borderStyle_ = v;
    RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool v) {
    if (integralHeight_ == v) return;
    integralHeight_ = v;
    RecreateWnd();
}

RECT TCustomListBox::ItemRect(int index) const {
    RECT r{};
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

void TCustomListBox::MakeVisible(int index) {
    HWND wnd = WindowHandle();
    if (wnd == nullptr || index < 0 || index >= items_->Count()) return;
    RECT client{};
    GetClientRect(wnd, &client);
    int height = ItemHeight();
    int visible = height > 0 ? std::max(1, static_cast<int>(client.bottom) / height) : 1;
    int top = TopIndex();
    if (index < top) SetTopIndex(index);
    else if (index >= top + visible) SetTopIndex(index - visible + 1);
}

int TCustomListBox::AddAndShow(const std::string& line) {
    int index = items_->Add(line);
    MakeVisible(index);
    if (HWND wnd = WindowHandle()) UpdateWindow(wnd);
    return index;
}

int TCustomListBox::ItemAtPos(POINT p, bool existing) const {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return -1;
    LRESULT r = SendMessageA(wnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
    int index = LOWORD(r);
    bool outside = HIWORD(r) != 0;
    if (outside && existing) return -1;
    return index;
}

void TCustomListBox::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND) {
        switch (HIWORD(message.WParam)) {
        case LBN_SELCHANGE: Click(); return;
        case LBN_DBLCLK: DblClick(); return;
        default: break;
        }
    }
    TWinControl::WndProc(message);
}

}  // namespace forms
