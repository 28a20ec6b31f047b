#include "forms/window_strings.h"

#include <vector>

#include "forms/portable/exceptions.h"
#include "forms/win_control.h"

namespace forms {

const TWindowStrings::Messages TWindowStrings::ListBoxMessages = {
    LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_GETTEXT, LB_GETTEXTLEN, LB_GETCOUNT,
    LB_RESETCONTENT, LB_GETITEMDATA, LB_SETITEMDATA, LB_FINDSTRINGEXACT};
const TWindowStrings::Messages TWindowStrings::ComboBoxMessages = {
    CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_GETCOUNT,
    CB_RESETCONTENT, CB_GETITEMDATA, CB_SETITEMDATA, CB_FINDSTRINGEXACT};

// LB_ERR and CB_ERR are both -1; LB_ERRSPACE and CB_ERRSPACE both -2.
constexpr LRESULT kError = -1;
constexpr LRESULT kNoSpace = -2;

TWindowStrings::TWindowStrings(TWinControl* control, const Messages& messages)
    : control_(control), msgs_(messages) {
    cache_.SetDuplicates(dupAccept);
}

HWND TWindowStrings::Window() const { return control_->WindowHandle(); }

LRESULT TWindowStrings::Send(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(Window(), msg, wParam, lParam);
}

std::string TWindowStrings::Get(int index) const {
    if (Window() == nullptr) return cache_.Get(index);
    CheckIndex(index, GetCount());
    LRESULT len = Send(msgs_.GetTextLen, static_cast<WPARAM>(index));
    if (len <= 0) return {};
    std::string s(static_cast<size_t>(len) + 1, '\0');
    len = Send(msgs_.GetText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(len > 0 ? static_cast<size_t>(len) : 0);
    return s;
}

int TWindowStrings::GetCount() const {
    if (Window() == nullptr) return cache_.GetCount();
    LRESULT n = Send(msgs_.GetCount);
    return n > 0 ? static_cast<int>(n) : 0;
}

void TWindowStrings::Insert(int index, const std::string& s) {
    if (Window() == nullptr) {
        if (cache_.Sorted()) cache_.Add(s);
        else cache_.Insert(index, s);
        return;
    }
    CheckIndex(index, GetCount() + 1);
    LRESULT r = Send(msgs_.InsertString, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str()));
    if (r == kError || r == kNoSpace) throw EOutOfResources("Insufficient space for the list entry");
}

int TWindowStrings::Add(const std::string& s) {
    if (Window() == nullptr) return cache_.Add(s);
    LRESULT r = Send(msgs_.AddString, 0, reinterpret_cast<LPARAM>(s.c_str()));
    if (r == kError || r == kNoSpace) throw EOutOfResources("Insufficient space for the list entry");
    return static_cast<int>(r);
}

void TWindowStrings::Delete(int index) {
    if (Window() == nullptr) {
        cache_.Delete(index);
        return;
    }
    CheckIndex(index, GetCount());
    Send(msgs_.DeleteString, static_cast<WPARAM>(index));
}

void TWindowStrings::Clear() {
    if (Window() == nullptr) cache_.Clear();
    else Send(msgs_.ResetContent);
}

TObject* TWindowStrings::GetObjectAt(int index) const {
    if (Window() == nullptr) return cache_.GetObjectAt(index);
    CheckIndex(index, GetCount());
    LRESULT data = Send(msgs_.GetItemData, static_cast<WPARAM>(index));
    return data == kError ? nullptr : reinterpret_cast<TObject*>(data);
}

void TWindowStrings::PutObjectAt(int index, TObject* object) {
    if (Window() == nullptr) {
        cache_.PutObjectAt(index, object);
        return;
    }
    CheckIndex(index, GetCount());
    Send(msgs_.SetItemData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
}

void TWindowStrings::SetUpdateState(bool updating) {
    HWND wnd = Window();
    if (wnd == nullptr) return;
    SendMessageA(wnd, WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) InvalidateRect(wnd, nullptr, TRUE);
}

void TWindowStrings::SaveToCache() {
    if (Window() == nullptr) return;
    // The window already holds the order it sorted; keep it as it is.
    bool sorted = cache_.Sorted();
    cache_.SetSorted(false);
    cache_.Clear();
    int n = GetCount();
    for (int i = 0; i < n; ++i) cache_.AddObject(Get(i), GetObjectAt(i));
    cache_.SetSorted(sorted);
}

void TWindowStrings::RestoreFromCache() {
    if (Window() == nullptr) return;
    Send(msgs_.ResetContent);
    for (int i = 0; i < cache_.GetCount(); ++i) {
        LRESULT r = Send(msgs_.AddString, 0, reinterpret_cast<LPARAM>(cache_.Get(i).c_str()));
        if (r >= 0) Send(msgs_.SetItemData, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(cache_.GetObjectAt(i)));
    }
    cache_.Clear();
}

}  // namespace forms
