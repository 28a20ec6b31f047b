#include "forms/win_control.h"

#include <algorithm>
#include <map>

#include "forms/application.h"
#include "forms/guard.h"
#include "forms/handle_counts.h"
#include "forms/portable/properties.h"

namespace forms {

namespace {

// The control being created on this thread: its window's first messages arrive before
// CreateWindowExA returns.
thread_local TWinControl* creatingControl = nullptr;

struct RegisteredClass {
    WNDPROC defProc;
    int objectOffset;  // where our pointer sits in the window's extra bytes
};
std::map<std::string, RegisteredClass>& ClassTable() {
    static std::map<std::string, RegisteredClass> table;
    return table;
}

const RegisteredClass& RegisterControlClass(const TCreateParams& p) {
    auto& table = ClassTable();
    auto it = table.find(p.WinClassName);
    if (it != table.end()) return it->second;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    WNDPROC defProc = DefWindowProcA;
    if (!p.SystemClassName.empty()) {
        if (!GetClassInfoExA(nullptr, p.SystemClassName.c_str(), &wc) &&
            !GetClassInfoExA(instance, p.SystemClassName.c_str(), &wc)) {
            throw EOutOfResources("Window class " + p.SystemClassName + " is not available");
        }
        wc.cbSize = sizeof wc;
        defProc = wc.lpfnWndProc;
        wc.style = (wc.style & ~CS_GLOBALCLASS) | (p.ClassStyle & CS_DBLCLKS);
    } else {
        wc.style = p.ClassStyle;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = nullptr;
    }
    int offset = wc.cbWndExtra;
    wc.cbWndExtra += static_cast<int>(sizeof(LONG_PTR));
    wc.lpfnWndProc = &TWinControl::StdWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = p.WinClassName.c_str();
    wc.lpszMenuName = nullptr;
    if (RegisterClassExA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw EOutOfResources("Cannot register window class " + p.WinClassName);
    }
    return table.emplace(p.WinClassName, RegisteredClass{defProc, offset}).first->second;
}

int ObjectOffset(HWND wnd) {
    return static_cast<int>(GetClassLongPtrA(wnd, GCL_CBWNDEXTRA)) - static_cast<int>(sizeof(LONG_PTR));
}

bool IsOurWindow(HWND wnd) {
    return wnd != nullptr && reinterpret_cast<WNDPROC>(GetClassLongPtrA(wnd, GCLP_WNDPROC)) == &TWinControl::StdWndProc;
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL && msg != WM_MOUSEHWHEEL; }

HWND ReflectionTarget(const TMessage& m) {
    switch (m.Msg) {
        case WM_COMMAND: return m.LParam != 0 ? reinterpret_cast<HWND>(m.LParam) : nullptr;
        case WM_NOTIFY: return reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
        case WM_DRAWITEM: {
            auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
            return d->CtlType == ODT_MENU ? nullptr : d->hwndItem;
        }
        case WM_COMPAREITEM: return reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem;
        case WM_DELETEITEM: return reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem;
        case WM_HSCROLL: case WM_VSCROLL:
        case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        case WM_CHARTOITEM: case WM_VKEYTOITEM:
            return reinterpret_cast<HWND>(m.LParam);
        default: return nullptr;
    }
}

}  // namespace

const TClassInfo& TWinControl::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TWinControl>("TWinControl", &TControl::StaticClass())
                                       .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
                                       .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
                                       .Bool("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered)
                                       .Done();
    return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner), brush_(std::make_unique<TBrush>()) {
    brush_->SetColor(Color());
}

TWinControl::~TWinControl() {
    Destroying();
    // Children go first (parent destruction frees them; owners see them leave).
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        delete child;
    }
    DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND wnd) {
    if (!IsOurWindow(wnd)) return nullptr;
    return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, ObjectOffset(wnd)));
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, ObjectOffset(wnd)));
    if (control == nullptr && creatingControl != nullptr) {
        control = creatingControl;
        creatingControl = nullptr;
        control->AttachHandle(wnd);
    }
    if (control == nullptr) {
        auto it = ClassTable().end();
        char name[256] = {};
        if (GetClassNameA(wnd, name, sizeof name) > 0) it = ClassTable().find(name);
        WNDPROC def = it != ClassTable().end() ? it->second.defProc : DefWindowProcA;
        return CallWindowProcA(def, wnd, msg, wParam, lParam);
    }
    TMessage m{msg, wParam, lParam, 0};
    bool ok = Guarded([&] { control->Dispatch(m); });
    if (msg == WM_NCDESTROY) {
        // The object may already be gone if a handler freed it; only the window long tells.
        if (reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, ObjectOffset(wnd))) == control) control->DetachHandle();
    }
    if (!ok && msg == WM_NCCREATE) return FALSE;
    return m.Result;
}

void TWinControl::AttachHandle(HWND wnd) {
    handle_ = wnd;
    SetWindowLongPtrA(wnd, ObjectOffset(wnd), reinterpret_cast<LONG_PTR>(this));
    handle_counts::AddWindows(1);
}

void TWinControl::DetachHandle() {
    if (handle_ == nullptr) return;
    SetWindowLongPtrA(handle_, ObjectOffset(handle_), 0);
    ForgetHandle();
}

void TWinControl::ForgetHandle() {
    if (handle_ == nullptr) return;
    handle_ = nullptr;
    showing_ = false;
    handle_counts::AddWindows(-1);
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.Caption = text_;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (controlStyle_ & csAcceptsControls) p.Style |= WS_CLIPCHILDREN;
    if (Visible()) p.Style |= WS_VISIBLE;
    if (!IsEnabledInTree()) p.Style |= WS_DISABLED;
    if (tabStop_) p.Style |= WS_TABSTOP;
    p.X = Left();
    p.Y = Top();
    p.Width = Width();
    p.Height = Height();
    p.WndParent = Parent() != nullptr ? Parent()->Handle() : parentWindow_;
    p.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
    TCreateParams p;
    CreateParams(p);
    if (p.WndParent == nullptr && (p.Style & WS_CHILD)) {
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    }
    const RegisteredClass& cls = RegisterControlClass(p);
    defWndProc_ = cls.defProc;
    creatingControl = this;
    HWND wnd = CreateWindowHandle(p);
    creatingControl = nullptr;
    if (wnd == nullptr) {
        // Refused in WM_NCCREATE after it was attached: the system has already destroyed it.
        ForgetHandle();
        throw EOutOfResources("Error creating window of " + ClassName());
    }
    if (handle_ == nullptr) AttachHandle(wnd);
    SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    PlaceInZOrder();
}

HWND TWinControl::CreateWindowHandle(const TCreateParams& p) {
    return CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                           p.WndParent, p.Menu, GetModuleHandleA(nullptr), nullptr);
}

void TWinControl::PlaceInZOrder() {
    // Windows are made in whatever order handles are needed; the list order decides which is
    // on top (later in Controls is above), so a window goes just below its next sibling.
    TWinControl* parent = Parent();
    if (parent == nullptr || handle_ == nullptr) return;
    const auto& siblings = parent->controls_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it == siblings.end()) return;
    HWND above = HWND_TOP;
    for (++it; it != siblings.end(); ++it) {
        auto* w = dynamic_cast<TWinControl*>(*it);
        if (w != nullptr && w->handle_ != nullptr) { above = w->handle_; break; }
    }
    // SetWindowPos puts the window just below the one it is given.
    SetWindowPos(handle_, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::DestroyWnd() {
    HWND wnd = handle_;
    if (wnd == nullptr) return;
    HandleDestroying();
    if (!text_.empty() || true) {
        int len = GetWindowTextLengthA(wnd);
        std::string s(static_cast<size_t>(len) + 1, '\0');
        GetWindowTextA(wnd, s.data(), len + 1);
        s.resize(static_cast<size_t>(len));
        text_ = s;
    }
    DestroyWindowHandle(wnd);
    if (handle_ == wnd) DetachHandle();
}

void TWinControl::DestroyHandle() {
    if (handle_ == nullptr) return;
    controlState_ |= csDestroyingHandle;
    for (TControl* c : controls_) {
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    }
    DestroyWnd();
    controlState_ &= ~csDestroyingHandle;
}

void TWinControl::GiveBackHandle() {
    if (handle_ == nullptr) return;
    std::vector<TWinControl*> given;
    CollectWindowed(given);
    DestroyHandle();
    for (TWinControl* w : given) w->Perform(CM_WINDOWGIVENBACK);
}

void TWinControl::CollectWindowed(std::vector<TWinControl*>& list) {
    if (handle_ == nullptr) return;
    list.push_back(this);
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->CollectWindowed(list);
}

void TWinControl::ReleaseGdiHandles() {
    // A window keeps the font it was given (WM_SETFONT): only a control without one lets it go.
    if (handle_ == nullptr) TControl::ReleaseGdiHandles();
    brush_->ReleaseHandle();
    for (TControl* c : controls_) c->ReleaseGdiHandles();
}

void TWinControl::HandleNeeded() {
    if (handle_ != nullptr) return;
    if (Parent() != nullptr) Parent()->HandleNeeded();
    if (handle_ != nullptr) return;  // the parent made ours along with its own
    controlState_ |= csCreating;
    try {
        CreateWnd();
    } catch (...) {
        controlState_ &= ~csCreating;
        throw;
    }
    controlState_ &= ~csCreating;
    showing_ = (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
    HandleCreated();
    CreateChildHandles();
    Realign();
    // Whatever attaches itself to children's windows (a skin) hears of each new one.
    if (Parent() != nullptr) Parent()->Perform(CM_CHILDHANDLECREATED, reinterpret_cast<WPARAM>(this));
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return handle_;
}

void TWinControl::CreateChildHandles() {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        if (auto* w = dynamic_cast<TWinControl*>(c); w != nullptr && MakesChildHandle(*w)) w->HandleNeeded();
    }
}

bool TWinControl::MakesChildHandle(const TWinControl&) const { return true; }

bool TWinControl::WindowLeftForLater() const {
    const TWinControl* parent = Parent();
    return handle_ == nullptr && parent != nullptr && parent->handle_ != nullptr && !parent->MakesChildHandle(*this);
}

void TWinControl::RecreateWnd() {
    if (handle_ == nullptr) return;
    DestroyHandle();
    HandleNeeded();
}

void TWinControl::SetParentWindow(HWND wnd) {
    if (wnd == parentWindow_) return;
    parentWindow_ = wnd;
    if (Parent() == nullptr && handle_ != nullptr) ::SetParent(handle_, wnd);
}

void TWinControl::InsertControl(TControl* control) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), TRUE);
    controls_.push_back(control);
    alignOrder_.push_back(control);
    control->parent_ = this;
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        tabList_.push_back(w);
        if (handle_ != nullptr && !IsLoading()) {
            if (w->handle_ != nullptr) ::SetParent(w->handle_, handle_);
            else if (MakesChildHandle(*w)) w->HandleNeeded();
            w->UpdateShowing();
            w->UpdateWindowEnabled();
        }
    } else {
        control->Invalidate();
    }
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), TRUE);
    if (!IsLoading()) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), FALSE);
    if (mouseControl_ == control) mouseControl_ = nullptr;
    // The form must not keep a focused control that leaves it, whoever owns that control.
    // A control being destroyed is only a TControl by now: compare pointers, no casts.
    if (TForm* form = GetParentForm(this); form != nullptr) {
        for (const TControl* c = form->ActiveControl(); c != nullptr; c = c->Parent()) {
            if (c == control) {
                form->SetActiveControl(nullptr);
                break;
            }
        }
    }
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
        if (w->handle_ != nullptr && !IsDestroying()) w->DestroyHandle();
    } else {
        control->Invalidate();
    }
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    std::erase(alignOrder_, control);
    control->parent_ = nullptr;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), FALSE);
    if (!IsDestroying()) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c != nullptr; c = c->Parent()) {
        if (c == this) return true;
    }
    return false;
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled, bool allowWinControls) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
        if (windowed && !allowWinControls) continue;
        if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
        RECT r = c->BoundsRect();
        if (!PtInRect(&r, p)) continue;
        if (c->Perform(CM_HITTEST, 0, PointToHitTestParam(p.x - c->Left(), p.y - c->Top())) != 0) return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& m) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        c->Dispatch(m);
        if (m.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT msg, WPARAM wParam, LPARAM lParam) {
    for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(msg, wParam, lParam);
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c != nullptr; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
    }
    return true;
}

bool TWinControl::Focused() const { return handle_ != nullptr && GetFocus() == handle_; }

void TWinControl::SetFocus() {
    if (TForm* form = GetParentForm(this); form != nullptr && form != static_cast<TControl*>(this)) {
        form->FocusControl(this);
    }
    if (Showing()) ::SetFocus(Handle());
}

void TWinControl::SetTabStop(bool v) {
    if (v == tabStop_) return;
    tabStop_ = v;
    if (handle_ != nullptr) {
        LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
        SetWindowLongPtrA(handle_, GWL_STYLE, v ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
    }
}

int TWinControl::TabOrder() const {
    if (Parent() == nullptr) return -1;
    auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int v) {
    if (Parent() == nullptr) return;
    auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    v = std::clamp(v, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + v, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* w : tabList_) {
        list.push_back(w);
        w->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop, bool checkParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), current);
    int start = it == list.end() ? (forward ? n - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = forward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == current) break;
        if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, forward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign() {
    if (--alignLevel_ == 0) Realign();
}

RECT TWinControl::AlignArea() { return ClientRect(); }

void TWinControl::Realign() {
    if (IsLoading() || IsDestroying()) return;
    // Asked for while aligning (a scroll bar that came or went resized the client area):
    // the pass under way runs again once it is done.
    if (alignLevel_ > 0) {
        controlState_ |= csAlignmentNeeded;
        return;
    }
    // A minimised window has no client area to align in; restoring it aligns again.
    if (handle_ != nullptr && IsIconic(handle_)) return;
    constexpr int kMaxPasses = 4;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        controlState_ &= ~csAlignmentNeeded;
        struct Level {
            int& level;
            explicit Level(int& l) : level(l) { ++level; }
            ~Level() { --level; }
        } level(alignLevel_);
        RECT r = AlignArea();
        AlignControls(nullptr, r);
        if (!(controlState_ & csAlignmentNeeded)) break;
    }
    controlState_ &= ~csAlignmentNeeded;
}

void TWinControl::AlignControls(TControl*, RECT& r) {
    static constexpr TAlign kOrder[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign a : kOrder) {
        for (TControl* c : std::vector<TControl*>(alignOrder_)) {
            if (c->Align() != a || !c->Visible()) continue;
            int w = c->Width(), h = c->Height();
            switch (a) {
                case alTop: c->SetBounds(r.left, r.top, r.right - r.left, h); r.top += h; break;
                case alBottom: c->SetBounds(r.left, r.bottom - h, r.right - r.left, h); r.bottom -= h; break;
                case alLeft: c->SetBounds(r.left, r.top, w, r.bottom - r.top); r.left += w; break;
                case alRight: c->SetBounds(r.right - w, r.top, w, r.bottom - r.top); r.right -= w; break;
                default: c->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); break;
            }
        }
    }
}

RECT TWinControl::ClientRect() const {
    if (handle_ != nullptr) {
        RECT r{};
        GetClientRect(handle_, &r);
        return r;
    }
    return TControl::ClientRect();
}

POINT TWinControl::ClientOrigin() const {
    if (handle_ != nullptr) {
        POINT p{0, 0};
        ::ClientToScreen(handle_, &p);
        return p;
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetClientSize(int w, int h) {
    RECT c = ClientRect();
    SetBounds(Left(), Top(), Width() + w - (c.right - c.left), Height() + h - (c.bottom - c.top));
}

void TWinControl::SetBounds(int left, int top, int width, int height) { TControl::SetBounds(left, top, width, height); }

void TWinControl::BoundsChanged() {
    sizeUnreported_ = false;  // SetBounds reports its own size
    if (handle_ != nullptr) {
        SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool TWinControl::Showing() const {
    if (handle_ != nullptr) return IsWindowVisible(handle_) != FALSE;
    return TControl::Showing();
}

void TWinControl::UpdateShowing() {
    if (handle_ == nullptr) return;
    bool show = Visible() && (Parent() == nullptr || Parent()->Showing() || Parent()->HandleAllocated());
    ShowWindow(handle_, show ? SW_SHOWNA : SW_HIDE);
    bool now = IsWindowVisible(handle_) != FALSE;
    if (now != showing_) {
        showing_ = now;
        Perform(CM_SHOWINGCHANGED);
        for (TControl* c : controls_) {
            if (auto* w = dynamic_cast<TWinControl*>(c)) {
                if (w->handle_ != nullptr && (IsWindowVisible(w->handle_) != FALSE) != w->showing_) {
                    w->showing_ = !w->showing_;
                    w->Perform(CM_SHOWINGCHANGED);
                }
            }
        }
    }
}

void TWinControl::SetVisible(bool v) {
    if (v == Visible()) return;
    TControl::SetVisible(v);
    UpdateShowing();
}

void TWinControl::UpdateWindowEnabled() {
    if (handle_ != nullptr) EnableWindow(handle_, IsEnabledInTree() ? TRUE : FALSE);
    for (TControl* c : controls_) {
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateWindowEnabled();
        else c->Invalidate();
    }
}

void TWinControl::SetEnabled(bool v) {
    if (v == Enabled()) return;
    TControl::SetEnabled(v);
    UpdateWindowEnabled();
    NotifyControls(CM_PARENTENABLEDCHANGED);
}

std::string TWinControl::GetText() const {
    if (handle_ == nullptr) return text_;
    int len = GetWindowTextLengthA(handle_);
    std::string s(static_cast<size_t>(len) + 1, '\0');
    int got = GetWindowTextA(handle_, s.data(), len + 1);
    s.resize(static_cast<size_t>(std::max(got, 0)));
    return s;
}

void TWinControl::SetText(const std::string& v) {
    if (v == GetText()) return;
    text_ = v;
    if (handle_ != nullptr) SetWindowTextA(handle_, v.c_str());
    Perform(CM_TEXTCHANGED);
}

void TWinControl::Invalidate() {
    if (handle_ != nullptr) InvalidateRect(handle_, nullptr, (controlStyle_ & csOpaque) ? FALSE : TRUE);
}

void TWinControl::Update() {
    if (handle_ != nullptr) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
    if (handle_ != nullptr) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWinControl::BringToFront() {
    TControl::BringToFront();
    if (handle_ != nullptr) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::SendToBack() {
    TControl::SendToBack();
    if (handle_ != nullptr) SetWindowPos(handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::ScrollBy(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    DisableAlign();
    // Thousands of children may have no window (a gallery's cells out of view): they only
    // change their numbers; the few windows are moved after, as the moves may send messages.
    std::vector<TWinControl*> windowed;
    for (TControl* c : controls_) {
        c->left_ += dx;
        c->top_ += dy;
    }
    for (TWinControl* w : tabList_)
        if (w->handle_ != nullptr) windowed.push_back(w);
    for (TWinControl* w : windowed)
        if (w->handle_ != nullptr)
            SetWindowPos(w->handle_, nullptr, w->left_, w->top_, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    alignLevel_--;
    if (handle_ != nullptr) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    auto it = controls_.begin();
    if (first != nullptr) it = std::find(controls_.begin(), controls_.end(), first);
    for (; it != controls_.end(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible()) continue;
        RECT r = c->BoundsRect();
        if (!RectVisible(dc, &r)) continue;
        SavedDCState state(dc);
        POINT org{};
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + c->Left(), org.y + c->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

void TWinControl::PaintWindow(HDC dc) {
    if (defWndProc_ != nullptr && defWndProc_ != DefWindowProcA) {
        TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
        DefaultHandler(m);
    }
}

void TWinControl::EraseBackground(TMessage& m) {
    if (defWndProc_ != nullptr && defWndProc_ != DefWindowProcA) {
        DefaultHandler(m);
        return;
    }
    auto dc = reinterpret_cast<HDC>(m.WParam);
    RECT r{};
    GetClientRect(handle_, &r);
    brush_->SetColor(Color());
    ::FillRect(dc, &r, brush_->Handle());
    m.Result = 1;
}

void TWinControl::HandlePaint(TMessage& m) {
    bool ownClass = defWndProc_ == DefWindowProcA;
    if (!ownClass && controls_.empty()) {
        DefaultHandler(m);
        return;
    }
    if (m.WParam != 0) {
        auto dc = reinterpret_cast<HDC>(m.WParam);
        PaintWindow(dc);
        PaintControls(dc, nullptr);
        return;
    }
    PaintScope paint(handle_);
    if (doubleBuffered_ && ownClass) {
        RECT r{};
        GetClientRect(handle_, &r);
        UniqueMemoryDC mem(CreateCompatibleDC(paint.dc()));
        UniqueBitmap bmp(CreateCompatibleBitmap(paint.dc(), std::max<LONG>(r.right, 1), std::max<LONG>(r.bottom, 1)));
        SelectedObject sel(mem.get(), bmp.get());
        TMessage erase{WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.get()), 0, 0};
        EraseBackground(erase);
        PaintWindow(mem.get());
        PaintControls(mem.get(), nullptr);
        BitBlt(paint.dc(), 0, 0, r.right, r.bottom, mem.get(), 0, 0, SRCCOPY);
        return;
    }
    PaintWindow(paint.dc());
    PaintControls(paint.dc(), nullptr);
}

void TWinControl::HandlePrintClient(TMessage& m) {
    auto dc = reinterpret_cast<HDC>(m.WParam);
    SavedDCState state(dc);
    if (defWndProc_ == DefWindowProcA) {
        if (m.LParam & PRF_ERASEBKGND) {
            TMessage erase{WM_ERASEBKGND, m.WParam, 0, 0};
            Dispatch(erase);
        }
        TMessage paint{WM_PAINT, m.WParam, 0, 0};
        Dispatch(paint);
    } else {
        DefaultHandler(m);
        SavedDCState inner(dc);
        PaintControls(dc, nullptr);
    }
}

bool TWinControl::RouteMouseToChild(TMessage& m) {
    POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    TControl* target = mouseControl_;
    if (target == nullptr) target = ControlAtPos(p, false);
    if (target == nullptr) return false;
    bool down = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_MBUTTONDOWN ||
                m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK;
    if (down && (target->ControlStyle() & csCaptureMouse)) {
        mouseControl_ = target;
        SetCapture(handle_);
    }
    LPARAM local = MAKELPARAM(static_cast<WORD>(p.x - target->Left()), static_cast<WORD>(p.y - target->Top()));
    m.Result = target->Perform(m.Msg, m.WParam, local);
    bool up = m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP;
    if (up && (m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && mouseControl_ == target) {
        mouseControl_ = nullptr;
        if (GetCapture() == handle_) ReleaseCapture();
    }
    return true;
}

bool TWinControl::ReflectToChild(TMessage& m) {
    HWND target = ReflectionTarget(m);
    if (target == nullptr || target == handle_) return false;
    TWinControl* child = FindControl(target);
    if (child == nullptr) return false;
    m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return true;
}

void TWinControl::HandleKeyNotification(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    switch (m.Msg) {
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN: {
            if (DoKeyDown(key, KeyDataToShiftState(m.LParam))) {
                m.Result = 1;
                return;
            }
            HandleDialogKey(m);
            return;
        }
        case CN_KEYUP:
            m.Result = DoKeyUp(key, KeyDataToShiftState(m.LParam)) ? 1 : 0;
            return;
        case CN_CHAR: {
            char c = static_cast<char>(m.WParam);
            m.Result = DoKeyPress(c) ? 1 : 0;
            return;
        }
        case CN_SYSCHAR: {
            TForm* form = GetParentForm(this);
            if (form != nullptr && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) m.Result = 1;
            return;
        }
        default: return;
    }
}

void TWinControl::HandleDialogKey(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    LRESULT codes = 0;
    switch (key) {
        case VK_TAB: case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
        case VK_RETURN: case VK_ESCAPE: case VK_EXECUTE: case VK_CANCEL: break;
        default: return;
    }
    if (Perform(CM_WANTSPECIALKEY, key) != 0) return;
    MSG msg{handle_, WM_KEYDOWN, m.WParam, m.LParam, 0, {}};
    codes = SendMessageA(handle_, WM_GETDLGCODE, m.WParam, reinterpret_cast<LPARAM>(&msg));
    if (codes & DLGC_WANTALLKEYS) return;
    if (key == VK_TAB && (codes & DLGC_WANTTAB)) return;
    if ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) && (codes & DLGC_WANTARROWS)) return;
    TForm* form = GetParentForm(this);
    if (form != nullptr && form->Perform(CM_DIALOGKEY, key, m.LParam) != 0) m.Result = 1;
}

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift) {
    TForm* form = GetParentForm(this);
    if (form != nullptr && form != static_cast<TControl*>(this) && form->KeyPreview()) {
        if (static_cast<TWinControl*>(form)->DoKeyDown(key, shift)) return true;
    }
    KeyDown(key, shift);
    return key == 0;
}

bool TWinControl::DoKeyUp(WORD& key, TShiftState shift) {
    TForm* form = GetParentForm(this);
    if (form != nullptr && form != static_cast<TControl*>(this) && form->KeyPreview()) {
        if (static_cast<TWinControl*>(form)->DoKeyUp(key, shift)) return true;
    }
    KeyUp(key, shift);
    return key == 0;
}

bool TWinControl::DoKeyPress(char& key) {
    TForm* form = GetParentForm(this);
    if (form != nullptr && form != static_cast<TControl*>(this) && form->KeyPreview()) {
        if (static_cast<TWinControl*>(form)->DoKeyPress(key)) return true;
    }
    KeyPress(key);
    return key == 0;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) { if (OnKeyDown) OnKeyDown(this, key, shift); }
void TWinControl::KeyUp(WORD& key, TShiftState shift) { if (OnKeyUp) OnKeyUp(this, key, shift); }
void TWinControl::KeyPress(char& key) { if (OnKeyPress) OnKeyPress(this, key); }
void TWinControl::DoEnter() { if (OnEnter) OnEnter(this); }
void TWinControl::DoExit() { if (OnExit) OnExit(this); }

void TWinControl::Notification(TComponent* component, TOperation operation) {
    TControl::Notification(component, operation);
}

void TWinControl::Loaded() {
    TControl::Loaded();
    if (handle_ != nullptr) {
        SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        if (!text_.empty()) SetWindowTextA(handle_, text_.c_str());
    } else if (Parent() != nullptr && Parent()->HandleAllocated()) {
        HandleNeeded();
    }
    Realign();
}

void TWinControl::WndProc(TMessage& m) {
    if (IsMouseMessage(m.Msg) && handle_ != nullptr && RouteMouseToChild(m)) return;
    switch (m.Msg) {
        case WM_PAINT: HandlePaint(m); return;
        case WM_ERASEBKGND: EraseBackground(m); return;
        case WM_PRINTCLIENT: HandlePrintClient(m); return;
        case WM_PRINT: {
            SavedDCState state(reinterpret_cast<HDC>(m.WParam));
            DefaultHandler(m);
            return;
        }
        case WM_COMMAND: case WM_NOTIFY: case WM_DRAWITEM: case WM_COMPAREITEM: case WM_DELETEITEM:
        case WM_HSCROLL: case WM_VSCROLL: case WM_CHARTOITEM: case WM_VKEYTOITEM:
        case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
            if (ReflectToChild(m)) return;
            break;
        case CN_CTLCOLORMSGBOX: case CN_CTLCOLOREDIT: case CN_CTLCOLORLISTBOX: case CN_CTLCOLORBTN:
        case CN_CTLCOLORDLG: case CN_CTLCOLORSCROLLBAR: case CN_CTLCOLORSTATIC: {
            auto dc = reinterpret_cast<HDC>(m.WParam);
            SetTextColor(dc, ColorToRGB(Font()->Color()));
            SetBkColor(dc, ColorToRGB(Color()));
            brush_->SetColor(Color());
            m.Result = reinterpret_cast<LRESULT>(brush_->Handle());
            return;
        }
        case CN_KEYDOWN: case CN_SYSKEYDOWN: case CN_KEYUP: case CN_CHAR: case CN_SYSCHAR:
            HandleKeyNotification(m);
            return;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(m.WParam) == handle_ && LOWORD(m.LParam) == HTCLIENT) {
                TCursor cursor = Screen != nullptr ? Screen->Cursor() : crDefault;
                if (cursor == crDefault) {
                    POINT p{};
                    GetCursorPos(&p);
                    ::ScreenToClient(handle_, &p);
                    TControl* c = ControlAtPos(p, true);
                    cursor = c != nullptr ? c->Cursor() : Cursor();
                }
                if (cursor != crDefault) {
                    ::SetCursor(CursorHandle(cursor));
                    m.Result = 1;
                    return;
                }
            }
            break;
        case WM_SIZE:
        case WM_MOVE:
            // Moves and sizes made by the system (or the user) reach the bounds; a minimised
            // window keeps the bounds and the layout it had.
            if (handle_ != nullptr && !IsIconic(handle_) && !(m.Msg == WM_SIZE && m.WParam == SIZE_MINIMIZED)) {
                RECT r{};
                GetWindowRect(handle_, &r);
                if (HWND p = GetParent(handle_); p != nullptr && (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD)) {
                    MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
                }
                const bool changed = (r.right - r.left) != Width() || (r.bottom - r.top) != Height();
                left_ = r.left;
                top_ = r.top;
                width_ = r.right - r.left;
                height_ = r.bottom - r.top;
                // The system sends WM_MOVE before WM_SIZE, and only WM_MOVE when a new frame
                // keeps the client's size: a size first seen there is reported on WM_SIZE.
                if (m.Msg == WM_MOVE) {
                    sizeUnreported_ = sizeUnreported_ || changed;
                } else {
                    const bool resized = changed || sizeUnreported_;
                    sizeUnreported_ = false;
                    Realign();
                    if (resized) Resize();
                }
            }
            break;
        case WM_SETFOCUS:
            if (TForm* form = GetParentForm(this); form != nullptr && form != static_cast<TControl*>(this)) {
                form->FocusControl(this);
            }
            DoEnter();
            break;
        case WM_KILLFOCUS:
            DoExit();
            break;
        case WM_MOUSELEAVE:
            if (Application != nullptr) Application->DoMouseIdle();
            break;
        case WM_CONTEXTMENU:
            if (PopupMenu() != nullptr && PopupMenuHook) {
                POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
                if (p.x == -1 && p.y == -1) p = ClientToScreen(POINT{0, 0});
                PopupMenuHook(PopupMenu(), this, p.x, p.y);
                m.Result = 1;
                return;
            }
            break;
        case CM_COLORCHANGED:
            brush_->SetColor(Color());
            NotifyControls(CM_PARENTCOLORCHANGED);
            break;
        case WM_GETFONT:
            // Our own classes keep no font in the window; what they draw with is Font.
            if (defWndProc_ == DefWindowProcA) {
                m.Result = reinterpret_cast<LRESULT>(Font()->Handle());
                return;
            }
            break;
        case CM_FONTCHANGED:
            if (handle_ != nullptr) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
            NotifyControls(CM_PARENTFONTCHANGED);
            break;
        case CM_SHOWHINTCHANGED:
            NotifyControls(CM_PARENTSHOWHINTCHANGED);
            break;
        case CM_DIALOGKEY:
        case CM_DIALOGCHAR:
            Broadcast(m);
            if (m.Result != 0) return;
            break;
        default: break;
    }
    TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (handle_ == nullptr) return;
    if (m.Msg >= CM_BASE) {
        return;  // our notifications never reach the system procedure
    }
    m.Result = CallWindowProcA(defWndProc_ != nullptr ? defWndProc_ : DefWindowProcA, handle_, m.Msg, m.WParam, m.LParam);
}

}  // namespace forms
