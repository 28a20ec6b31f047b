#include "forms/edit.h"

#include <vector>

#include "forms/portable/properties.h"
#include "forms/portable/string_list.h"

namespace forms {

const TClassInfo& TCustomEdit::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TCustomEdit>("TCustomEdit", &TWinControl::StaticClass())
            .Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength)
            .Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly)
            .Int("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar)
            .Enum("BorderStyle", {"bsNone", "bsSingle"}, &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle)
            .Enum("CharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}, &TCustomEdit::CharCase,
                  &TCustomEdit::SetCharCase)
            .Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect)
            .Done();
    return info;
}

const TClassInfo& TEdit::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TEdit>("TEdit", &TCustomEdit::StaticClass()).Done();
    return info;
}

const TClassInfo& TCustomMemo::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TCustomMemo>("TCustomMemo", &TCustomEdit::StaticClass())
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &TCustomMemo::Alignment,
                  &TCustomMemo::SetAlignment)
            .Bool("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap)
            .Enum("ScrollBars", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}, &TCustomMemo::ScrollBars,
                  &TCustomMemo::SetScrollBars)
            .Bool("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns)
            .Bool("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs)
            .Object("Lines", &TCustomMemo::Lines, nullptr)
            .Done();
    return info;
}

const TClassInfo& TMemo::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TMemo>("TMemo", &TCustomMemo::StaticClass()).Done();
    return info;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight);
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClassName = "EDIT";
    params.Style |= EditStyle();
    if (readOnly_) params.Style |= ES_READONLY;
    if (charCase_ == ecUpperCase) params.Style |= ES_UPPERCASE;
    if (charCase_ == ecLowerCase) params.Style |= ES_LOWERCASE;
    if (passwordChar_ != 0) params.Style |= ES_PASSWORD;
    if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::HandleCreated() {
    TWinControl::HandleCreated();
    HWND wnd = WindowHandle();
    SendMessageA(wnd, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    SendMessageA(wnd, EM_SETPASSWORDCHAR, static_cast<WPARAM>(static_cast<unsigned char>(passwordChar_)), 0);
    SendMessageA(wnd, EM_SETMODIFY, modified_ ? TRUE : FALSE, 0);
}

void TCustomEdit::SetMaxLength(int v) {
    if (v < 0) v = 0;
    if (maxLength_ == v) return;
    maxLength_ = v;
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, EM_LIMITTEXT, static_cast<WPARAM>(v), 0);
}

void TCustomEdit::SetReadOnly(bool v) {
    if (readOnly_ == v) return;
    readOnly_ = v;
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, EM_SETREADONLY, v ? TRUE : FALSE, 0);
}

void TCustomEdit::SetPasswordChar(char v) {
    if (passwordChar_ == v) return;
    passwordChar_ = v;
    if (HWND wnd = WindowHandle()) {
        SendMessageA(wnd, EM_SETPASSWORDCHAR, static_cast<WPARAM>(static_cast<unsigned char>(v)), 0);
        InvalidateRect(wnd, nullptr, TRUE);
    }
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
    if (borderStyle_ == v) return;
    borderStyle_ = v;
    RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
    if (charCase_ == v) return;
    charCase_ = v;
    RecreateWnd();
}

bool TCustomEdit::Modified() const {
    HWND wnd = WindowHandle();
    return wnd != nullptr ? SendMessageA(wnd, EM_GETMODIFY, 0, 0) != 0 : modified_;
}

void TCustomEdit::SetModified(bool v) {
    modified_ = v;
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, EM_SETMODIFY, v ? TRUE : FALSE, 0);
}

int TCustomEdit::SelStart() const {
    DWORD start = 0;
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int v) {
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, EM_SETSEL, static_cast<WPARAM>(v), static_cast<LPARAM>(v));
}

int TCustomEdit::SelLength() const {
    DWORD start = 0, end = 0;
    if (HWND wnd = WindowHandle()) {
        SendMessageA(wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    }
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int v) {
    if (HWND wnd = WindowHandle()) {
        int start = SelStart();
        SendMessageA(wnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + v));
    }
}

std::string TCustomEdit::SelText() const {
    int start = SelStart();
    int length = SelLength();
    std::string text = GetText();
    if (start < 0 || static_cast<size_t>(start) > text.size()) return {};
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

void TCustomEdit::SetSelText(const std::string& v) {
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(v.c_str()));
}

void TCustomEdit::SelectAll() {
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, EM_SETSEL, 0, -1);
}

void TCustomEdit::SetText(const std::string& v) {
    if (v == GetText()) return;
    // Whether the class procedure reports EN_CHANGE for WM_SETTEXT differs between systems;
    // ours is reported once, here.
    settingText_ = true;
    try {
        TWinControl::SetText(v);
    } catch (...) {
        settingText_ = false;
        throw;
    }
    settingText_ = false;
    if (!IsLoading()) Change();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::DoEnter() {
    if (autoSelect_ && !(GetWindowLongPtrA(WindowHandle(), GWL_STYLE) & ES_MULTILINE)) SelectAll();
    TWinControl::DoEnter();
}

namespace {

bool IsKeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

void TCustomEdit::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == EN_CHANGE) {
        if (!settingText_ && !IsLoading()) Change();
        return;
    }
    // Ctrl+A selects everything, which the system's edit classes do not all do; the
    // character the key also makes must not reach the text.
    constexpr WPARAM kCtrlA = 1;
    if (message.Msg == WM_KEYDOWN && message.WParam == 'A' && IsKeyDown(VK_CONTROL) && !IsKeyDown(VK_MENU)) {
        SelectAll();
        return;
    }
    if (message.Msg == WM_CHAR && message.WParam == kCtrlA) return;
    TWinControl::WndProc(message);
}

// Memo lines.

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    TStringList list;
    list.SetText(text);
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

}  // namespace

std::string TMemoStrings::Get(int index) const {
    auto lines = SplitLines(memo_->GetText());
    CheckIndex(index, static_cast<int>(lines.size()));
    return lines[static_cast<size_t>(index)];
}

int TMemoStrings::GetCount() const { return static_cast<int>(SplitLines(memo_->GetText()).size()); }

void TMemoStrings::Insert(int index, const std::string& s) {
    auto lines = SplitLines(memo_->GetText());
    CheckIndex(index, static_cast<int>(lines.size()) + 1);
    lines.insert(lines.begin() + index, s);
    memo_->SetText(JoinLines(lines));
}

void TMemoStrings::Delete(int index) {
    auto lines = SplitLines(memo_->GetText());
    CheckIndex(index, static_cast<int>(lines.size()));
    lines.erase(lines.begin() + index);
    memo_->SetText(JoinLines(lines));
}

void TMemoStrings::Put(int index, const std::string& s) {
    auto lines = SplitLines(memo_->GetText());
    CheckIndex(index, static_cast<int>(lines.size()));
    lines[static_cast<size_t>(index)] = s;
    memo_->SetText(JoinLines(lines));
}

void TMemoStrings::Clear() { memo_->SetText(""); }

void TMemoStrings::SetUpdateState(bool updating) {
    if (HWND wnd = memo_->WindowHandle()) {
        SendMessageA(wnd, WM_SETREDRAW, updating ? FALSE : TRUE, 0);
        if (!updating) InvalidateRect(wnd, nullptr, TRUE);
    }
}

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomMemo(owner, nullptr) {}

TCustomMemo::TCustomMemo(TComponent* owner, std::unique_ptr<TStrings> lines)
    : TCustomEdit(owner), lines_(lines ? std::move(lines) : std::make_unique<TMemoStrings>(this)) {
    SetControlStyle(ControlStyle() & ~static_cast<TControlStyle>(csFixedHeight));
    SetAutoSelect(false);
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

DWORD TCustomMemo::EditStyle() const {
    DWORD style = ES_MULTILINE | ES_AUTOVSCROLL;
    if (!wordWrap_ && scrollBars_ != ssHorizontal && scrollBars_ != ssBoth) style |= ES_AUTOHSCROLL;
    if (!wordWrap_) style |= ES_AUTOHSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) style |= WS_VSCROLL;
    if ((scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) && !wordWrap_) style |= WS_HSCROLL;
    if (alignment_ == taRightJustify) style |= ES_RIGHT;
    if (alignment_ == taCenter) style |= ES_CENTER;
    return style;
}

void TCustomMemo::SetAlignment(TAlignment v) {
    if (alignment_ == v) return;
    alignment_ = v;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool v) {
    if (wordWrap_ == v) return;
    wordWrap_ = v;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle v) {
    if (scrollBars_ == v) return;
    scrollBars_ = v;
    RecreateWnd();
}

void TCustomMemo::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CM_WANTSPECIALKEY:
        if ((message.WParam == VK_RETURN && wantReturns_) || (message.WParam == VK_TAB && wantTabs_)) {
            message.Result = 1;
            return;
        }
        break;
    case WM_GETDLGCODE:
        TCustomEdit::WndProc(message);
        if (!wantTabs_) message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
        if (!wantReturns_) message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
        return;
    case WM_CHAR:
        // Keys the memo does not want must not be typed into it either.
        if ((message.WParam == '\t' && !wantTabs_) || (message.WParam == '\r' && !wantReturns_)) return;
        break;
    default:
        break;
    }
    TCustomEdit::WndProc(message);
}

}  // namespace forms
