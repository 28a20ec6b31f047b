#include "forms/label.h"

#include "forms/accel_char.h"
#include "forms/gdi_handle.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TCustomLabel::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TCustomLabel>("TCustomLabel", &TWinControl::StaticClass())
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &TCustomLabel::Alignment,
                  &TCustomLabel::SetAlignment)
            .Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize)
            .Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent)
            .Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap)
            .Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar)
            .Done();
    return info;
}

const TClassInfo& TLabel::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TLabel>("TLabel", &TCustomLabel::StaticClass()).Done();
    return info;
}

TCustomLabel::TCustomLabel(TComponent* owner) : TWinControl(owner) {
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClassName = "STATIC";
    params.Style &= ~static_cast<DWORD>(WS_TABSTOP);
    switch (alignment_) {
    case taLeftJustify: params.Style |= wordWrap_ ? SS_LEFT : SS_LEFTNOWORDWRAP; break;
    case taRightJustify: params.Style |= SS_RIGHT; break;
    case taCenter: params.Style |= SS_CENTER; break;
    }
    if (!showAccelChar_) params.Style |= SS_NOPREFIX;
    if (transparent_) params.ExStyle |= WS_EX_TRANSPARENT;
}

void TCustomLabel::HandleCreated() {
    TWinControl::HandleCreated();
    if (autoSize_) AdjustBounds();
}

void TCustomLabel::Loaded() {
    TWinControl::Loaded();
    if (autoSize_) AdjustBounds();
}

void TCustomLabel::StyleChanged() {
    if (HandleAllocated()) RecreateWnd();
    if (autoSize_) AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment v) {
    if (alignment_ == v) return;
    alignment_ = v;
    StyleChanged();
}

void TCustomLabel::SetAutoSize(bool v) {
    if (autoSize_ == v) return;
    autoSize_ = v;
    if (v) AdjustBounds();
}

void TCustomLabel::SetTransparent(bool v) {
    if (transparent_ == v) return;
    transparent_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomLabel::SetWordWrap(bool v) {
    if (wordWrap_ == v) return;
    wordWrap_ = v;
    StyleChanged();
}

void TCustomLabel::SetShowAccelChar(bool v) {
    if (showAccelChar_ == v) return;
    showAccelChar_ = v;
    StyleChanged();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
    if (focusControl_ == v) return;
    if (focusControl_ != nullptr) focusControl_->RemoveFreeNotification(this);
    focusControl_ = v;
    if (v != nullptr) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::SetText(const std::string& v) {
    if (v == GetText()) return;
    TWinControl::SetText(v);
    if (autoSize_) AdjustBounds();
    Invalidate();
}

void TCustomLabel::AdjustBounds() {
    if (IsLoading() || !autoSize_) return;
    std::string text = GetText();
    if (text.empty()) text = " ";
    ScreenDC screen;
    UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
    SelectedObject font(dc.get(), Font()->Handle());
    RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, flags);
    int width = wordWrap_ ? Width() : r.right;
    int left = Left();
    if (!wordWrap_ && alignment_ == taRightJustify) left += Width() - width;
    SetBounds(left, Top(), width, r.bottom);
}

void TCustomLabel::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CM_DIALOGCHAR:
        if (focusControl_ != nullptr && showAccelChar_ && Enabled() &&
            IsAccel(static_cast<char>(message.WParam), GetText()) && focusControl_->CanFocus()) {
            focusControl_->SetFocus();
            message.Result = 1;
            return;
        }
        break;
    case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        if (transparent_) {
            SetBkMode(dc, TRANSPARENT);
            message.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        } else {
            SetBkColor(dc, ColorToRGB(Color()));
            message.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
        }
        return;
    }
    default:
        break;
    }
    TWinControl::WndProc(message);
}

}  // namespace forms
