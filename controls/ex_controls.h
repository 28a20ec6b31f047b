// The extended controls: one thin layer over the form library's bases that turns control
// notifications and a few window messages into overridable operations with a default
// behaviour, and adds mouse enter/leave events, a parent-colour-change event, a per-control
// hint colour and (windowed) an optional flat highlight border.
//
// The layer is a template over the base, so a TExPanel is still a TPanel to every kind test.
// Every operation's default "passes on": it builds the same message again (Result 0), hands it
// to the base class's WndProc and returns its result.
#pragma once
#include <windows.h>

#include <string>

#include "controls/portable/dialog_codes.h"
#include "forms/application.h"
#include "forms/custom_control.h"
#include "forms/gdi_handle.h"
#include "forms/graphic_control.h"
#include "forms/image.h"
#include "forms/panel.h"
#include "forms/scroll_box.h"

namespace controls {

using forms::TColor;
using forms::TControl;
using forms::THintInfo;
using forms::TMessage;
using forms::TNotifyEvent;
using forms::TShiftState;

// Key data of CM_DIALOGCHAR and the shift state it stands for (Alt bit 29, Ctrl 28, Shift 27).
TShiftState ShiftStateFromKeyData(LPARAM keyData);
LPARAM KeyDataFromShiftState(TShiftState shift);

// The colour a hint takes for a control with hintColor: clNone the application's hint colour,
// clDefault what the parent answers to a hint-show request (unchanged without a parent).
void ResolveHintColor(TColor hintColor, TControl* control, THintInfo& info);

// The hint colour a control starts with (vantburn: the application's).
TColor InitialHintColor();

// Frames the window rectangle in two one-pixel rings: dark blue when highlighted, else grey
// outside and fill inside.
void DrawHighlightBorder(HWND wnd, bool highlighted, TColor fill);
// Invalidates, without erasing, the two-pixel ring just inside the client edge.
void InvalidateHighlightRing(HWND wnd, int width, int height);

// The layer every extended control has.
template <class Base>
class TExControlLayer : public Base {
public:
    explicit TExControlLayer(forms::TComponent* owner) : Base(owner) { hintColor_ = InitialHintColor(); }

    TColor HintColor() const { return hintColor_; }
    void SetHintColor(TColor v) { hintColor_ = v; }
    bool MouseInControl() const { return mouseInControl_; }
    // The hint-window class handed on in the hint information (none: nullptr).
    void* HintWindowClass() const { return hintWindowClass_; }
    void SetHintWindowClass(void* v) { hintWindowClass_ = v; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnParentColorChange;

    void WndProc(TMessage& m) override {
        if (!DispatchCommon(m)) Base::WndProc(m);
    }

protected:
    // Hands a freshly built message to the form library's handling; its result.
    LRESULT PassOn(UINT msg, WPARAM wParam, LPARAM lParam) {
        TMessage copy{msg, wParam, lParam, 0};
        Base::WndProc(copy);
        return copy.Result;
    }

    virtual void TextChanged() { PassOn(forms::CM_TEXTCHANGED, 0, 0); }
    virtual bool WantKey(WORD key, TShiftState shift, const std::string& keyText) {
        (void)keyText;
        return PassOn(forms::CM_DIALOGCHAR, key, KeyDataFromShiftState(shift)) != 0;
    }
    virtual bool HitTest(int x, int y) { return PassOn(forms::CM_HITTEST, 0, forms::PointToHitTestParam(x, y)) != 0; }

    virtual void FocusChanged(TControl* control) { PassOn(forms::CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control)); }
    virtual void VisibleChanged(WPARAM visible) { PassOn(forms::CM_VISIBLECHANGED, visible, 0); }
    virtual void EnabledChanged() { PassOn(forms::CM_ENABLEDCHANGED, 0, 0); }
    virtual void ColorChanged() { PassOn(forms::CM_COLORCHANGED, 0, 0); }
    virtual void FontChanged() { PassOn(forms::CM_FONTCHANGED, 0, 0); }
    virtual void ParentFontChanged() { PassOn(forms::CM_PARENTFONTCHANGED, 0, 0); }
    virtual void ParentColorChanged() {
        PassOn(forms::CM_PARENTCOLORCHANGED, 0, 0);
        if (OnParentColorChange) OnParentColorChange(this);
    }
    virtual void ParentShowHintChanged() { PassOn(forms::CM_PARENTSHOWHINTCHANGED, 0, 0); }
    // True: no hint.
    virtual bool HintShow(THintInfo& info) {
        ResolveHintColor(hintColor_, this, info);
        if (hintWindowClass_ != nullptr) info.HintWindowClass = hintWindowClass_;
        return PassOn(forms::CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
    }
    // The event comes before the form library's handling on enter, after it on leave.
    virtual void MouseEnter(TControl* control) {
        mouseInControl_ = true;
        if (OnMouseEnter) OnMouseEnter(this);
        PassOn(forms::CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(control));
    }
    virtual void MouseLeave(TControl* control) {
        mouseInControl_ = false;
        PassOn(forms::CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
        if (OnMouseLeave) OnMouseLeave(this);
    }

private:
    bool DispatchCommon(TMessage& m) {
        switch (m.Msg) {
            case forms::CM_TEXTCHANGED: TextChanged(); return true;
            case forms::CM_DIALOGCHAR: {
                const char ch = static_cast<char>(m.WParam);
                m.Result = WantKey(static_cast<WORD>(m.WParam), ShiftStateFromKeyData(m.LParam), std::string(1, ch)) ? 1 : 0;
                return true;
            }
            case forms::CM_HITTEST: {
                POINT p = forms::HitTestParamToPoint(m.LParam);
                m.Result = HitTest(p.x, p.y) ? 1 : 0;
                return true;
            }
            case forms::CM_FOCUSCHANGED: FocusChanged(reinterpret_cast<TControl*>(m.LParam)); return true;
            case forms::CM_VISIBLECHANGED: VisibleChanged(m.WParam); return true;
            case forms::CM_ENABLEDCHANGED: EnabledChanged(); return true;
            case forms::CM_COLORCHANGED: ColorChanged(); return true;
            case forms::CM_FONTCHANGED: FontChanged(); return true;
            case forms::CM_PARENTFONTCHANGED: ParentFontChanged(); return true;
            case forms::CM_PARENTCOLORCHANGED: ParentColorChanged(); return true;
            case forms::CM_PARENTSHOWHINTCHANGED: ParentShowHintChanged(); return true;
            case forms::CM_HINTSHOW:
                if (m.LParam == 0) return false;
                m.Result = HintShow(*reinterpret_cast<THintInfo*>(m.LParam)) ? 1 : 0;
                return true;
            case forms::CM_MOUSEENTER: MouseEnter(reinterpret_cast<TControl*>(m.LParam)); return true;
            case forms::CM_MOUSELEAVE: MouseLeave(reinterpret_cast<TControl*>(m.LParam)); return true;
            default: return false;
        }
    }

    TColor hintColor_ = forms::clDefault;
    bool mouseInControl_ = false;
    void* hintWindowClass_ = nullptr;
};

// The windowed members: five more notifications and eight operations in all.
template <class Base>
class TExWinControlLayer : public TExControlLayer<Base> {
    using Layer = TExControlLayer<Base>;

public:
    using Layer::Layer;

    bool DotNetHighlighting() const { return dotNetHighlighting_; }
    void SetDotNetHighlighting(bool v) {
        if (v == dotNetHighlighting_) return;
        dotNetHighlighting_ = v;
        if (this->HandleAllocated()) RedrawWindow(this->WindowHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    }

    void WndProc(TMessage& m) override {
        switch (m.Msg) {
            case forms::CM_CURSORCHANGED: CursorChanged(); return;
            case forms::CM_SHOWINGCHANGED: ShowingChanged(); return;
            case forms::CM_SHOWHINTCHANGED: ShowHintChanged(); return;
            case forms::CM_CONTROLLISTCHANGE: {
                auto* control = reinterpret_cast<TControl*>(m.WParam);
                if (m.LParam != 0) ControlListChanging(control, true);
                else ControlListChanged(control, false);
                return;
            }
            case forms::CM_CONTROLCHANGE: {
                auto* control = reinterpret_cast<TControl*>(m.WParam);
                if (m.LParam != 0) ControlListChanged(control, true);
                else ControlListChanging(control, false);
                return;
            }
            case WM_MOVE:
            case WM_SIZE:
                Layer::WndProc(m);
                WindowBoundsChanged();
                return;
            case WM_GETDLGCODE: {
                Layer::WndProc(m);
                TDlgCodes codes = DlgCodesFromBits(static_cast<std::uint32_t>(m.Result)) | dcNative;
                GetDlgCode(codes);
                if (!(codes & dcNative)) m.Result = static_cast<LRESULT>(DlgCodesToBits(codes));
                return;
            }
            case WM_SETFOCUS:
                FocusSet(reinterpret_cast<HWND>(m.WParam));
                PaintHighlight();
                return;
            case WM_KILLFOCUS:
                FocusKilled(reinterpret_cast<HWND>(m.WParam));
                PaintHighlight();
                return;
            case WM_NCPAINT:
                Layer::WndProc(m);
                PaintHighlight();
                return;
            case forms::CM_MOUSEENTER:
                Layer::WndProc(m);
                PaintHighlight();
                return;
            case forms::CM_MOUSELEAVE:
                Layer::WndProc(m);
                PaintHighlight();
                if (dotNetHighlighting_ && this->HandleAllocated()) {
                    InvalidateHighlightRing(this->WindowHandle(), this->Width(), this->Height());
                }
                return;
            case WM_ERASEBKGND: {
                auto dc = reinterpret_cast<HDC>(m.WParam);
                if (dc == nullptr) break;
                forms::SavedDCState state(dc);
                forms::TCanvas canvas;
                canvas.SetHandle(dc);
                try {
                    m.Result = DoEraseBackground(&canvas, m.LParam) ? 1 : 0;
                } catch (...) {
                    canvas.SetHandle(nullptr);
                    throw;
                }
                canvas.SetHandle(nullptr);
                return;
            }
            case WM_PRINT:
            case WM_PRINTCLIENT: {
                forms::SavedDCState state(reinterpret_cast<HDC>(m.WParam));
                Layer::WndProc(m);
                return;
            }
            default: break;
        }
        Layer::WndProc(m);
    }

protected:
    // Called after the window has been moved or sized (the form library's BoundsChanged is
    // the other way round: it moves the window).
    virtual void WindowBoundsChanged() {}
    // codes holds the form library's answer plus dcNative; remove dcNative to answer codes.
    virtual void GetDlgCode(TDlgCodes& codes) { (void)codes; }
    virtual void FocusSet(HWND previous) { this->PassOn(WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0); }
    virtual void FocusKilled(HWND next) { this->PassOn(WM_KILLFOCUS, reinterpret_cast<WPARAM>(next), 0); }
    // True when the background was erased.
    virtual bool DoEraseBackground(forms::TCanvas* canvas, LPARAM param) {
        return this->PassOn(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas->Handle()), param) != 0;
    }

    virtual void CursorChanged() { this->PassOn(forms::CM_CURSORCHANGED, 0, 0); }
    virtual void ShowingChanged() { this->PassOn(forms::CM_SHOWINGCHANGED, 0, 0); }
    virtual void ShowHintChanged() { this->PassOn(forms::CM_SHOWHINTCHANGED, 0, 0); }
    // Before a child joins (inserting) or after one has gone.
    virtual void ControlListChanging(TControl* control, bool inserting) {
        this->PassOn(inserting ? forms::CM_CONTROLLISTCHANGE : forms::CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), inserting);
    }
    // After a child has joined (inserting) or before one goes.
    virtual void ControlListChanged(TControl* control, bool inserting) {
        this->PassOn(inserting ? forms::CM_CONTROLCHANGE : forms::CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), inserting);
    }

private:
    void PaintHighlight() {
        if (!dotNetHighlighting_ || !this->HandleAllocated()) return;
        DrawHighlightBorder(this->WindowHandle(), this->Focused() || this->MouseInControl(), this->Color());
    }

    bool dotNetHighlighting_ = false;
};

class TExCustomControl : public TExWinControlLayer<forms::TCustomControl> {
public:
    explicit TExCustomControl(forms::TComponent* owner) : TExWinControlLayer(owner) {}
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();
};

class TExGraphicControl : public TExControlLayer<forms::TGraphicControl> {
public:
    explicit TExGraphicControl(forms::TComponent* owner) : TExControlLayer(owner) {}
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();
};

class TExScrollBox : public TExWinControlLayer<forms::TScrollBox> {
public:
    explicit TExScrollBox(forms::TComponent* owner) : TExWinControlLayer(owner) {}
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();
};

class TExImage : public TExControlLayer<forms::TImage> {
public:
    explicit TExImage(forms::TComponent* owner) : TExControlLayer(owner) {}
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();
};

class TExPanel : public TExWinControlLayer<forms::TPanel> {
public:
    explicit TExPanel(forms::TComponent* owner) : TExWinControlLayer(owner) {}
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();
};

}  // namespace controls
