#include "skin/controls/skin_control.h"

#include <atomic>
#include <vector>

#include "forms/bitmap.h"
#include "forms/graphics.h"
#include "forms/win_control.h"
#include "skin/skin_messages.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/portable/control_frames.h"
#include "skin/portable/skin_slicing.h"
#include "skin/skin_data.h"

namespace skin {

using forms::TMessage;

namespace {
std::atomic<int> paintErrors{0};
}

int TSkinControl::PaintErrors() { return paintErrors.load(); }

void TSkinControl::CountPaintError() { ++paintErrors; }

TSkinControl::TSkinControl(forms::TComponent* owner) : forms::TComponent(owner) {}

TSkinControl::~TSkinControl() {
    Unhook();
    if (list_ != nullptr) {
        if (list_->HotButton() == this) list_->SetHotButton(nullptr);
        list_->Remove(this);
    }
}

void TSkinControl::HookControl(forms::TControl* control) {
    controlHook_ = std::make_unique<forms::WindowProcHook>(
        *control, [this](TMessage& m, const forms::WindowProcHook::Next& next) { Dispatch(m, next); });
}

void TSkinControl::HookHandle(HWND wnd) {
    subclass_ = std::make_unique<forms::WindowSubclass>(
        wnd, [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next) {
            TMessage m{msg, wParam, lParam, 0};
            const Default callNext = [&next](TMessage& message) {
                message.Result = next(message.Msg, message.WParam, message.LParam);
            };
            Dispatch(m, callNext);
            return m.Result;
        });
}

void TSkinControl::Dispatch(TMessage& m, const Default& next) {
    const std::weak_ptr<void> alive = LifeToken();
    const Default* outer = next_;
    next_ = &next;
    SkinWndProc(m);
    if (!alive.expired()) next_ = outer;
}

void TSkinControl::Unhook() {
    // Each hook puts the old procedure back only while it is in front; a later subclasser
    // keeps its chain. A control being destroyed keeps whatever it has.
    controlHook_.reset();
    watchHook_.reset();
    subclass_.reset();
}

void TSkinControl::WatchControl(forms::TWinControl* control) {
    watched_ = control;
    watchHook_ = std::make_unique<forms::WindowProcHook>(
        *control, [this](TMessage& m, const forms::WindowProcHook::Next& next) { WatchMessage(m, next); });
}

void TSkinControl::WatchMessage(TMessage& m, const forms::WindowProcHook::Next& next) {
    if (lifeState_ == kLifeDead) {
        next(m);
        return;
    }
    if (m.Msg == kMsgWindowMadeAgain) {
        remadeFor_ = nullptr;
        TakeUpNewWindow();
        return;
    }
    if (m.Msg == forms::CM_WINDOWGIVENBACK) {
        const std::weak_ptr<void> alive = LifeToken();
        next(m);
        if (!alive.expired()) LetGoOfGivenBackWindow();
        return;
    }
    const std::weak_ptr<void> alive = LifeToken();
    next(m);
    if (alive.expired() || !watched_->HandleAllocated()) return;
    if (watched_->WindowHandle() != handle_) NoticeNewWindow(watched_->WindowHandle());
}

void TSkinControl::LetGoOfGivenBackWindow() {
    if (lifeState_ == kLifeDead) return;
    Unskin();
    lifeState_ = kLifeDead;
    // The hooks go with the skin, when the list frees the dead (not from inside their own
    // message); until then they only pass messages on.
    subclass_.reset();
    handle_ = nullptr;
    remadeFor_ = nullptr;
    if (list_ != nullptr && list_->HotButton() == this) list_->SetHotButton(nullptr);
}

void TSkinControl::NoticeNewWindow(HWND now) {
    // Its first messages come while the system still makes it (a combo's edit child, a tab's
    // arrows come later): the skin takes it up from the queue. A window made again before
    // its message came took the message with it: the newest one is asked again.
    if (remadeFor_ != now && PostMessageA(now, kMsgWindowMadeAgain, 0, 0)) remadeFor_ = now;
}

void TSkinControl::TakeUpNewWindow() {
    if (watched_ == nullptr || !watched_->HandleAllocated()) return;
    HWND now = watched_->WindowHandle();
    if (now == handle_ && subclass_ != nullptr && subclass_->Attached()) return;
    subclass_.reset();
    handle_ = now;
    HookHandle(now);
    lifeState_ = kLifeAttached;
    text_ = WindowText();
    InvalidateRect(now, nullptr, TRUE);
    WindowMadeAgain();
}

void TSkinControl::WindowMadeAgain() {
    focused_ = GetFocus() == handle_;
    enabled_ = IsWindowEnabled(handle_) != FALSE;
    text_ = WindowText();
    InvalidateSkin();
}

void TSkinControl::RememberColour(bool colourControl) {
    colourControl_ = colourControl;
    if (colourControl_ && control_ != nullptr) {
        savedColour_ = control_->Color();
        savedParentColour_ = control_->ParentColor();
        control_->SetColor(static_cast<forms::TColor>(FaceColour()));
    }
}

void TSkinControl::AttachControl(TControlSkinList* list, TSkinData* data, bool colourControl) {
    if (attached_) return;
    control_ = dynamic_cast<forms::TWinControl*>(Owner());
    // A windowless control gets no skin this way, and the skin stays out of the list.
    if (control_ == nullptr) return;
    data_ = data;
    list_ = list;
    handle_ = control_->Handle();
    HookControl(control_);
    // The skin paints over the control's own painting: off screen first, so it does not flicker.
    savedDoubleBuffered_ = control_->DoubleBuffered();
    control_->SetDoubleBuffered(true);
    if (list_ != nullptr) list_->Add(this);
    focused_ = GetFocus() == handle_;
    enabled_ = (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_DISABLED) == 0;
    text_ = WindowText();
    RememberColour(colourControl);
    control_->Invalidate();
    attached_ = true;
    lifeState_ = kLifeAttached;
}

void TSkinControl::AttachHandle(HWND wnd, TSkinData* data, TControlSkinList* list) {
    if (attached_) return;
    data_ = data;
    list_ = list;
    handle_ = wnd;
    enabled_ = true;
    if (list_ != nullptr) list_->Add(this);
    HookHandle(wnd);
    // A form-library control's window: the skin follows it to the next one the control makes.
    if (auto* owner = dynamic_cast<forms::TWinControl*>(Owner()); owner != nullptr && owner->HandleAllocated() &&
                                                                  owner->WindowHandle() == wnd)
        WatchControl(owner);
    text_ = WindowText();
    InvalidateRect(handle_, nullptr, TRUE);
    attached_ = true;
    lifeState_ = kLifeAttached;
}

void TSkinControl::Unskin() {
    if (colourControl_ && control_ != nullptr) {
        control_->SetColor(savedColour_);
        // A control that took its parent's colour does again: the colour it had when skinned
        // may have been the parent's face colour already.
        if (savedParentColour_) control_->SetParentColor(true);
    }
    if (savedDoubleBuffered_ && control_ != nullptr) control_->SetDoubleBuffered(*savedDoubleBuffered_);
    savedDoubleBuffered_.reset();
}

void TSkinControl::SkinWndProc(TMessage& m) {
    if (lifeState_ == kLifeDead && handle_ == nullptr) {
        CallDefault(m);  // let go of a window given back: only waits for the list to free it
        return;
    }
    // A control that made its window again keeps its hook, and this skin follows the new window.
    if (control_ != nullptr && controlHook_ && control_->HandleAllocated() && control_->WindowHandle() != handle_) {
        handle_ = control_->WindowHandle();
        if (attached_) NoticeNewWindow(handle_);
    }
    if (m.Msg == kMsgWindowMadeAgain && controlHook_) {
        remadeFor_ = nullptr;
        WindowMadeAgain();
        return;
    }
    if (m.Msg == forms::CM_WINDOWGIVENBACK && controlHook_) {
        const std::weak_ptr<void> alive = LifeToken();
        CallDefault(m);
        if (!alive.expired()) LetGoOfGivenBackWindow();
        return;
    }
    if (m.Msg == kMsgSkinnedQuery) {
        if (m.WParam != kSkinnedQueryCount) {
            m.Result = 1;
            return;
        }
        CallDefault(m);
        m.Result = m.Result + 1;
        return;
    }
    if (!skinOn_) {
        if (m.Msg == kMsgControlSwitch) {
            skinOn_ = static_cast<LONG_PTR>(m.WParam) > 0;
            if (skinOn_) InvalidateSkin();
            return;
        }
        CallDefault(m);
        return;
    }
    const std::weak_ptr<void> alive = LifeToken();
    if (!BeforeMessage(m) || alive.expired()) return;
    CallDefault(m);
    if (alive.expired()) return;  // the control's own handling freed this skin
    AfterMessage(m);
}

void TSkinControl::CallDefault(TMessage& m) {
    if (next_ != nullptr) (*next_)(m);
}

bool TSkinControl::BeforeMessage(TMessage& m) {
    if (m.Msg == WM_NCDESTROY) {
        const std::weak_ptr<void> alive = LifeToken();
        CallDefault(m);
        if (alive.expired()) return false;
        // Only the window goes (a new orientation or grip makes it again): the control and its
        // hook stay, and so does the skin.
        if (control_ != nullptr && controlHook_ && !control_->IsDestroying()) return false;
        if (watched_ != nullptr && !watched_->IsDestroying()) return false;  // its next window is hooked
        lifeState_ = kLifeDead;
        Unskin();
        return false;
    }
    return true;
}

void TSkinControl::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_SETTEXT:
        case forms::CM_ENABLEDCHANGED: InvalidateSkin(); break;
        case WM_PAINT: PaintFrame(reinterpret_cast<HDC>(m.WParam)); break;
        case kMsgControlSwitch: skinOn_ = static_cast<LONG_PTR>(m.WParam) > 0; break;
        default: break;
    }
}

void TSkinControl::InvalidateSkin(Repaint when) {
    if (control_ != nullptr) {
        control_->Invalidate();
    } else if (graphicControl_ != nullptr) {
        graphicControl_->Invalidate();
    } else if (handle_ != nullptr) {
        InvalidateRect(handle_, nullptr, TRUE);
        if (when == Repaint::Now) UpdateWindow(handle_);
    }
}

void TSkinControl::PaintFrame(HDC dc) {
    // Held here: a painter that calls user code (an owner-draw handler) may free this skin.
    HWND wnd = handle_;
    RECT r{};
    if (wnd == nullptr || !GetWindowRect(wnd, &r)) return;
    windowRect_ = r;
    OffsetRect(&r, -r.left, -r.top);
    HDC own = nullptr;
    if (dc == nullptr) {
        own = GetWindowDC(wnd);
        dc = own;
    }
    try {
        DrawSkin(dc, r);
    } catch (...) {
        ++paintErrors;  // a paint must not take the window down; tests count these
    }
    if (own != nullptr) ReleaseDC(wnd, own);
}

void TSkinControl::PaintMessage(TMessage& m) {
    HWND wnd = handle_;
    PAINTSTRUCT ps{};
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    const bool began = dc == nullptr;
    if (began) dc = BeginPaint(wnd, &ps);
    RECT r{};
    if (GetWindowRect(wnd, &r)) {
        windowRect_ = r;
        OffsetRect(&r, -r.left, -r.top);
        try {
            DrawSkin(dc, r);
        } catch (...) {
            ++paintErrors;
        }
    }
    if (began) EndPaint(wnd, &ps);
}

void TSkinControl::DrawSkin(HDC, const RECT&) {}

void TSkinControl::RefreshSkin() {
    if (colourControl_ && control_ != nullptr) control_->SetColor(static_cast<forms::TColor>(FaceColour()));
    InvalidateSkin(Repaint::Later);
}

const SkinElements* TSkinControl::Elements() const { return data_ != nullptr ? &data_->Elements() : nullptr; }

COLORREF TSkinControl::FaceColour() const {
    const SkinElements* e = Elements();
    return forms::ColorToRGB(static_cast<forms::TColor>(e != nullptr ? e->colours.ButtonFace : kSystemColour | COLOR_BTNFACE));
}

COLORREF TSkinControl::DisabledTextColour() const {
    const SkinElements* e = Elements();
    return forms::ColorToRGB(static_cast<forms::TColor>(e != nullptr ? e->colours.ButtonShadow : kSystemColour | COLOR_BTNSHADOW));
}

void TSkinControl::FillFace(HDC dc, const RECT& rect) const {
    forms::UniqueBrush brush(CreateSolidBrush(FaceColour()));
    FillRect(dc, &rect, brush.get());
}

void TSkinControl::FillParentFace(HDC dc, const RECT& rect) const {
    if (control_ != nullptr && control_->Parent() != nullptr) {
        forms::UniqueBrush brush(CreateSolidBrush(forms::ColorToRGB(control_->Parent()->Color())));
        FillRect(dc, &rect, brush.get());
        return;
    }
    FillFace(dc, rect);
}

LONG_PTR TSkinControl::GetWindowLongAW(int index) const {
    return Unicode() ? GetWindowLongPtrW(handle_, index) : GetWindowLongPtrA(handle_, index);
}

void TSkinControl::ForwardMouseDown(const TMessage& m) {
    if (control_ == nullptr) return;
    int x = static_cast<short>(LOWORD(m.LParam));
    int y = static_cast<short>(HIWORD(m.LParam));
    if (control_->Width() > 32768 || control_->Height() > 32768) {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(handle_, &p);
        x = p.x;
        y = p.y;
    }
    control_->PerformMouseDown(forms::mbLeft, forms::ShiftStateFromMouseKeys(m.WParam), x, y);
}

void TSkinControl::SendMouseLeave(TSkinControl* other) {
    if (other != nullptr && other->handle_ != nullptr) SendMessageA(other->handle_, forms::CM_MOUSELEAVE, 0, 0);
}

namespace {

// Copies pixels onto dc at rect, magenta left out when transparent.
void BlitPixels(HDC dc, const RECT& rect, const forms::PixelBuffer& pixels, bool transparent) {
    const int w = pixels.width();
    const int h = pixels.height();
    forms::TBitmap bitmap(w, h, forms::pf24bit);
    forms::PixelBuffer copy = pixels;
    forms::CopyPixels(copy.view(), bitmap.Pixels());
    HDC source = bitmap.Canvas()->Handle();
    if (transparent) TransparentBlt(dc, rect.left, rect.top, w, h, source, 0, 0, w, h, RGB(255, 0, 255));
    else BitBlt(dc, rect.left, rect.top, w, h, source, 0, 0, SRCCOPY);
}

}  // namespace

void TSkinControl::DrawElement(HDC dc, const RECT& rect, int count, int index, const TDataSkinObject& element) const {
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0 || element.image.empty() || count < 1) return;
    if (element.image.width() / count == 0) return;  // a frame of no width
    const forms::PixelBuffer frame =
        SliceFrame(w, h, element.image, {element.LeftWidth, element.TopHeight, element.RightWidth, element.BottomHeight},
                   false, element.Tile != 0, count, ClampFrame(index, count));
    if (frame.empty()) return;
    BlitPixels(dc, rect, frame, element.Trans == 1);
}

void TSkinControl::DrawStrip(HDC dc, const RECT& rect, const forms::PixelBuffer& strip, int count, int index,
                             bool transparent) const {
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0 || strip.empty() || count < 1 || strip.width() / count == 0) return;
    const forms::PixelBuffer frame = SliceFrame(w, h, strip, {}, false, false, count, ClampFrame(index, count));
    if (frame.empty()) return;
    BlitPixels(dc, rect, frame, transparent);
}

std::wstring TSkinControl::WindowText() const {
    if (handle_ == nullptr) return {};
    const int length = GetWindowTextLengthW(handle_);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(handle_, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<size_t>(got < 0 ? 0 : got));
}

}  // namespace skin
