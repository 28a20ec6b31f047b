#include "forms/combo_box.h"

#include "forms/form.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TCustomComboBox::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TCustomComboBox>("TCustomComboBox", &TWinControl::StaticClass())
            .Enum("Style", {"csDropDown", "csSimple", "csDropDownList"}, &TCustomComboBox::Style,
                  &TCustomComboBox::SetStyle)
            .Int("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex)
            .Bool("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted)
            .Int("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount)
            .Int("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength)
            .Object("Items", &TCustomComboBox::Items, nullptr)
            .Done();
    return info;
}

const TClassInfo& TComboBox::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TComboBox>("TComboBox", &TCustomComboBox::StaticClass()).Done();
    return info;
}

// The closed height before the window can tell its own.
constexpr int kDefaultClosedHeight = 21;
constexpr int kDefaultItemHeight = 13;

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TWindowStrings>(this, TWindowStrings::ComboBoxMessages)) {
    // CBN_* notifications are the events; mouse messages must not click as well.
    SetControlStyle(csSetCaption | csFixedHeight);
    SetTabStop(true);
    SetBounds(0, 0, 145, kDefaultClosedHeight);
}

TCustomComboBox::~TCustomComboBox() { DestroyHandle(); }

int TCustomComboBox::WindowHeight() const {
    if (style_ == csSimple) return Height();
    int item = kDefaultItemHeight;
    if (HWND wnd = WindowHandle()) item = static_cast<int>(SendMessageA(wnd, CB_GETITEMHEIGHT, 0, 0));
    return Height() + item * dropDownCount_ + 2;
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClassName = "COMBOBOX";
    params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
    switch (style_) {
    case csDropDown: params.Style |= CBS_DROPDOWN; break;
    case csSimple: params.Style |= CBS_SIMPLE | CBS_NOINTEGRALHEIGHT; break;
    case csDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
    }
    if (sorted_) params.Style |= CBS_SORT;
    params.Height = WindowHeight();
    params.Caption.clear();
}

void TCustomComboBox::HandleCreated() {
    TWinControl::HandleCreated();
    HWND wnd = WindowHandle();
    items_->RestoreFromCache();
    SendMessageA(wnd, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    SendMessageA(wnd, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    if (style_ != csDropDownList && itemIndex_ < 0 && !savedText_.empty()) SetWindowTextA(wnd, savedText_.c_str());
    // The closed height is the system's choice (font and style); keep the list's extent.
    SetWindowPos(wnd, nullptr, 0, 0, Width(), WindowHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::HandleDestroying() {
    itemIndex_ = ItemIndex();
    savedText_ = GetText();
    items_->SaveToCache();
    TWinControl::HandleDestroying();
}

void TCustomComboBox::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, width, height);
}

void TCustomComboBox::BoundsChanged() {
    if (HWND wnd = WindowHandle()) {
        SetWindowPos(wnd, nullptr, Left(), Top(), Width(), WindowHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int TCustomComboBox::ItemIndex() const {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return itemIndex_;
    return static_cast<int>(SendMessageA(wnd, CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int v) {
    if (ItemIndex() == v) return;
    HWND wnd = WindowHandle();
    if (wnd == nullptr) {
        itemIndex_ = v;
        savedText_ = v >= 0 && v < items_->Count() ? items_->Get(v) : std::string();
        return;
    }
    SendMessageA(wnd, CB_SETCURSEL, static_cast<WPARAM>(v), 0);
}

std::string TCustomComboBox::GetText() const {
    if (WindowHandle() != nullptr) return TWinControl::GetText();
    if (style_ == csDropDownList) {
        return itemIndex_ >= 0 && itemIndex_ < items_->Count() ? items_->Get(itemIndex_) : std::string();
    }
    return savedText_;
}

void TCustomComboBox::SetText(const std::string& v) {
    if (v == GetText()) return;
    if (style_ == csDropDownList) {
        int index = v.empty() ? -1 : items_->IndexOf(v);
        SetItemIndex(index);
        Perform(CM_TEXTCHANGED);
        return;
    }
    HWND wnd = WindowHandle();
    if (wnd == nullptr) {
        savedText_ = v;
        itemIndex_ = -1;
    } else {
        SetWindowTextA(wnd, v.c_str());
    }
    Perform(CM_TEXTCHANGED);
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
    if (style_ == v) return;
    // A drop-down list cannot show a text that is not an item.
    if (HandleAllocated()) {
        itemIndex_ = ItemIndex();
        savedText_ = GetText();
    }
    style_ = v;
    RecreateWnd();
}

void TCustomComboBox::SetSorted(bool v) {
    if (sorted_ == v) return;
    sorted_ = v;
    items_->SetSorted(v);
    if (HandleAllocated()) {
        std::string text = GetText();
        RecreateWnd();
        // The selection follows its text to its new place.
        int index = text.empty() ? -1 : items_->IndexOf(text);
        if (index >= 0) SetItemIndex(index);
    }
}

void TCustomComboBox::SetDropDownCount(int v) {
    if (v < 1) v = 1;
    if (dropDownCount_ == v) return;
    dropDownCount_ = v;
    BoundsChanged();
}

void TCustomComboBox::SetMaxLength(int v) {
    if (v < 0) v = 0;
    if (maxLength_ == v) return;
    maxLength_ = v;
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, CB_LIMITTEXT, static_cast<WPARAM>(v), 0);
}

bool TCustomComboBox::DroppedDown() const {
    HWND wnd = WindowHandle();
    return wnd != nullptr && SendMessageA(wnd, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool v) {
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, CB_SHOWDROPDOWN, v ? TRUE : FALSE, 0);
}

void TCustomComboBox::Clear() {
    items_->Clear();
    SetText("");
    itemIndex_ = -1;
    savedText_.clear();
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect) OnSelect(this);
}

namespace {

bool IsKeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

void TCustomComboBox::WndProc(TMessage& message) {
    // A box with an edit part hands the focus straight on to it, and a click there gives it
    // to the edit alone: the box's own notifications say when the focus enters and leaves.
    if (message.Msg == WM_SETFOCUS || message.Msg == WM_KILLFOCUS) {
        DefaultHandler(message);
        return;
    }
    // Ctrl+A selects the whole text of the edit part (the system's edit does not); the key
    // reaches the box as its edit's key notification, and taking it keeps its character out.
    if (message.Msg == CN_KEYDOWN && message.WParam == 'A' && IsKeyDown(VK_CONTROL) && !IsKeyDown(VK_MENU) &&
        style_ != csDropDownList) {
        SendMessageA(WindowHandle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        message.Result = 1;
        return;
    }
    if (message.Msg == CN_COMMAND) {
        switch (HIWORD(message.WParam)) {
        case CBN_SETFOCUS:
            if (TForm* form = GetParentForm(this); form != nullptr) form->FocusControl(this);
            DoEnter();
            return;
        case CBN_KILLFOCUS:
            DoExit();
            return;
        case CBN_EDITCHANGE:
            Change();
            return;
        case CBN_SELCHANGE: {
            // The edit part shows the new item only after this notification; make it show
            // now so that handlers read the chosen text.
            int index = ItemIndex();
            if (style_ != csDropDownList && index >= 0) SetWindowTextA(WindowHandle(), items_->Get(index).c_str());
            Click();
            Change();
            Select();
            return;
        }
        case CBN_DROPDOWN:
            if (OnDropDown) OnDropDown(this);
            return;
        case CBN_CLOSEUP:
            if (OnCloseUp) OnCloseUp(this);
            return;
        default:
            break;
        }
    }
    TWinControl::WndProc(message);
}

}  // namespace forms
