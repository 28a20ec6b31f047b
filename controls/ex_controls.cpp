#include "controls/ex_controls.h"

#include "controls/portable/flavour.h"
#include "forms/portable/properties.h"

namespace controls {

using forms::TClassInfo;

namespace {

constexpr LPARAM kAltBit = LPARAM{1} << 29, kCtrlBit = LPARAM{1} << 28, kShiftBit = LPARAM{1} << 27;
constexpr struct {
    forms::TShiftStateFlag shift;
    LPARAM bit;
} kKeyDataBits[] = {{forms::ssAlt, kAltBit}, {forms::ssCtrl, kCtrlBit}, {forms::ssShift, kShiftBit}};

template <class C>
TClassInfo WindowlessInfo(const char* name, const TClassInfo* parent) {
    return TClassInfo::Define<C>(name, parent).Int("HintColor", &C::HintColor, &C::SetHintColor).Done();
}

template <class C>
TClassInfo WindowedInfo(const char* name, const TClassInfo* parent) {
    return TClassInfo::Define<C>(name, parent)
        .Int("HintColor", &C::HintColor, &C::SetHintColor)
        .Bool("DotNetHighlighting", &C::DotNetHighlighting, &C::SetDotNetHighlighting)
        .Done();
}

}  // namespace

TShiftState ShiftStateFromKeyData(LPARAM keyData) {
    TShiftState shift = 0;
    for (const auto& e : kKeyDataBits) {
        if (keyData & e.bit) shift |= e.shift;
    }
    return shift;
}

LPARAM KeyDataFromShiftState(TShiftState shift) {
    LPARAM data = 0;
    for (const auto& e : kKeyDataBits) {
        if (shift & e.shift) data |= e.bit;
    }
    return data;
}

void ResolveHintColor(TColor hintColor, TControl* control, THintInfo& info) {
    if (hintColor == forms::clNone) {
        if (forms::Application != nullptr) info.HintColor = forms::Application->HintColor();
    } else if (hintColor == forms::clDefault) {
        if (control != nullptr && control->Parent() != nullptr) {
            THintInfo asked = info;
            control->Parent()->Perform(forms::CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&asked));
            info.HintColor = asked.HintColor;
        }
    } else {
        info.HintColor = hintColor;
    }
}

TColor InitialHintColor() {
    if (LibraryFlavour() == TLibraryFlavour::Burner && forms::Application != nullptr) {
        return forms::Application->HintColor();
    }
    return forms::clDefault;
}

void DrawHighlightBorder(HWND wnd, bool highlighted, TColor fill) {
    forms::WindowDC dc(wnd, true);
    if (dc.get() == nullptr) return;
    RECT r{};
    GetWindowRect(wnd, &r);
    OffsetRect(&r, -r.left, -r.top);
    const COLORREF highlight = RGB(0, 56, 115);
    forms::UniqueBrush outer(CreateSolidBrush(highlighted ? highlight : RGB(128, 128, 128)));
    forms::UniqueBrush inner(CreateSolidBrush(highlighted ? highlight : forms::ColorToRGB(fill)));
    FrameRect(dc.get(), &r, outer.get());
    InflateRect(&r, -1, -1);
    FrameRect(dc.get(), &r, inner.get());
}

void InvalidateHighlightRing(HWND wnd, int width, int height) {
    forms::UniqueRegion ring(CreateRectRgn(0, 0, width - 1, height - 1));
    forms::UniqueRegion hole(CreateRectRgn(2, 2, width - 3, height - 3));
    CombineRgn(ring.get(), ring.get(), hole.get(), RGN_DIFF);
    InvalidateRgn(wnd, ring.get(), FALSE);
}

const TClassInfo& TExCustomControl::StaticClass() {
    static const TClassInfo info = WindowedInfo<TExCustomControl>("TExCustomControl", &forms::TCustomControl::StaticClass());
    return info;
}

const TClassInfo& TExGraphicControl::StaticClass() {
    static const TClassInfo info = WindowlessInfo<TExGraphicControl>("TExGraphicControl", &forms::TGraphicControl::StaticClass());
    return info;
}

const TClassInfo& TExScrollBox::StaticClass() {
    static const TClassInfo info = WindowedInfo<TExScrollBox>("TExScrollBox", &forms::TScrollBox::StaticClass());
    return info;
}

const TClassInfo& TExImage::StaticClass() {
    static const TClassInfo info = WindowlessInfo<TExImage>("TExImage", &forms::TImage::StaticClass());
    return info;
}

const TClassInfo& TExPanel::StaticClass() {
    static const TClassInfo info = WindowedInfo<TExPanel>("TExPanel", &forms::TPanel::StaticClass());
    return info;
}

}  // namespace controls
