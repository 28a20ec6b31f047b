#include "skin/controls/scroll_skins.h"

#include <algorithm>

#include "forms/bitmap.h"
#include "forms/canvas.h"
#include "forms/graphics.h"
#include "forms/messages.h"
#include "forms/win_control.h"
#include "skin/controls/attach_controls.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/portable/control_frames.h"
#include "skin/controls/portable/scroll_geometry.h"
#include "skin/controls/property_access.h"
#include "skin/portable/skin_slicing.h"
#include "skin/skin_data.h"
#include "skin/skin_messages.h"

namespace skin {

using forms::TMessage;

namespace {

constexpr char kOverlayClass[] = "VantrellSkinScrollbar";

void RegisterOverlayClass() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = DefWindowProcA;  // replaced per window below
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kOverlayClass;
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
}

COLORREF Face(const TSkinData* data) {
    return forms::ColorToRGB(static_cast<forms::TColor>(data != nullptr ? data->Elements().colours.ButtonFace : kSystemColour | COLOR_BTNFACE));
}

// Draws frame index of count of element stretched into r on dc (margins kept, never tiled).
void DrawPart(HDC dc, const RECT& r, const TDataSkinObject& element, int count, int index, bool tile, bool transparent) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0 || element.image.empty() || count < 1 || element.image.width() / count == 0) return;
    const forms::PixelBuffer frame =
        SliceFrame(w, h, element.image, {element.LeftWidth, element.TopHeight, element.RightWidth, element.BottomHeight},
                   false, tile, count, ClampFrame(index, count));
    if (frame.empty()) return;
    forms::TBitmap bitmap(w, h, forms::pf24bit);
    forms::PixelBuffer copy = frame;
    forms::CopyPixels(copy.view(), bitmap.Pixels());
    HDC source = bitmap.Canvas()->Handle();
    if (transparent) TransparentBlt(dc, r.left, r.top, w, h, source, 0, 0, w, h, RGB(255, 0, 255));
    else BitBlt(dc, r.left, r.top, w, h, source, 0, 0, SRCCOPY);
}

}  // namespace

TWScrollbar::TWScrollbar(TSkinData* data, HWND host, int kind, bool vertical)
    : data_(data), host_(host), kind_(kind), vertical_(kind == 2 ? vertical : kind == 1), arrow_(GetSystemMetrics(SM_CXHSCROLL)) {
    RegisterOverlayClass();
    HWND parent = GetParent(host);
    wnd_.reset(CreateWindowExA(0, kOverlayClass, "", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr));
    if (wnd_) {
        SetWindowLongPtrA(wnd_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrA(wnd_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWScrollbar::Proc));
    }
    UpdatePosition(host);
}

TWScrollbar::~TWScrollbar() {
    if (wnd_) SetWindowLongPtrA(wnd_.get(), GWLP_USERDATA, 0);
}

bool TWScrollbar::ReadInfo(SCROLLBARINFO& info) const {
    info = SCROLLBARINFO{};
    info.cbSize = sizeof info;
    if (kind_ == 2) return ReadControlInfo(info);
    return GetScrollBarInfo(host_, vertical_ ? OBJID_VSCROLL : OBJID_HSCROLL, &info) != FALSE;
}

bool TWScrollbar::ReadControlInfo(SCROLLBARINFO& info) const {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    if (!IsWindow(host_) || !GetScrollInfo(host_, SB_CTL, &si)) return false;
    RECT r{};
    GetClientRect(host_, &r);
    MapWindowPoints(host_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    info.rcScrollBar = r;
    const int length = vertical_ ? r.bottom - r.top : r.right - r.left;
    // Measured from the bottom of the range, so a range that does not start at 0 still fits.
    const std::optional<ThumbSpan> thumb =
        ControlThumb(length, arrow_, si.nPage, static_cast<std::int64_t>(si.nPos) - si.nMin,
                     static_cast<std::int64_t>(si.nMax) - si.nMin);
    info.xyThumbTop = thumb ? thumb->start : 0;
    info.xyThumbBottom = thumb ? thumb->end : 0;
    info.dxyLineButton = arrow_;
    if (!IsWindowVisible(host_)) info.rgstate[0] |= STATE_SYSTEM_INVISIBLE;
    if (!IsWindowEnabled(host_)) info.rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
    return true;
}

POINT TWScrollbar::ToHost(LPARAM lParam) const {
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(wnd_.get(), &p);
    if (kind_ == 2) ScreenToClient(host_, &p);
    return p;
}

void TWScrollbar::UpdatePosition(HWND host) {
    host_ = host;
    SCROLLBARINFO info;
    visible_ = ReadInfo(info);
    if (!visible_ || !wnd_) return;
    if (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) {
        HideBar();
        return;
    }
    screenRect_ = info.rcScrollBar;
    RECT r = info.rcScrollBar;
    MapWindowPoints(nullptr, GetParent(host_), reinterpret_cast<POINT*>(&r), 2);
    length_ = vertical_ ? r.bottom - r.top : r.right - r.left;
    visible_ = true;
    if (kind_ == 2) {
        SetWindowPos(wnd_.get(), HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        InvalidateRect(wnd_.get(), nullptr, FALSE);
        return;
    }
    HWND above = GetWindow(host_, GW_HWNDPREV);
    if (above == wnd_.get()) above = GetWindow(wnd_.get(), GW_HWNDPREV);
    SetWindowPos(wnd_.get(), above != nullptr ? above : HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    MoveWindow(wnd_.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    InvalidateRect(wnd_.get(), nullptr, FALSE);
}

void TWScrollbar::HideBar() {
    if (wnd_) ShowWindow(wnd_.get(), SW_HIDE);
    visible_ = false;
}

void TWScrollbar::Repaint() {
    if (wnd_ && visible_) {
        InvalidateRect(wnd_.get(), nullptr, FALSE);
        UpdateWindow(wnd_.get());
    }
}

int TWScrollbar::HitTest(POINT p) const {
    const int v = vertical_ ? p.y : p.x;
    if (v < arrow_) return 0;
    if (v < thumbStart_) return 2;
    if (v < thumbEnd_) return 5;
    if (v < length_ - arrow_) return 3;
    return 1;
}

LRESULT CALLBACK TWScrollbar::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TWScrollbar*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(wnd, msg, wParam, lParam);
    try {
        return self->Message(msg, wParam, lParam);
    } catch (...) {
        TSkinControl::CountPaintError();
        return DefWindowProcA(wnd, msg, wParam, lParam);  // nothing may cross back into the system
    }
}

LRESULT TWScrollbar::Message(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps{};
            HDC dc = wParam != 0 ? reinterpret_cast<HDC>(wParam) : BeginPaint(wnd_.get(), &ps);
            Paint(dc);
            if (wParam == 0) EndPaint(wnd_.get(), &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: Press(lParam); return 0;
        case WM_LBUTTONUP: Release(lParam); return 0;
        default: return DefWindowProcA(wnd_.get(), msg, wParam, lParam);
    }
}

void TWScrollbar::Press(LPARAM lParam) {
    const POINT p = ToHost(lParam);
    GetCursorPos(&cursorAtPress_);
    SCROLLBARINFO info;
    if (ReadInfo(info)) thumbStartAtPress_ = info.xyThumbTop;
    if (kind_ == 2) {
        thumbStart_ = info.xyThumbTop;
        thumbEnd_ = info.xyThumbBottom;
        part_ = HitTest(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    }
    tracking_ = true;
    if (kind_ == 2) Repaint();
    ReleaseCapture();
    // The system's own scroll loop runs inside this call until the button is released; the
    // host (and with it this overlay) may be gone when it returns.
    const std::weak_ptr<void> alive = life_;
    if (kind_ == 2) SendMessageA(host_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    else SendMessageA(host_, WM_NCLBUTTONDOWN, vertical_ ? HTVSCROLL : HTHSCROLL, MAKELPARAM(p.x, p.y));
    if (alive.expired()) return;
    tracking_ = false;
    ReleaseCapture();
    Repaint();
}

void TWScrollbar::Release(LPARAM lParam) {
    const POINT p = ToHost(lParam);
    tracking_ = false;
    ReleaseCapture();
    if (kind_ == 2) {
        PostMessageA(host_, WM_LBUTTONUP, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        Repaint();
        return;
    }
    PostMessageA(host_, WM_NCLBUTTONUP, vertical_ ? HTVSCROLL : HTHSCROLL, MAKELPARAM(p.x, p.y));
}

void TWScrollbar::Paint(HDC dc) {
    const SkinElements* e = data_ != nullptr ? &data_->Elements() : nullptr;
    const TDataSkinObject* arrows = e != nullptr ? e->Part("Scrollbar") : nullptr;
    if (arrows == nullptr || arrows->image.empty()) return;
    SCROLLBARINFO info;
    if (!ReadInfo(info) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE)) return;
    // Some platforms mark only the two arrows of a disabled bar.
    const bool enabled = (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0 &&
                         !((info.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) && (info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE));
    RECT client{};
    GetClientRect(wnd_.get(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    length_ = vertical_ ? client.bottom : client.right;
    int thickness = arrows->image.height();
    if (thickness < arrow_ - 3) thickness = arrow_;

    forms::TBitmap bitmap(client.right, client.bottom, forms::pf24bit);
    HDC mem = bitmap.Canvas()->Handle();
    SetStretchBltMode(mem, HALFTONE);
    forms::UniqueBrush face(CreateSolidBrush(Face(data_)));
    FillRect(mem, &client, face.get());
    auto along = [&](int from, int to) {
        return vertical_ ? RECT{0, from, thickness, to} : RECT{from, 0, to, thickness};
    };
    int arrow = arrow_;
    const bool shortBar = length_ < 2 * arrow;
    if (shortBar) arrow = length_ / 2;
    // Track.
    if (!shortBar) {
        if (const TDataSkinObject* track = e->Part(vertical_ ? "VertScroll" : "HorzScroll")) {
            DrawPart(mem, along(arrow, length_ - arrow), *track, 4, enabled ? 1 : 3, track->Tile != 0, track->Trans == 1);
        }
    }
    // Arrows.
    const int firstFrame = vertical_ ? 9 : 1;
    const int secondFrame = vertical_ ? 13 : 5;
    DrawPart(mem, along(0, arrow), *arrows, 23, firstFrame + (tracking_ && part_ == 0 ? 1 : 0), false, true);
    DrawPart(mem, along(length_ - arrow, length_), *arrows, 23, secondFrame + (tracking_ && part_ == 1 ? 1 : 0), false, true);
    // Thumb.
    if (tracking_ && part_ == 5 && kind_ != 2) {
        POINT cursor{};
        GetCursorPos(&cursor);
        const int moved = vertical_ ? cursor.y - cursorAtPress_.y : cursor.x - cursorAtPress_.x;
        const std::optional<ThumbSpan> dragged = DraggedThumb(length_, arrow_, thumbStartAtPress_, thumbEnd_ - thumbStart_, moved);
        thumbStart_ = dragged ? dragged->start : 0;
        thumbEnd_ = dragged ? dragged->end : 0;
    } else {
        thumbStart_ = info.xyThumbTop;
        thumbEnd_ = info.xyThumbBottom;
    }
    if (enabled && thumbEnd_ > thumbStart_) {
        if (const TDataSkinObject* thumb = e->Part(vertical_ ? "VertScrollThumb" : "HorzScrollThumb")) {
            DrawPart(mem, along(thumbStart_, thumbEnd_), *thumb, thumb->FrameCount, tracking_ && part_ == 5 ? 2 : 1, false,
                     thumb->Trans == 1);
        }
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
}

TSkinScrollbar::~TSkinScrollbar() = default;

void TSkinScrollbar::AttachScrollControl(TControlSkinList* list, TSkinData* data) {
    if (LifeState() != kLifeCreated) return;
    SetData(data);
    SetList(list);
    auto* control = dynamic_cast<forms::TWinControl*>(Owner());
    if (control == nullptr) return;
    SetControl(control);
    SetHandle(control->Handle());
    if (list != nullptr) list->Add(this);
    MakeOverlays(data);
    if (!control->Visible()) {
        horizontal_->HideBar();
        vertical_->HideBar();
    }
    HookControl(control);
    SetLifeState(kLifeAttached);
}

void TSkinScrollbar::Unskin() {
    TSkinControl::Unskin();
    if (LifeState() == kLifeDead) return;  // the windows went with the host's parent's
    horizontal_.reset();
    vertical_.reset();
}

void TSkinScrollbar::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_SIZE: InvalidateSkin(); break;
        case WM_NCPAINT:
            if (Control() != nullptr) SetHandle(Control()->Handle());
            UpdateOverlays();
            break;
        case WM_HSCROLL:
        case WM_VSCROLL: FollowScroll(m); break;
        case WM_MOUSEWHEEL:
            for (TWScrollbar* bar : {horizontal_.get(), vertical_.get()}) {
                if (bar != nullptr && bar->Visible()) bar->Repaint();
            }
            break;
        case forms::CM_VISIBLECHANGED:
            if (m.WParam == 0) {
                if (horizontal_) horizontal_->HideBar();
                if (vertical_) vertical_->HideBar();
            }
            break;
        case forms::CM_CONTROLCHANGE:
        case forms::CM_CHILDHANDLECREATED:
            // A cell added later (a scroll box fills itself after a scan), or one whose window
            // came as it came into view: skinned once it is whole, from the queue.
            if ((m.Msg == forms::CM_CHILDHANDLECREATED || m.LParam != 0) && !childWalkPosted_ && Handle() != nullptr) {
                childWalkPosted_ = PostMessageA(Handle(), kMsgAttachControls, 0, 0) != FALSE;
            }
            break;
        case kMsgAttachControls:
            childWalkPosted_ = false;
            if (List() != nullptr && Control() != nullptr && !Control()->IsDestroying()) SkinChildControls(*List(), *Control());
            break;
        default: TSkinControl::AfterMessage(m); break;
    }
}

void TSkinScrollbar::MakeOverlays(TSkinData* data) {
    horizontal_ = std::make_unique<TWScrollbar>(data, Handle(), 0);
    vertical_ = std::make_unique<TWScrollbar>(data, Handle(), 1);
}

void TSkinScrollbar::UpdateOverlays() {
    for (TWScrollbar* bar : {horizontal_.get(), vertical_.get()}) {
        if (bar != nullptr) bar->UpdatePosition(Handle());
    }
}

void TSkinScrollbar::FollowScroll(const TMessage& m) {
    TWScrollbar* bar = m.Msg == WM_HSCROLL ? horizontal_.get() : vertical_.get();
    if (bar != nullptr) {
        bar->SetPart(LOWORD(m.WParam));
        bar->Repaint();
    }
}

TSkinScControl::~TSkinScControl() = default;

void TSkinScControl::AttachScrollBarControl(TControlSkinList* list, TSkinData* data) {
    if (LifeState() != kLifeCreated) return;
    auto* control = dynamic_cast<forms::TWinControl*>(Owner());
    if (control == nullptr) return;
    SetData(data);
    SetList(list);
    SetControl(control);
    SetHandle(control->Handle());
    if (list != nullptr) list->Add(this);
    overlay_ = std::make_unique<TWScrollbar>(data, Handle(), 2, EnumLower(control, "Kind") != "sbhorizontal");
    if (!control->Visible()) overlay_->HideBar();
    HookControl(control);
    SetLifeState(kLifeAttached);
}

void TSkinScControl::Unskin() {
    TSkinControl::Unskin();
    if (LifeState() != kLifeDead) overlay_.reset();
}

void TSkinScControl::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_NCPAINT:
            if (Control() != nullptr) SetHandle(Control()->Handle());
            if (overlay_) overlay_->UpdatePosition(Handle());
            break;
        case SBM_SETSCROLLINFO:
        case forms::CN_HSCROLL:
        case forms::CN_VSCROLL:
            if (overlay_) overlay_->Repaint();
            break;
        case forms::CM_VISIBLECHANGED:
            if (!overlay_) break;
            if (m.WParam == 0) overlay_->HideBar();
            else overlay_->UpdatePosition(Handle());
            break;
        default: TSkinControl::AfterMessage(m); break;
    }
}

void TSkinScControl::DrawSkin(HDC, const RECT&) {
    if (overlay_) overlay_->Repaint();
}

void TSkinScrollbarH::AttachHandle(HWND wnd, TSkinData* data, TControlSkinList* list) {
    if (LifeState() != kLifeCreated) return;
    SetData(data);
    SetList(list);
    SetHandle(wnd);
    if (list != nullptr) list->Add(this);
    MakeOverlays(data);
    HookHandle(wnd);
    SetLifeState(kLifeAttached);
}

void TSkinScrollbarH::AfterMessage(TMessage& m) {
    if (!IsWindowVisible(Handle()) && vertical_) vertical_->HideBar();
    switch (m.Msg) {
        case WM_SIZE:
        case WM_NCPAINT:
            UpdateOverlays();
            InvalidateSkin();
            break;
        case WM_HSCROLL:
        case WM_VSCROLL: FollowScroll(m); break;
        default: TSkinControl::AfterMessage(m); break;
    }
}

void TSkinScrollbar::DrawSkin(HDC dc, const RECT&) {
    for (TWScrollbar* bar : {horizontal_.get(), vertical_.get()}) {
        if (bar != nullptr && bar->Visible()) bar->Repaint();
    }
    if (horizontal_ && vertical_ && horizontal_->Visible() && vertical_->Visible()) {
        // The square between the two bars, in the window's own coordinates.
        RECT window{};
        GetWindowRect(Handle(), &window);
        const RECT& v = vertical_->ScreenRect();
        const RECT& h = horizontal_->ScreenRect();
        RECT corner{v.left - window.left, h.top - window.top, v.right - window.left + 2, h.bottom - window.top + 2};
        FillFace(dc, corner);
    }
}

}  // namespace skin
