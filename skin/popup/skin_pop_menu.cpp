#include "skin/popup/skin_pop_menu.h"

#include "forms/gdi_handle.h"
#include "skin/skin_data.h"
#include "skin/skin_drawing.h"
#include "skin/skin_messages.h"

namespace skin {

namespace {

TSkinPopMenu*& Unnamed() {
    static TSkinPopMenu* unnamed = nullptr;
    return unnamed;
}

// Counts a window message in progress for the object's life checks.
struct BusyScope {
    explicit BusyScope(int& n) : n_(n) { ++n_; }
    ~BusyScope() { --n_; }
    int& n_;
};

}  // namespace

TSkinPopMenu* CurrentUnnamedPopup() { return Unnamed(); }

void NameCurrentPopup(HMENU menu) {
    if (Unnamed() != nullptr) Unnamed()->SetMenu(menu);
    Unnamed() = nullptr;
}

TSkinPopMenu::TSkinPopMenu(const bool& active) : active_(active) {}

TSkinPopMenu::~TSkinPopMenu() {
    Unhook();
    if (Unnamed() == this) Unnamed() = nullptr;
}

void TSkinPopMenu::Hook(HWND wnd, TSkinData* data, HMENU menu) {
    wnd_ = wnd;
    data_ = data;
    menu_ = menu;
    proc_ = std::make_unique<forms::WindowSubclass>(
        wnd, [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next) {
            BusyScope busy(busy_);
            return WndProc(msg, wParam, lParam, next);
        });
}

void TSkinPopMenu::Unhook() {
    if (Unnamed() == this) Unnamed() = nullptr;
    if (!proc_) return;
    proc_.reset();
    background_ = forms::PixelBuffer(0, 0, 3);
}

bool TSkinPopMenu::CanPaint() const {
    if (data_ == nullptr || data_->NoSkin()) return false;
    const TDataSkinObject* back = data_->Elements().Part("MenuBackground");
    return back != nullptr && !back->image.empty();
}

COLORREF MenuLineColour(const SkinColours& c) {
    const auto resolve = [](std::uint32_t colour) -> COLORREF {
        return (colour & kSystemColour) == kSystemColour ? GetSysColor(static_cast<int>(colour & 0xFF)) : colour & 0xFFFFFF;
    };
    const COLORREF text = resolve(c.MenuText), back = resolve(c.Menu);
    return RGB((GetRValue(text) + GetRValue(back)) / 2, (GetGValue(text) + GetGValue(back)) / 2, (GetBValue(text) + GetBValue(back)) / 2);
}

void TSkinPopMenu::RenderBackground() {
    RECT window{};
    GetWindowRect(wnd_, &window);
    const int w = window.right - window.left, h = window.bottom - window.top;
    const TDataSkinObject& back = *data_->Elements().Part("MenuBackground");
    background_ = SliceFrame(w, h, back.image, SkinMargins{back.LeftWidth, back.TopHeight, back.RightWidth, back.BottomHeight},
                             false, back.Tile == 1, 1, 1);
    if (w > 0 && h > 0) {
        // An outline, so that the menu's edge shows over a window of its own colour.
        const COLORREF ring = MenuLineColour(data_->Elements().colours);
        const auto set = [&](int x, int y) {
            std::uint8_t* p = background_.row(y) + static_cast<std::ptrdiff_t>(x) * background_.bytesPerPixel();
            p[0] = GetBValue(ring);
            p[1] = GetGValue(ring);
            p[2] = GetRValue(ring);
        };
        for (int x = 0; x < w; ++x) {
            set(x, 0);
            set(x, h - 1);
        }
        for (int y = 0; y < h; ++y) {
            set(0, y);
            set(w - 1, y);
        }
    }
    if (menu_ == nullptr) Unnamed() = this;
}

void TSkinPopMenu::PaintRing() {
    forms::WindowDC dc(wnd_, true);
    RenderBackground();
    const int w = background_.width(), h = background_.height();
    if (w <= 0 || h <= 0) return;
    SourceBitmap source(background_);
    const int r = kPopupRing;
    BitBlt(dc.get(), 0, 0, w, r, source.dc(), 0, 0, SRCCOPY);
    BitBlt(dc.get(), 0, h - r, w, r, source.dc(), 0, h - r, SRCCOPY);
    BitBlt(dc.get(), 0, r, r, h - 2 * r, source.dc(), 0, r, SRCCOPY);
    BitBlt(dc.get(), w - r, r, r, h - 2 * r, source.dc(), w - r, r, SRCCOPY);
}

LRESULT TSkinPopMenu::Print(HDC dc, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next) {
    RenderBackground();
    if (background_.width() > 0 && background_.height() > 0) {
        SourceBitmap source(background_);
        BitBlt(dc, 0, 0, background_.width(), background_.height(), source.dc(), 0, 0, SRCCOPY);
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    forms::UniqueRegion clip(CreateRectRgn(kPopupRing, kPopupRing, background_.width() - kPopupRing,
                                           background_.height() - kPopupRing));
    SelectClipRgn(dc, clip.get());
    const LRESULT result = next(WM_PRINT, wParam, lParam);
    SelectClipRgn(dc, nullptr);
    SetBkMode(dc, oldMode);
    return result;
}

LRESULT TSkinPopMenu::WndProc(UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next) {
    if (msg == kMsgSkinnedQuery) return 1;
    if (!active_) return next(msg, wParam, lParam);
    switch (msg) {
        case WM_DESTROY: {
            // The chain keeps this handler alive to its end; nothing of ours runs after it.
            Unhook();
            return next(msg, wParam, lParam);
        }
        case WM_NCPAINT:
            if (!CanPaint()) return next(msg, wParam, lParam);
            PaintRing();
            return 0;
        case WM_PAINT: {
            const LRESULT result = next(msg, wParam, lParam);
            // A menu whose client is the whole window (no non-client frame) has just painted over
            // the ring.
            RECT client{}, window{};
            if (CanPaint() && GetClientRect(wnd_, &client) && GetWindowRect(wnd_, &window) &&
                client.right == window.right - window.left && client.bottom == window.bottom - window.top)
                PaintRing();
            return result;
        }
        case WM_PRINT:
            if (!CanPaint()) return next(msg, wParam, lParam);
            return Print(reinterpret_cast<HDC>(wParam), wParam, lParam, next);
        default:
            return next(msg, wParam, lParam);
    }
}

}  // namespace skin
