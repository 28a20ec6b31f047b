#include "controls/slider.h"

#include <algorithm>
#include <optional>

#include "controls/ctl_themes.h"
#include "controls/ctl_types.h"
#include "controls/transparent_draw.h"
#include "forms/gdi_handle.h"
#include "forms/panel.h"
#include "forms/portable/properties.h"

namespace controls {

using forms::TClassInfo;

const std::array<const char*, 4> kSliderImageResources = {"SliderHTB", "SliderHRL", "SliderVTB", "SliderVRL"};
const std::array<const char*, 4> kSliderImageProperties = {"ImageHThumb", "ImageHRuler", "ImageVThumb", "ImageVRuler"};

namespace {

constexpr int kScaleStepLength = 3;
constexpr int kScaleEndLength = 5;
// Focus rectangle inset from the inner rectangle.
constexpr int kFocusInset = 2;

bool IsThumbImage(TSliderImage which) { return which == siHThumb || which == siVThumb; }

void InvalidateRectOf(HWND wnd, const SliderRect& r) {
    if (wnd == nullptr) return;
    // The control paints its own background: nothing to erase.
    RECT rect{r.left, r.top, r.right, r.bottom};
    InvalidateRect(wnd, &rect, FALSE);
}

}  // namespace

const TClassInfo& TCustomSlider::StaticClass() {
    using P = TCustomSlider;
    static const TClassInfo info = [] {
        auto builder =
            TClassInfo::Define<P>("TCustomSlider", &TExCustomControl::StaticClass())
                .Enum("BevelStyle", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}, &P::BevelStyle, &P::SetBevelStyle)
                .Int("EdgeSize", &P::EdgeSize, &P::SetEdgeSize)
                .Int("Increment", &P::Increment, &P::SetIncrement)
                .Int("MaxValue", &P::MaxValue, &P::SetMaxValue)
                .Int("MinValue", &P::MinValue, &P::SetMinValue)
                .Int("NumThumbStates", &P::NumThumbStates, &P::SetNumThumbStates)
                .Int("Options", &P::Options, &P::SetOptions)
                .Enum("Orientation", {"soHorizontal", "soVertical"}, &P::Orientation, &P::SetOrientation)
                .Int("Value", &P::Value, &P::SetValue)
                .Int("UserImages", &P::UserImageBits, &P::SetUserImageBits);
        for (int i = 0; i < static_cast<int>(kSliderImageProperties.size()); ++i) {
            const auto which = static_cast<TSliderImage>(i);
            // The owned bitmap is handed out to be read or assigned; none brings back the built-in.
            builder.Object(
                kSliderImageProperties[which],
                [which](const P& p) { return const_cast<P&>(p).ImagePointer(which); },
                [which](P& p, forms::TBitmap* bitmap) { p.SetImage(which, bitmap); });
        }
        return builder.Done();
    }();
    return info;
}

const TClassInfo& TSlider::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TSlider>("TSlider", &TCustomSlider::StaticClass()).Done();
    return info;
}

TCustomSlider::TCustomSlider(forms::TComponent* owner) : TExCustomControl(owner) {
    controlStyle_ = forms::csCaptureMouse | forms::csClickEvents | forms::csOpaque | forms::csDoubleClicks;
    AddThemeStyle(this, forms::csParentBackground);
    SetTabStop(true);
    for (int i = 0; i < 4; ++i) LoadBuiltInImage(static_cast<TSliderImage>(i));
    SetBounds(Left(), Top(), 150, 40);
    creating_ = false;
    LayoutElements();
}

TCustomSlider::~TCustomSlider() {
    OnChange = nullptr;
    OnChanged = nullptr;
    OnDrawPoints = nullptr;
    if (timerRunning_ && HandleAllocated()) KillTimer(WindowHandle(), kRepeatTimer);
}

void TCustomSlider::LoadBuiltInImage(TSliderImage which) {
    images_[which].LoadFromResourceName(GetModuleHandleA(nullptr), kSliderImageResources[which]);
}

void TCustomSlider::SetImage(TSliderImage which, const forms::TBitmap* bitmap) {
    const auto bit = static_cast<std::uint8_t>(1u << which);
    if (bitmap != nullptr) {
        images_[which].Assign(*bitmap);
        userImageBits_ |= bit;
    } else {
        LoadBuiltInImage(which);
        userImageBits_ &= static_cast<std::uint8_t>(~bit);
        if (!Reading()) {
            options_ &= ~(IsThumbImage(which) ? soThumbOpaque : soRulerOpaque);
            Invalidate();
        }
    }
    if (!creating_) RelayoutElements();
}

void TCustomSlider::SetMinValue(int v) {
    if (v != minValue_) SetRange(v, maxValue_);
}

void TCustomSlider::SetMaxValue(int v) {
    if (v != maxValue_) SetRange(minValue_, v);
}

void TCustomSlider::SetRange(int minValue, int maxValue) {
    if (minValue >= maxValue && !Reading()) return;
    minValue_ = minValue;
    maxValue_ = maxValue;
    if (!Reading() && static_cast<long long>(maxValue_) < static_cast<long long>(minValue_) + increment_) {
        increment_ = maxValue_ - minValue_;
    }
    if (options_ & soShowPoints) Invalidate();
    ApplyValue(value_);
    RangeUpdated();
}

void TCustomSlider::SetIncrement(int v) {
    const long long range = static_cast<long long>(maxValue_) - minValue_;
    if (Reading() || (v > 0 && v <= range)) {
        if (v <= 0 || v == increment_) return;
        increment_ = v;
        ApplyValue(value_);
        Invalidate();
        return;
    }
    throw EControlsException(forms::Format("Value must be between %d and %lld", 1, range));
}

void TCustomSlider::SetValue(int v) { ApplyValue(v); }

void TCustomSlider::ApplyValue(int v) {
    if (minValue_ <= maxValue_) v = std::clamp(v, minValue_, maxValue_);
    const int old = value_;
    value_ = v;
    PlaceThumb(Geometry().PositionOfValue(v));
    if (value_ != old) Change();
}

void TCustomSlider::SetOrientation(TSliderOrientation v) {
    if (v == orientation_) return;
    orientation_ = v;
    RelayoutElements();
    if (!Reading()) SetBounds(Left(), Top(), Height(), Width());
}

void TCustomSlider::SetOptions(TSliderOptions v) {
    if (v == options_) return;
    options_ = v;
    Invalidate();
}

void TCustomSlider::SetEdgeSize(int v) {
    const forms::TBitmap& ruler = images_[orientation_ == soHorizontal ? siHRuler : siVRuler];
    const int length = orientation_ == soHorizontal ? ruler.Width() : ruler.Height();
    if (v == edgeSize_ || 2 * v >= length) return;
    edgeSize_ = v;
    RelayoutElements();
}

void TCustomSlider::SetNumThumbStates(int v) {
    v = std::clamp(v, 1, 2);
    if (v == numThumbStates_) return;
    numThumbStates_ = v;
    LayoutElements();
}

void TCustomSlider::SetBevelStyle(forms::TBevelCut v) {
    if (v == bevelStyle_) return;
    bevelStyle_ = v;
    RelayoutElements();
    Update();
}

RECT TCustomSlider::GetInnerRect() const {
    RECT r{0, 0, Width(), Height()};
    if (bevelStyle_ != forms::bvNone) InflateRect(&r, -bevelWidth_, -bevelWidth_);
    return r;
}

SliderGeometry TCustomSlider::Geometry() const {
    const RECT r = GetInnerRect();
    const bool horizontal = orientation_ == soHorizontal;
    const forms::TBitmap& thumb = images_[horizontal ? siHThumb : siVThumb];
    const forms::TBitmap& ruler = images_[horizontal ? siHRuler : siVRuler];
    SliderInputs in;
    in.orientation = orientation_;
    in.inner = {r.left, r.top, r.right, r.bottom};
    in.thumbImageWidth = thumb.Width();
    in.thumbImageHeight = thumb.Height();
    in.numThumbStates = numThumbStates_;
    in.rulerImageWidth = ruler.Width();
    in.rulerImageHeight = ruler.Height();
    in.edgeSize = edgeSize_;
    in.minValue = minValue_;
    in.maxValue = maxValue_;
    in.increment = increment_;
    in.smooth = (options_ & soSmooth) != 0;
    return SliderGeometry(in);
}

void TCustomSlider::LayoutElements() {
    if (creating_) return;
    const int remembered = value_;
    const SliderGeometry g = Geometry();
    BuildRulerImage(g);
    thumbRect_ = g.Layout().thumb;
    laidOutSize_ = SIZE{Width(), Height()};
    ApplyValue(remembered);
    Invalidate();
}

void TCustomSlider::BuildRulerImage(const SliderGeometry& g) {
    const SliderLayout& l = g.Layout();
    forms::TBitmap& source = images_[orientation_ == soHorizontal ? siHRuler : siVRuler];
    rulerImage_.SetSize(l.rulerWidth, l.rulerHeight);
    if (l.rulerWidth <= 0 || l.rulerHeight <= 0 || source.Width() <= 0 || source.Height() <= 0) return;
    HDC dst = rulerImage_.Canvas()->Handle();
    HDC src = source.Canvas()->Handle();
    // Whatever no piece covers stays transparent rather than black.
    const COLORREF transparent = GetPixel(src, 0, source.Height() - 1);
    forms::UniqueBrush brush(CreateSolidBrush(transparent));
    RECT all{0, 0, l.rulerWidth, l.rulerHeight};
    FillRect(dst, &all, brush.get());
    for (const RulerPiece& p : g.Pieces()) {
        if (g.Horizontal()) BitBlt(dst, p.destination, 0, p.length, l.rulerHeight, src, p.source, 0, SRCCOPY);
        else BitBlt(dst, 0, p.destination, l.rulerWidth, p.length, src, 0, p.source, SRCCOPY);
    }
    GdiFlush();
}

void TCustomSlider::InvalidateThumb() { InvalidateRectOf(WindowHandle(), thumbRect_); }

void TCustomSlider::PlaceThumb(int along) {
    const int old = value_;
    const SliderGeometry g = Geometry();
    const int snapped = g.SnapPosition(along);
    InvalidateThumb();
    const int w = thumbRect_.Width(), h = thumbRect_.Height();
    if (g.Horizontal()) thumbRect_ = {snapped, thumbRect_.top, snapped + w, thumbRect_.top + h};
    else thumbRect_ = {thumbRect_.left, snapped, thumbRect_.left + w, snapped + h};
    InvalidateThumb();
    if (dragging_) {
        value_ = g.ValueAtPosition(snapped);
        if (value_ != old) Change();
    }
}

void TCustomSlider::StepValue(TSliderStep kind) {
    const int next = Geometry().StepValue(value_, kind);
    if (next != value_) SetValue(next);
}

void TCustomSlider::RepeatStep() {
    const int direction = SliderGeometry::DirectionAt(orientation_, thumbRect_, repeatPoint_.x, repeatPoint_.y);
    if (direction != 0 && direction == repeatDirection_) StepValue(static_cast<TSliderStep>(direction));
    if (!timerRunning_ && HandleAllocated()) timerRunning_ = SetTimer(WindowHandle(), kRepeatTimer, kRepeatInterval, nullptr) != 0;
}

void TCustomSlider::EndRepeat() {
    if (!repeating_) return;
    // Cleared first: releasing the capture below comes back here as a capture change.
    repeating_ = false;
    if (timerRunning_) {
        if (HandleAllocated()) KillTimer(WindowHandle(), kRepeatTimer);
        timerRunning_ = false;
    }
    if (HandleAllocated() && GetCapture() == WindowHandle()) ReleaseCapture();
    Changed();
}

void TCustomSlider::ThumbPressed(int along) {
    dragging_ = true;
    thumbDown_ = true;
    hitOffset_ = along - (orientation_ == soHorizontal ? thumbRect_.left : thumbRect_.top);
    InvalidateThumb();
    Update();
}

void TCustomSlider::ThumbDragged(int along) { PlaceThumb(along - hitOffset_); }

void TCustomSlider::ThumbReleased() {
    dragging_ = false;
    thumbDown_ = false;
    if (HandleAllocated() && GetCapture() == WindowHandle()) ReleaseCapture();
    InvalidateThumb();
    Update();
    Changed();
}

void TCustomSlider::Change() {
    if (OnChange) OnChange(this);
}

void TCustomSlider::Changed() {
    if (OnChanged) OnChanged(this);
}

void TCustomSlider::KeyDown(WORD& key, forms::TShiftState shift) {
    static constexpr struct { WORD key; TSliderStep horizontal, vertical; } kKeys[] = {
        {VK_HOME, ssToMin, ssToMin}, {VK_END, ssToMax, ssToMax}, {VK_LEFT, ssDown, TSliderStep(0)},
        {VK_RIGHT, ssUp, TSliderStep(0)}, {VK_UP, TSliderStep(0), ssUp}, {VK_DOWN, TSliderStep(0), ssDown},
    };
    if ((shift & (forms::ssShift | forms::ssCtrl | forms::ssAlt)) == 0) {
        for (const auto& k : kKeys) {
            const TSliderStep kind = orientation_ == soHorizontal ? k.horizontal : k.vertical;
            if (k.key != key || kind == 0) continue;
            key = 0;
            StepValue(kind);
            Changed();
            return;
        }
    }
    TExCustomControl::KeyDown(key, shift);
}

void TCustomSlider::MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
    if (button == forms::mbLeft && !(shift & forms::ssDouble)) {
        if (CanFocus()) SetFocus();
        const int along = orientation_ == soHorizontal ? x : y;
        // The slider's own window takes the mouse, so a drag or a press goes on outside it.
        if (thumbRect_.Contains(x, y)) {
            SetCapture(WindowHandle());
            ThumbPressed(along);
        } else if (Geometry().RulerHitRect().Contains(x, y)) {
            SetCapture(WindowHandle());
            repeating_ = true;
            repeatPoint_ = POINT{x, y};
            repeatDirection_ = SliderGeometry::DirectionAt(orientation_, thumbRect_, x, y);
            RepeatStep();
        }
    }
    TExCustomControl::MouseDown(button, shift, x, y);
}

void TCustomSlider::MouseMove(forms::TShiftState shift, int x, int y) {
    if ((shift & forms::ssLeft) && dragging_) ThumbDragged(orientation_ == soHorizontal ? x : y);
    else if (repeating_) repeatPoint_ = POINT{x, y};
    TExCustomControl::MouseMove(shift, x, y);
}

void TCustomSlider::MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
    EndRepeat();
    if (dragging_ && button == forms::mbLeft) ThumbReleased();
    TExCustomControl::MouseUp(button, shift, x, y);
}

void TCustomSlider::GetDlgCode(TDlgCodes& codes) { codes = (codes & ~dcNative) | dcWantArrows; }

void TCustomSlider::FocusChanged(forms::TControl* control) {
    const bool had = hasFocus_;
    hasFocus_ = control == this;
    if (hasFocus_ != had && (options_ & soShowFocus)) Invalidate();
    TExCustomControl::FocusChanged(control);
}

void TCustomSlider::EnabledChanged() {
    InvalidateThumb();
    TExCustomControl::EnabledChanged();
}

void TCustomSlider::BoundsChanged() {
    TExCustomControl::BoundsChanged();
    if (!Reading() && (laidOutSize_.cx != Width() || laidOutSize_.cy != Height())) RelayoutElements();
}

void TCustomSlider::WindowBoundsChanged() {
    if (!Reading() && (laidOutSize_.cx != Width() || laidOutSize_.cy != Height())) RelayoutElements();
}

void TCustomSlider::Loaded() {
    TExCustomControl::Loaded();
    for (int i = 0; i < 4; ++i) {
        if (!(userImageBits_ & (1u << i))) continue;
        forms::TBitmap copy;
        copy.Assign(images_[i]);
        SetImage(static_cast<TSliderImage>(i), &copy);
    }
    RelayoutElements();
}

void TCustomSlider::WndProc(forms::TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT:
            if (!paintingOffscreen_) {
                PaintOffscreen(m);
                return;
            }
            break;
        case WM_ERASEBKGND:
            // The picture covers the whole client area; erasing happens off-screen.
            if (!paintingOffscreen_) {
                m.Result = 1;
                return;
            }
            break;
        case WM_TIMER:
            if (m.WParam == kRepeatTimer) {
                if (repeating_) RepeatStep();
                return;
            }
            break;
        case WM_CAPTURECHANGED:
        case WM_CANCELMODE:
            // A capture taken away (a menu, a box, another window) ends what the press began.
            if (m.Msg == WM_CANCELMODE || reinterpret_cast<HWND>(m.LParam) != WindowHandle()) {
                EndRepeat();
                if (dragging_) ThumbReleased();
            }
            break;
        default: break;
    }
    TExCustomControl::WndProc(m);
}

void TCustomSlider::PaintOffscreen(forms::TMessage& m) {
    const HDC given = reinterpret_cast<HDC>(m.WParam);
    std::optional<forms::PaintScope> scope;
    if (given == nullptr) scope.emplace(WindowHandle());
    const HDC target = given != nullptr ? given : scope->dc();
    RECT client{};
    GetClientRect(WindowHandle(), &client);
    const int w = std::max<LONG>(client.right, 1), h = std::max<LONG>(client.bottom, 1);
    forms::UniqueMemoryDC mem(CreateCompatibleDC(target));
    forms::UniqueBitmap bitmap(CreateCompatibleBitmap(target, w, h));
    forms::SelectedObject selected(mem.get(), bitmap.get());
    paintingOffscreen_ = true;
    try {
        Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.get()));
        Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem.get()));
    } catch (...) {
        paintingOffscreen_ = false;
        throw;
    }
    paintingOffscreen_ = false;
    BitBlt(target, 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
}

void TCustomSlider::Paint() {
    forms::TCanvas& canvas = *Canvas();
    POINT at{thumbRect_.left, thumbRect_.top};
    if (controlState_ & forms::csPaintCopy) {
        const SliderGeometry g = Geometry();
        const int p = g.SnapPosition(g.PositionOfValue(GetCurrentValue()));
        at = orientation_ == soHorizontal ? POINT{p, thumbRect_.top} : POINT{thumbRect_.left, p};
    }
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    if (bevelStyle_ != forms::bvNone) {
        const bool lowered = bevelStyle_ == forms::bvLowered;
        forms::Frame3D(canvas, r, lowered ? forms::clBtnShadow : forms::clBtnHighlight,
                       lowered ? forms::clBtnHighlight : forms::clBtnShadow, bevelWidth_);
    }
    if (controlStyle_ & forms::csOpaque) FillThemedBackground(this, &canvas, r, false, Color());

    const SliderGeometry g = Geometry();
    const SliderLayout& l = g.Layout();
    if (rulerImage_.Width() > 0) {
        DrawWholeBitmapMasked(canvas, l.rulerLeft, l.rulerTop, rulerImage_,
                              (options_ & soRulerOpaque) ? forms::clNone : rulerImage_.TransparentColor);
    }
    if ((options_ & soShowFocus) && hasFocus_ && !(ComponentState() & forms::csDesigning)) {
        RECT focus = GetInnerRect();
        InflateRect(&focus, -kFocusInset, -kFocusInset);
        canvas.DrawFocusRect(focus);
    }
    if (options_ & soShowPoints) {
        if (OnDrawPoints) OnDrawPoints(this);
        else PaintPoints(canvas, increment_, kScaleStepLength, kScaleEndLength);
    }
    const bool state = (controlState_ & forms::csPaintCopy) ? !Enabled() : (thumbDown_ || !IsEnabledInTree());
    PaintThumb(canvas, at, state);
}

void TCustomSlider::DrawStandardPoints(int step, int pointLength, int endPointLength) {
    PaintPoints(*Canvas(), step, pointLength, endPointLength);
}

void TCustomSlider::PaintPoints(forms::TCanvas& canvas, int step, int pointLength, int endPointLength) {
    const SliderGeometry g = Geometry();
    const SliderLayout& l = g.Layout();
    canvas.Pen()->SetColor(forms::clWindowText);
    for (const ScalePoint& p : g.ScalePoints(step, pointLength, endPointLength)) {
        if (g.Horizontal()) {
            const int x = p.position + g.ThumbWidth() / 2;
            canvas.MoveTo(x, l.pointsTop);
            canvas.LineTo(x, l.pointsTop + p.length);
        } else {
            const int y = p.position + g.ThumbHeight() / 2;
            canvas.MoveTo(l.pointsLeft, y);
            canvas.LineTo(l.pointsLeft + p.length, y);
        }
    }
}

void TCustomSlider::PaintThumb(forms::TCanvas& canvas, POINT at, bool pressedOrDisabled) {
    forms::TBitmap& thumb = images_[orientation_ == soHorizontal ? siHThumb : siVThumb];
    if (thumb.Width() <= 0 || thumb.Height() <= 0) return;
    RECT source{0, 0, thumb.Width(), thumb.Height()};
    if (numThumbStates_ == 2) {
        const int half = thumb.Width() / 2;
        source = pressedOrDisabled ? RECT{half, 0, 2 * half, thumb.Height()} : RECT{0, 0, half, thumb.Height()};
    }
    DrawBitmapPartMasked(canvas, at.x, at.y, source, thumb,
                         (options_ & soThumbOpaque) ? forms::clNone : thumb.TransparentColor);
}

}  // namespace controls
