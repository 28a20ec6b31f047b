#include "forms/application.h"

#include <algorithm>

#include "forms/guard.h"
#include "forms/hint_window.h"
#include "forms/platform_calls.h"
#include "forms/portable/properties.h"

namespace forms {

TApplication* Application = nullptr;

namespace {

// A click or a key ends the hint shown.
bool CancelsHint(UINT message) {
    static constexpr UINT kMessages[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_NCLBUTTONDOWN,
                                         WM_NCRBUTTONDOWN, WM_KEYDOWN, WM_SYSKEYDOWN, WM_MOUSEWHEEL};
    return std::find(std::begin(kMessages), std::end(kMessages), message) != std::end(kMessages);
}

}  // namespace
TScreen* Screen = nullptr;

const TClassInfo& TApplication::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TApplication>("TApplication", &TComponent::StaticClass())
                                       .Str("Title", &TApplication::Title, &TApplication::SetTitle)
                                       .Int("HintColor", &TApplication::HintColor, &TApplication::SetHintColor)
                                       .Done();
    return info;
}

TApplication::TApplication() : TComponent(nullptr), hints_(std::make_unique<THintController>()) {
    std::string exe = ExeName();
    size_t slash = exe.find_last_of("\\/");
    std::string base = slash == std::string::npos ? exe : exe.substr(slash + 1);
    size_t dot = base.find_last_of('.');
    title_ = dot == std::string::npos ? base : base.substr(0, dot);
}

TApplication::~TApplication() {
    Destroying();
    DestroyComponents();
    mouseControl_ = nullptr;
}

std::string TApplication::ExeName() const {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

void TApplication::Run() {
    if (mainForm_ != nullptr) mainForm_->Show();
    while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

bool TApplication::IsKeyMsg(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    TWinControl* control = TWinControl::FindControl(msg.hwnd);
    // A system control inside a superclass of ours (a combo box's edit) belongs to its parent.
    if (control == nullptr && msg.hwnd != nullptr) control = TWinControl::FindControl(GetParent(msg.hwnd));
    if (control == nullptr) return false;
    return control->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::ProcessMessage() {
    MSG msg{};
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        // An outer loop (Run, a modal loop) must see it too.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    if (CancelsHint(msg.message)) Guarded([this] { hints_->Cancel(); });
    bool handled = false;
    if (OnMessage) Guarded([&] { OnMessage(msg, handled); });
    if (!handled && !Guarded([&] { handled = IsKeyMsg(msg); })) handled = true;
    if (!handled) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) Guarded([this] { DoMouseIdle(); });
    return true;
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TApplication::Idle() {
    Guarded([this] { DoMouseIdle(); });
    bool done = true;
    if (OnIdle) Guarded([&] { OnIdle(this, done); });
    if (done) WaitMessage();
}

void TApplication::HandleMessage() {
    if (!ProcessMessage() && !terminated_) Idle();
}

void TApplication::HandleException(const std::exception& e) {
    if (dynamic_cast<const EAbort*>(&e) != nullptr) return;
    if (OnException) {
        OnException(this, e);
        return;
    }
    ShowException(e);
}

void TApplication::ShowException(const std::exception& e) {
    if (showingException_) return;  // an error while showing one: do not stack boxes
    showingException_ = true;
    std::string text = e.what();
    HWND owner = mainForm_ != nullptr ? mainForm_->WindowHandle() : nullptr;
    try {
        ShowMessageBox(owner, text, title_, MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
    showingException_ = false;
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    HWND owner = nullptr;
    if (Screen != nullptr && Screen->ActiveForm() != nullptr) owner = Screen->ActiveForm()->WindowHandle();
    else if (mainForm_ != nullptr) owner = mainForm_->WindowHandle();
    return ShowMessageBox(owner, text, caption.empty() ? title_ : caption, flags);
}

TControl* TApplication::FindControlAtPos(POINT screen) const {
    HWND wnd = WindowFromPoint(screen);
    TWinControl* control = TWinControl::FindControl(wnd);
    if (control == nullptr && wnd != nullptr) control = TWinControl::FindControl(GetParent(wnd));
    if (control == nullptr) return nullptr;
    TControl* result = control;
    POINT client = screen;
    ScreenToClient(control->WindowHandle(), &client);
    if (TControl* inner = control->ControlAtPos(client, true)) result = inner;
    return result;
}

void TApplication::NotifyMouseChain(TControl* control, UINT msg) {
    // The control itself first, then each parent outwards, all with the control in LParam.
    // A handler may free any of them: ControlDestroyed blanks it here.
    notifyChain_.clear();
    for (TControl* c = control; c != nullptr; c = c->Parent()) notifyChain_.push_back(c);
    const auto lp = reinterpret_cast<LPARAM>(control);
    for (size_t i = 0; i < notifyChain_.size(); ++i) {
        if (notifyChain_[i] != nullptr) notifyChain_[i]->Perform(msg, 0, lp);
        if (notifyChain_.empty() || notifyChain_[0] == nullptr) break;  // the control itself went away
    }
    notifyChain_.clear();
}

void TApplication::DoMouseIdle() {
    POINT p{};
    GetCursorPos(&p);
    TControl* now = FindControlAtPos(p);
    hints_->MouseAt(now);
    if (now == mouseControl_) return;
    TControl* old = mouseControl_;
    mouseControl_ = now;
    if (old != nullptr) NotifyMouseChain(old, CM_MOUSELEAVE);
    if (now != nullptr && mouseControl_ == now) {
        NotifyMouseChain(now, CM_MOUSEENTER);
        if (mouseControl_ != now) return;
        // WM_MOUSELEAVE brings us back here when the cursor leaves our windows.
        TWinControl* w = dynamic_cast<TWinControl*>(now);
        if (w == nullptr) w = now->Parent();
        if (w != nullptr && w->HandleAllocated()) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, w->WindowHandle(), 0};
            TrackMouseEvent(&tme);
        }
    }
}

void TApplication::ControlDestroyed(TControl* control) {
    hints_->ControlDestroyed(control);
    if (mouseControl_ == control) mouseControl_ = nullptr;
    std::replace(notifyChain_.begin(), notifyChain_.end(), control, static_cast<TControl*>(nullptr));
}

const TClassInfo& TScreen::StaticClass() {
    static const TClassInfo info("TScreen", &TComponent::StaticClass());
    return info;
}

TScreen::TScreen() : TComponent(nullptr) {}

void TScreen::AddForm(TForm* form) { forms_.push_back(form); }
void TScreen::RemoveForm(TForm* form) { std::erase(forms_, form); }

TForm* TScreen::ActiveForm() const {
    HWND active = GetActiveWindow();
    for (TForm* f : forms_) {
        if (f->WindowHandle() == active && active != nullptr) return f;
    }
    return nullptr;
}

TWinControl* TScreen::ActiveControl() const {
    TForm* f = ActiveForm();
    return f != nullptr ? f->ActiveControl() : nullptr;
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }
int TScreen::PixelsPerInch() const { return ScreenPixelsPerInch(); }

void TScreen::SetCursor(TCursor v) {
    if (v == cursor_) return;
    cursor_ = v;
    POINT p{};
    GetCursorPos(&p);
    SetCursorPos(p.x, p.y);  // makes the window under the cursor ask again
}

ApplicationScope::ApplicationScope() {
    Screen = new TScreen();
    Application = new TApplication();
}

ApplicationScope::~ApplicationScope() {
    delete Application;
    Application = nullptr;
    delete Screen;
    Screen = nullptr;
}

}  // namespace forms
