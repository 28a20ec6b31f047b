// TCustomSlider: a windowed track bar drawn entirely from four small bitmaps, a thumb and a
// ruler for each orientation. The ruler is stretched to the control's length by repeating its
// middle; the thumb moves between MinValue and MaxValue, snapped to Increment unless smooth,
// with scale points beside the ruler. Driven by dragging the thumb, by pressing beside it
// (repeating every 400 ms) and by the keyboard. The picture is composed off-screen and copied
// to the window in one block. TSlider is the same class under its published name.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>

#include "controls/ex_controls.h"
#include "controls/portable/slider_geometry.h"
#include "forms/bitmap.h"
#include "forms/scroll_box.h"

namespace controls {

enum TSliderOption : unsigned {
    soShowFocus = 1u << 0,
    soShowPoints = 1u << 1,
    soSmooth = 1u << 2,
    soRulerOpaque = 1u << 3,
    soThumbOpaque = 1u << 4,
};
using TSliderOptions = unsigned;

enum TSliderImage { siHThumb, siHRuler, siVThumb, siVRuler };

// The built-in images' resource names, in TSliderImage order.
extern const std::array<const char*, 4> kSliderImageResources;
// The images' property names, in the same order.
extern const std::array<const char*, 4> kSliderImageProperties;

class TCustomSlider : public TExCustomControl {
public:
    explicit TCustomSlider(forms::TComponent* owner);
    ~TCustomSlider() override;
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();

    int MinValue() const { return minValue_; }
    void SetMinValue(int v);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int v);
    // Raises EControlsException "Value must be between 1 and (MaxValue - MinValue)" outside it.
    int Increment() const { return increment_; }
    void SetIncrement(int v);
    // Clamped; OnChange only when the value changes.
    int Value() const { return value_; }
    void SetValue(int v);
    TSliderOrientation Orientation() const { return orientation_; }
    void SetOrientation(TSliderOrientation v);
    TSliderOptions Options() const { return options_; }
    void SetOptions(TSliderOptions v);
    // Ignored unless twice the value is shorter than the ruler image.
    int EdgeSize() const { return edgeSize_; }
    void SetEdgeSize(int v);
    int NumThumbStates() const { return numThumbStates_; }
    void SetNumThumbStates(int v);
    forms::TBevelCut BevelStyle() const { return bevelStyle_; }
    void SetBevelStyle(forms::TBevelCut v);

    // A copy of the bitmap; nullptr brings back the built-in one.
    forms::TBitmap& Image(TSliderImage which) { return images_[which]; }
    forms::TBitmap* ImagePointer(TSliderImage which) { return &images_[which]; }
    void SetImage(TSliderImage which, const forms::TBitmap* bitmap);
    // Bit i set when image i was supplied by the user.
    std::uint8_t UserImageBits() const { return userImageBits_; }
    // As a form file's "UserImages" is read back: the byte only, the images as they are.
    void SetUserImageBits(std::uint8_t v) { userImageBits_ = v; }

    forms::TNotifyEvent OnChange;
    forms::TNotifyEvent OnChanged;
    forms::TNotifyEvent OnDrawPoints;

    // What the control is laid out as now (for tests and owners that draw points themselves).
    SliderGeometry Geometry() const;
    const SliderRect& ThumbRect() const { return thumbRect_; }
    forms::TBitmap& RulerImage() { return rulerImage_; }
    bool Dragging() const { return dragging_; }
    bool Repeating() const { return repeating_; }
    bool TimerRunning() const { return timerRunning_; }
    static constexpr UINT_PTR kRepeatTimer = 1;
    static constexpr UINT kRepeatInterval = 400;

protected:
    void WndProc(forms::TMessage& m) override;
    void Paint() override;
    void Loaded() override;
    void BoundsChanged() override;
    void WindowBoundsChanged() override;
    void GetDlgCode(TDlgCodes& codes) override;
    void FocusChanged(forms::TControl* control) override;
    void EnabledChanged() override;
    void KeyDown(WORD& key, forms::TShiftState shift) override;
    void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
    void MouseMove(forms::TShiftState shift, int x, int y) override;
    void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;

    virtual bool IsChangeAllowed() { return true; }
    virtual RECT GetInnerRect() const;
    virtual int GetCurrentValue() const { return value_; }
    virtual void RelayoutElements() { LayoutElements(); }
    virtual void RangeUpdated() {}
    virtual void ThumbPressed(int along);
    virtual void ThumbDragged(int along);
    virtual void ThumbReleased();
    virtual void DrawStandardPoints(int step, int pointLength, int endPointLength);
    virtual void Change();
    virtual void Changed();

    void PaintPoints(forms::TCanvas& canvas, int step, int pointLength, int endPointLength);
    void PaintThumb(forms::TCanvas& canvas, POINT at, bool pressedOrDisabled);

private:
    void SetRange(int minValue, int maxValue);
    void ApplyValue(int v);
    void LoadBuiltInImage(TSliderImage which);
    void LayoutElements();
    void BuildRulerImage(const SliderGeometry& g);
    void PlaceThumb(int along);
    void InvalidateThumb();
    void StepValue(TSliderStep kind);
    void RepeatStep();
    void EndRepeat();
    void PaintOffscreen(forms::TMessage& m);
    bool Reading() const { return IsLoading(); }

    int minValue_ = 0;
    int maxValue_ = 100;
    int increment_ = 10;
    int value_ = 0;
    TSliderOrientation orientation_ = soHorizontal;
    TSliderOptions options_ = soShowFocus | soShowPoints | soSmooth;
    int edgeSize_ = 2;
    int numThumbStates_ = 2;
    forms::TBevelCut bevelStyle_ = forms::bvNone;
    std::array<forms::TBitmap, 4> images_;
    std::uint8_t userImageBits_ = 0;

    forms::TBitmap rulerImage_;
    SliderRect thumbRect_;
    int bevelWidth_ = 1;
    bool hasFocus_ = false;
    bool dragging_ = false;
    bool thumbDown_ = false;
    bool repeating_ = false;
    bool timerRunning_ = false;
    POINT repeatPoint_{};
    int repeatDirection_ = 0;
    int hitOffset_ = 0;
    bool paintingOffscreen_ = false;
    bool creating_ = true;
    SIZE laidOutSize_{-1, -1};
};

class TSlider : public TCustomSlider {
public:
    using TCustomSlider::TCustomSlider;
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();
};

}  // namespace controls
