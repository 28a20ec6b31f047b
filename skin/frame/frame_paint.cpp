// Painting the frame of a form skin: borders, the title strip with caption and system
// buttons, and the window region cut from the borders' transparent pixels.
#include <algorithm>
#include <atomic>
#include <exception>

#include "skin/frame/skin_form.h"
#include "skin/frame/skin_manage.h"
#include "skin/menu/skin_menu.h"
#include "skin/skin_data.h"
#include "skin/skin_drawing.h"

namespace skin {

namespace {

std::atomic<int> paintErrors{0};

SkinMargins MarginsOf(const TDataSkinObject& e) { return SkinMargins{e.LeftWidth, e.TopHeight, e.RightWidth, e.BottomHeight}; }

forms::PixelBuffer Crop(const forms::PixelBuffer& from, const RECT& r) {
    forms::PixelBuffer out(std::max(0, int(r.right - r.left)), std::max(0, int(r.bottom - r.top)), 3);
    StretchCopy(from, {r.left, r.top, r.right, r.bottom}, out, {0, 0, out.width(), out.height()});
    return out;
}

bool Inside(const SkinRect& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace

int FramePaintErrors() { return paintErrors.load(); }

forms::PixelBuffer TSkinForm::PaintedBorder(int index, int width, int height) const {
    const TDataSkinBorder* e = data_->Elements().borders[static_cast<size_t>(index - 1)].get();
    if (e == nullptr || width <= 0 || height <= 0) return forms::PixelBuffer(std::max(width, 0), std::max(height, 0), 3);
    const int frame = (active_ || e->FrameCount < 2) ? 1 : 2;
    return SliceFrame(width, height, e->image, MarginsOf(*e), index >= 3, e->Tile != 1, e->FrameCount, frame);
}

void TSkinForm::PaintBorder(int index, const RECT& rect, HDC dc) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    CopyPixelsToDC(dc, rect.left, rect.top, PaintedBorder(index, rect.right - rect.left, rect.bottom - rect.top));
}

void TSkinForm::PaintNonClient(HDC given) {
    if (phase_ != kPhaseReady && phase_ != kPhaseRecolouring) return;
    if (frameKind_ == kFramePopup || data_ == nullptr || data_->NoSkin() || SharedWorkBitmap() == nullptr) return;
    if (windowKind_ == kKindMdiChild && windowState_ != kStateNormal) return;
    // Nothing may cross the window procedure; a swallowed error is counted for the tests.
    try {
        RECT window{};
        if (!GetWindowRect(wnd_, &window)) return;
        windowWidth_ = window.right - window.left;
        windowHeight_ = window.bottom - window.top;
        forms::WindowDC own(given == nullptr ? wnd_ : nullptr, true);
        HDC dc = given != nullptr ? given : own.get();
        const int w = windowWidth_, h = windowHeight_;
        PaintBorder(1, RECT{0, 0, left_, h}, dc);
        PaintBorder(2, RECT{w - right_, 0, w, h}, dc);
        PaintBorder(4, RECT{left_, h - bottom_, w - right_, h}, dc);
        PaintTitleBar(dc);
        if (menuBar_ != nullptr && menuHeight_ > 0) menuBar_->PaintMenuBar(dc, RECT{left_, top_, w - right_, top_ + menuHeight_});
    } catch (const std::exception&) {
        ++paintErrors;
    } catch (...) {
        ++paintErrors;
    }
}

void TSkinForm::PaintTitleBar(HDC dc) {
    const int w = windowWidth_;
    if (w <= 0 || top_ <= 0) return;
    forms::PixelBuffer blank(w, top_, 3);
    SourceBitmap strip(blank);
    BitBlt(strip.dc(), 0, 0, w, top_, dc, 0, 0, SRCCOPY);
    PaintBorder(3, RECT{left_, 0, w - right_, top_}, strip.dc());
    PaintCaptionText(strip.dc(), RECT{left_, 0, w - right_, top_});
    GdiFlush();
    titleBack_ = forms::PixelBuffer(w, top_, 3);
    forms::CopyPixels(strip.pixels(), titleBack_.view());
    LayoutSysButtons();
    PaintSysButtons(strip.dc());
    GdiFlush();
    titleImage_ = forms::PixelBuffer(w, top_, 3);
    forms::CopyPixels(strip.pixels(), titleImage_.view());
    BitBlt(dc, 0, 0, w, top_, strip.dc(), 0, 0, SRCCOPY);
}

void TSkinForm::PaintCaptionText(HDC dc, const RECT& title) {
    const SkinElements& e = data_->Elements();
    const TDataSkinTitle* t = e.title.get();
    const std::wstring text = captionPrefix_ + CaptionText() + captionSuffix_;
    forms::SelectedObject font(dc, captionFont_ ? static_cast<HGDIOBJ>(captionFont_.get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    std::uint32_t colour = active_ ? e.colours.TitleTextActive : e.colours.TitleTextNoActive;
    if (t != nullptr) {
        const std::uint32_t own = active_ ? t->activeText : t->inactiveText;
        if (own != kClNone) colour = own;
    }
    SetTextColor(dc, (colour & kSystemColour) == kSystemColour ? GetSysColor(static_cast<int>(colour & 0xFF)) : colour & 0xFFFFFF);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOCLIP);
    const int capLeft = t ? t->TXTBackleft : 0, capRight = t ? t->TXTBackRight : 0;
    const int shift = t ? t->LeftWidth : 0, shiftVert = t ? t->TopHeight : 0, rightClip = t ? t->RightWidth : 0;
    const int alignment = t ? t->TextAlignment : 0;
    const int width = (r.right - r.left) + capLeft + capRight, height = r.bottom - r.top;
    int x = title.left + shift;
    if (rightToLeft_ || alignment == 2) x = title.right - rightClip - width;
    else if (alignment == 1) x = title.left + ((title.right - title.left) - width) / 2;
    // A dialog shows no icon button: its caption moves into the room the skin keeps for one,
    // and only that far, never onto the frame's edge.
    if (frameKind_ == kFrameDialog && alignment == 0 && !rightToLeft_ && SkinHasIconButton())
        x = std::max<int>(x - 16, title.left);
    const int y = title.top + ((title.bottom - title.top) - height) / 2 + shiftVert / 2;
    RECT place{x, y, x + width, y + height};
    const bool popupStyle = (savedStyle_ & style_bits::kPopup) != 0;
    const int clip = (popupStyle && rightmostButtonLimit_ > 5) ? rightmostButtonLimit_ - 5 : title.right - rightClip;
    place.right = std::min<LONG>(place.right, clip);
    captionTextRect_ = place;
    if (t != nullptr && !t->image.empty())
        DrawThreePart(dc, place, t->image, true, true, 2, active_ ? 1 : 2, SkinMargins{capLeft, 0, capRight, 0});
    RECT textRect{place.left + capLeft, place.top, place.right - capRight, place.bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_SINGLELINE | DT_END_ELLIPSIS | (rightToLeft_ ? DT_RIGHT : 0));
}

bool TSkinForm::SkinHasIconButton() const {
    const auto& buttons = data_->Elements().captionButtons;
    return std::any_of(buttons.begin(), buttons.end(), [](const auto& b) { return b->Action == 3 || b->Action == 11 || b->Action == 12; });
}

SysButtonState TSkinForm::ButtonState() {
    SysButtonState s;
    s.frameKind = frameKind_;
    s.frameFlags = frameFlags_;
    s.maximised = windowState_ == kStateMaximised;
    s.active = active_;
    s.systemDialog = systemDialog_;
    s.hasMenuBar = menuHeight_ > 0;
    s.mdiParentWithMaximisedChild = windowKind_ == kKindMdiParent && IsMdiChildMaximized();
    s.query = [this](int index) {
        return static_cast<int>(SendMessageA(wnd_, kMsgSysButtonVisible, static_cast<WPARAM>(index), 0));
    };
    return s;
}

namespace {
SysButtonSpec SpecOf(const TDataSkinSysButton& e) {
    return SysButtonSpec{e.Action, e.Align, e.Xcoord, e.Ycoord, e.Visibility, e.Visibility1};
}
bool IconButton(const TDataSkinSysButton& e) { return e.Action == 3 || e.Action == 11; }
}  // namespace

bool TSkinForm::IsSysButtonVisible(int index) {
    if (index < 0 || index >= static_cast<int>(sysButtons_.size())) return false;
    TWinSysButton& b = *sysButtons_[static_cast<size_t>(index)];
    b.visible = skin::IsSysButtonVisible(SpecOf(*b.element), index, ButtonState());
    return b.visible;
}

void TSkinForm::LayoutSysButtons() {
    SysButtonPlace place;
    place.windowWidth = windowWidth_;
    place.leftBorder = left_;
    place.rightBorder = right_;
    place.topBorder = top_;
    place.menuHeight = menuHeight_;
    const TDataSkinObject* bar = data_->Elements().menuBar.get();
    place.menuBarLeftMargin = bar != nullptr && !bar->image.empty() ? bar->LeftWidth : 0;
    place.rightToLeft = rightToLeft_;
    place.captionText = SkinRect{captionTextRect_.left, captionTextRect_.top, captionTextRect_.right, captionTextRect_.bottom};
    rightmostButtonLimit_ = 0;
    for (size_t i = 0; i < sysButtons_.size(); ++i) {
        TWinSysButton& b = *sysButtons_[i];
        b.rect = SkinRect{};
        const TDataSkinSysButton& e = *b.element;
        // Icon buttons show the window's icon at its own size.
        const forms::PixelBuffer& image = IconButton(e) ? iconImage_ : e.image;
        if (!IsSysButtonVisible(static_cast<int>(i)) || image.empty()) {
            // A hidden button is neither held nor hot: a hot one decides what a second
            // right-click on the caption does.
            b.visible = false;
            if (&b == pressed_) ForgetPress();
            if (&b == hot_) hot_ = nullptr;
            b.mouseState = 1;
            continue;
        }
        const int frames = IconButton(e) ? 1 : std::max(e.FrameCount, 1);
        b.rect = LayoutSysButton(SpecOf(e), image.width() / frames, image.height(), place);
        if (e.Align == 1 && b.rect.left > 0) rightmostButtonLimit_ = std::max(rightmostButtonLimit_, b.rect.left);
    }
}

void TSkinForm::PaintSysButtons(HDC dc) {
    for (auto& owned : sysButtons_) {
        TWinSysButton& b = *owned;
        const TDataSkinSysButton& e = *b.element;
        if (!b.visible || b.rect.Empty() || e.Align == 100) continue;
        const RECT r{b.rect.left, b.rect.top, b.rect.right, b.rect.bottom};
        if (IconButton(e)) {
            TransparentBlit(dc, r, iconImage_);
            continue;
        }
        int frame = (active_ || e.FrameCount < 4) ? 1 : 4;
        // A repaint keeps what the mouse is doing to a button.
        if (active_ && (&b == hot_ || &b == pressed_) && b.mouseState > 1) frame = std::min(b.mouseState, e.FrameCount);
        DrawFrameStretched(dc, r, e.image, true, e.FrameCount, frame);
    }
}

void TSkinForm::PaintSysButton(TWinSysButton& b, int frame) {
    const TDataSkinSysButton& e = *b.element;
    if (!b.visible || b.rect.Empty() || IconButton(e) || data_ == nullptr) return;
    if (frame == 3 && e.Visibility == 100) frame = 4;
    frame = std::clamp(frame, 1, std::max(e.FrameCount, 1));
    if (!active_ && frame == 1 && e.FrameCount >= 4) frame = 4;
    const RECT r{b.rect.left, b.rect.top, b.rect.right, b.rect.bottom};
    // Over the title as it was before the buttons, so magenta shows the title, not the last frame.
    forms::PixelBuffer under = (r.bottom <= titleBack_.height() && r.right <= titleBack_.width())
                                   ? Crop(titleBack_, r)
                                   : forms::PixelBuffer(r.right - r.left, r.bottom - r.top, 3);
    SourceBitmap work(under);
    DrawFrameStretched(work.dc(), RECT{0, 0, r.right - r.left, r.bottom - r.top}, e.image, true, e.FrameCount, frame);
    forms::WindowDC dc(wnd_, true);
    BitBlt(dc.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, work.dc(), 0, 0, SRCCOPY);
}

TWinSysButton* TSkinForm::ButtonAt(POINT frame) const {
    for (const auto& b : sysButtons_) {
        if (!b->visible || b->element->Action < 0) continue;
        if (Inside(b->rect, frame)) return b.get();
    }
    return nullptr;
}

TNCObject* TSkinForm::ObjectAt(POINT frame) const {
    if (TWinSysButton* b = ButtonAt(frame)) return b;
    return menuBar_ != nullptr ? menuBar_->ButtonAt(frame) : nullptr;
}

void TSkinForm::PaintMdiBarButtons(HDC dc, const RECT& bar) {
    if (windowKind_ != kKindMdiParent || !IsMdiChildMaximized()) return;
    for (const auto& b : sysButtons_) {
        const TDataSkinSysButton& e = *b->element;
        if (e.Visibility != 100 || e.image.empty() || b->rect.Empty()) continue;
        const RECT r{b->rect.left - bar.left, b->rect.top - bar.top, b->rect.right - bar.left, b->rect.bottom - bar.top};
        DrawFrameStretched(dc, r, e.image, true, std::max(e.FrameCount, 1), 1);
    }
    if (!SkinManage().mdiMaximized) SkinManage().SetMDIMaximized(true);
}

void TSkinForm::BuildRegion() {
    if (phase_ == kPhaseDestroyed || data_ == nullptr || data_->NoSkin()) return;
    RECT window{};
    if (!GetWindowRect(wnd_, &window)) return;
    const int w = window.right - window.left, h = window.bottom - window.top;
    if (w <= 0 || h <= 0) return;
    if (windowKind_ == kKindMdiChild && windowState_ != kStateNormal) return;
    if (w == regionWidth_ && h == regionHeight_ && phase_ != kPhaseRecolouring && windowKind_ != kKindMdiChild) return;
    const auto& borders = data_->Elements().borders;
    auto trans = [&](int i) { return borders[static_cast<size_t>(i)] ? borders[static_cast<size_t>(i)]->Trans : 0; };
    forms::UniqueRegion region;
    if (trans(0) == 0 && trans(1) == 0 && trans(2) == 0 && trans(3) == 0) {
        region.reset(CreateRectRgn(0, 0, w, h));
    } else {
        region.reset(CreateRectRgn(left_, top_, w - right_, h - bottom_));
        if (frameKind_ != kFramePopup) {
            auto strip = [&](int index, bool painted, int x, int y, int sw, int sh) {
                if (painted) return CreateRegionFromBitmap(PaintedBorder(index, sw, sh), x, y, 1, 1, 1);
                return forms::UniqueRegion(CreateRectRgn(x, y, x + sw, y + sh));
            };
            forms::UniqueRegion leftStrip = strip(1, trans(0) == 1 && h > 1, 0, 0, left_, h);
            forms::UniqueRegion rightStrip = strip(2, trans(1) == 1 && h > 1, w - right_, 0, right_, h);
            forms::UniqueRegion bottomStrip = strip(4, trans(3) == 1 && bottom_ >= 2, left_, h - bottom_, w - left_ - right_, bottom_);
            forms::UniqueRegion topStrip;
            const int tw = w - left_ - right_;
            if (trans(2) == 1 && top_ > 1 && tw > 0) {
                // The title as painted (caption and buttons included) when there is one of this size.
                const forms::PixelBuffer source = (titleImage_.width() == w && titleImage_.height() == top_)
                                                      ? Crop(titleImage_, RECT{left_, 0, w - right_, top_})
                                                      : PaintedBorder(3, tw, top_);
                topStrip = CreateRegionFromBitmap(source, left_, 0, 1, 1, 1);
            } else {
                topStrip.reset(CreateRectRgn(left_, 0, w - right_, top_));
            }
            CombineRgn(leftStrip.get(), leftStrip.get(), rightStrip.get(), RGN_OR);
            CombineRgn(bottomStrip.get(), bottomStrip.get(), topStrip.get(), RGN_OR);
            CombineRgn(leftStrip.get(), leftStrip.get(), bottomStrip.get(), RGN_OR);
            CombineRgn(region.get(), region.get(), leftStrip.get(), RGN_OR);
        }
    }
    // The system owns what SetWindowRgn gets; this object keeps a copy of its own.
    forms::UniqueRegion given(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(given.get(), region.get(), nullptr, RGN_COPY);
    if (SetWindowRgn(wnd_, given.get(), TRUE) != 0) given.release();
    region_ = std::move(region);
    regionWidth_ = w;
    regionHeight_ = h;
}

void TSkinForm::DropRegion() {
    titleImage_ = forms::PixelBuffer(0, 0, 3);
    region_.reset();
    regionWidth_ = regionHeight_ = -1;
    SetWindowRgn(wnd_, nullptr, windowKind_ == kKindMdiChild);
}

}  // namespace skin
