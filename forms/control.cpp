#include "forms/control.h"

#include <algorithm>

#include "forms/application.h"
#include "forms/portable/properties.h"
#include "forms/win_control.h"

namespace forms {

std::function<void(TComponent*, TControl*, int, int)> PopupMenuHook;

HCURSOR CursorHandle(TCursor cursor) {
    struct Entry { TCursor cursor; LPCSTR id; };
    static const Entry kCursors[] = {
        {crArrow, IDC_ARROW}, {crCross, IDC_CROSS}, {crIBeam, IDC_IBEAM}, {crSizeNESW, IDC_SIZENESW},
        {crSizeNS, IDC_SIZENS}, {crSizeNWSE, IDC_SIZENWSE}, {crSizeWE, IDC_SIZEWE}, {crUpArrow, IDC_UPARROW},
        {crHourGlass, IDC_WAIT}, {crNo, IDC_NO}, {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},
        {crHandPoint, IDC_HAND}, {crSizeAll, IDC_SIZEALL}};
    if (cursor == crNone) return nullptr;
    for (const Entry& e : kCursors) {
        if (e.cursor == cursor) return LoadCursorA(nullptr, e.id);
    }
    return LoadCursorA(nullptr, IDC_ARROW);
}

const TClassInfo& TControl::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TControl>("TControl", &TComponent::StaticClass())
            .Int("Left", &TControl::Left, &TControl::SetLeft)
            .Int("Top", &TControl::Top, &TControl::SetTop)
            .Int("Width", &TControl::Width, &TControl::SetWidth)
            .Int("Height", &TControl::Height, &TControl::SetHeight)
            .Enum("Align", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}, &TControl::Align,
                  &TControl::SetAlign)
            .Bool("Visible", &TControl::Visible, &TControl::SetVisible)
            .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled)
            .Int("Color", &TControl::Color, &TControl::SetColor)
            .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
            .Object("Font", &TControl::Font, &TControl::SetFont)
            .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
            .Str("Caption", &TControl::Caption, &TControl::SetCaption)
            .Str("Text", &TControl::Text, &TControl::SetText)
            .Str("Hint", &TControl::Hint, &TControl::SetHint)
            .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
            .Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint)
            .Int("Cursor", &TControl::Cursor, &TControl::SetCursor)
            .Object("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
            .Done();
    return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    font_->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
    Destroying();
    if (Application != nullptr) Application->ControlDestroyed(this);
    if (parent_ != nullptr) SetParent(nullptr);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    Dispatch(m);
    return m.Result;
}

void TControl::Dispatch(TMessage& m) {
    if (WindowProc) WindowProc(m);
    else WndProc(m);
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::HandleMouseMessage(TMessage& m) {
    int x = static_cast<short>(LOWORD(m.LParam));
    int y = static_cast<short>(HIWORD(m.LParam));
    TShiftState shift = ShiftStateFromMouseKeys(m.WParam);
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
            controlState_ |= csLButtonDown | csClicked;
            MouseDown(mbLeft, shift, x, y);
            break;
        case WM_RBUTTONDOWN: MouseDown(mbRight, shift, x, y); break;
        case WM_MBUTTONDOWN: MouseDown(mbMiddle, shift, x, y); break;
        case WM_LBUTTONDBLCLK:
            if (controlStyle_ & csDoubleClicks) {
                DblClick();
                MouseDown(mbLeft, shift | ssDouble, x, y);
            } else {
                controlState_ |= csLButtonDown | csClicked;
                MouseDown(mbLeft, shift, x, y);
            }
            break;
        case WM_RBUTTONDBLCLK: MouseDown(mbRight, shift | ssDouble, x, y); break;
        case WM_LBUTTONUP: {
            bool clicked = (controlState_ & csClicked) != 0;
            controlState_ &= ~(csLButtonDown | csClicked);
            RECT r = ClientRect();
            POINT p{x, y};
            MouseUp(mbLeft, shift, x, y);
            if (clicked && (controlStyle_ & csClickEvents) && PtInRect(&r, p)) Click();
            break;
        }
        case WM_RBUTTONUP: MouseUp(mbRight, shift, x, y); break;
        case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); break;
        case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
        default: break;
    }
}

void TControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK:
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
        case WM_MOUSEMOVE:
            HandleMouseMessage(m);
            break;
        case CM_HITTEST: m.Result = HTCLIENT; return;
        case CM_ENABLEDCHANGED: case CM_COLORCHANGED: case CM_FONTCHANGED: case CM_TEXTCHANGED:
            Invalidate();
            break;
        case CM_PARENTCOLORCHANGED:
            if (parentColor_ && parent_ != nullptr) {
                updatingFromParent_ = true;
                SetColor(static_cast<TControl*>(parent_)->Color());
                updatingFromParent_ = false;
            }
            break;
        case CM_PARENTFONTCHANGED:
            if (parentFont_ && parent_ != nullptr) {
                updatingFromParent_ = true;
                font_->Assign(*static_cast<TControl*>(parent_)->Font());
                updatingFromParent_ = false;
            }
            break;
        case CM_PARENTSHOWHINTCHANGED:
            if (parentShowHint_ && parent_ != nullptr) {
                bool v = static_cast<TControl*>(parent_)->ShowHint();
                if (v != showHint_) {
                    showHint_ = v;
                    Perform(CM_SHOWHINTCHANGED);
                }
            }
            break;
        case CM_VISIBLECHANGED:
            break;
        default:
            break;
    }
    DefaultHandler(m);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_ != nullptr) parent_->RemoveControl(this);
    if (parent != nullptr) {
        parent->InsertControl(this);
        if (parentColor_) Perform(CM_PARENTCOLORCHANGED);
        if (parentFont_) Perform(CM_PARENTFONTCHANGED);
        if (parentShowHint_) Perform(CM_PARENTSHOWHINTCHANGED);
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    bool resized = width != width_ || height != height_;
    if (parent_ != nullptr && !IsLoading()) InvalidateControl(visible_, false);
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged();
    if (parent_ != nullptr && !IsLoading()) InvalidateControl(visible_, false);
    if (IsLoading()) return;
    RequestAlign();
    if (resized) Resize();
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

RECT TControl::ClientRect() const { return RECT{0, 0, width_, height_}; }
int TControl::ClientWidth() const { RECT r = ClientRect(); return r.right - r.left; }
int TControl::ClientHeight() const { RECT r = ClientRect(); return r.bottom - r.top; }
void TControl::SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
void TControl::SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
void TControl::SetClientSize(int w, int h) { SetBounds(left_, top_, w, h); }

POINT TControl::ClientOrigin() const {
    if (parent_ == nullptr) return POINT{left_, top_};
    POINT p = parent_->ClientOrigin();
    return POINT{p.x + left_, p.y + top_};
}

POINT TControl::ClientToScreen(POINT p) const {
    POINT o = ClientOrigin();
    return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) const {
    POINT o = ClientOrigin();
    return POINT{p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign v) {
    if (v == align_) return;
    align_ = v;
    if (!IsLoading()) RequestAlign();
}

void TControl::RequestAlign() {
    if (parent_ != nullptr && !IsLoading()) parent_->Realign();
}

void TControl::SetVisible(bool v) {
    if (v == visible_) return;
    VisibleChanging();
    visible_ = v;
    Perform(CM_VISIBLECHANGED, v ? 1 : 0);
    if (parent_ != nullptr) {
        InvalidateControl(true, false);
        if (align_ != alNone) RequestAlign();
    }
}

bool TControl::Showing() const { return visible_ && parent_ != nullptr && parent_->Showing(); }

bool TControl::IsEnabledInTree() const {
    for (const TControl* c = this; c != nullptr; c = c->parent_) {
        if (!c->enabled_) return false;
    }
    return true;
}

void TControl::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor v) {
    if (!updatingFromParent_) parentColor_ = false;
    if (v == color_) return;
    color_ = v;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
    if (v == parentColor_) return;
    parentColor_ = v;
    if (v && parent_ != nullptr && !IsLoading()) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetFont(TFont* font) {
    if (font != nullptr) font_->Assign(*font);
}

void TControl::FontChanged() {
    if (!updatingFromParent_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool v) {
    if (v == parentFont_) return;
    parentFont_ = v;
    if (v && parent_ != nullptr && !IsLoading()) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetShowHint(bool v) {
    parentShowHint_ = false;
    if (v == showHint_) return;
    showHint_ = v;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
    if (v == parentShowHint_) return;
    parentShowHint_ = v;
    if (v && parent_ != nullptr) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetCursor(TCursor v) {
    if (v == cursor_) return;
    cursor_ = v;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TComponent* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_ != nullptr) RemoveFreeNotification(popupMenu_);
    popupMenu_ = menu;
    if (menu != nullptr) FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

std::string TControl::GetText() const { return text_; }

void TControl::SetText(const std::string& v) {
    if (v == text_) return;
    text_ = v;
    Perform(CM_TEXTCHANGED);
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
    if (parent_ == nullptr || !parent_->HandleAllocated() || !isVisible) return;
    // A windowed control without its window has drawn nothing there (a container may leave
    // thousands of them without one).
    if (auto* w = dynamic_cast<TWinControl*>(this); w != nullptr && !w->HandleAllocated()) return;
    RECT r = BoundsRect();
    InvalidateRect(parent_->WindowHandle(), &r, isOpaque ? FALSE : TRUE);
}

void TControl::Invalidate() { InvalidateControl(visible_, (controlStyle_ & csOpaque) != 0); }

void TControl::Update() {
    if (parent_ != nullptr) parent_->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::SetZOrder(bool topMost) {
    if (parent_ == nullptr) return;
    auto& list = parent_->controls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (topMost) list.push_back(this);
    else list.insert(list.begin(), this);
    Invalidate();
}

void TControl::BringToFront() { SetZOrder(true); }
void TControl::SendToBack() { SetZOrder(false); }

bool TControl::MouseCapture() const {
    return parent_ != nullptr && parent_->mouseControl_ == this && GetCapture() == parent_->WindowHandle();
}

void TControl::SetMouseCapture(bool v) {
    if (parent_ == nullptr || !parent_->HandleAllocated()) return;
    if (v) {
        parent_->mouseControl_ = this;
        SetCapture(parent_->WindowHandle());
    } else if (parent_->mouseControl_ == this) {
        parent_->mouseControl_ = nullptr;
        if (GetCapture() == parent_->WindowHandle()) ReleaseCapture();
    }
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (parent_ != nullptr) {
        if (parentColor_) Perform(CM_PARENTCOLORCHANGED);
        if (parentFont_) Perform(CM_PARENTFONTCHANGED);
    }
    RequestAlign();
}

void TControl::ReleaseGdiHandles() { font_->ReleaseHandle(); }

}  // namespace forms
