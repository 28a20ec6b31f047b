// TSkinControl: the base of every control skin. It puts its own window procedure in front of
// a form-library control's (its WindowProc) or a raw window's (its GWLP_WNDPROC), lets each
// message pass BeforeMessage, the control's own handling and AfterMessage, and paints the
// control from the skin. It never owns the control, the skin data or the list it sits in.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "forms/control.h"
#include "forms/messages.h"
#include "forms/portable/component.h"
#include "forms/subclass.h"
#include "skin/portable/skin_elements.h"

namespace forms {
class TWinControl;
}

namespace skin {

class TSkinData;
class TControlSkinList;

// Life states.
constexpr int kLifeCreated = 0;
constexpr int kLifeAttached = 1;
constexpr int kLifeUnskinned = 2;
constexpr int kLifeDead = 6;  // the window has had WM_NCDESTROY

// Posted to a control's new window, once it is whole, so that its skin takes it up.
constexpr UINT kMsgWindowMadeAgain = 0x3507;

// State bits.
constexpr unsigned kStateHot = 1u << 0;
constexpr unsigned kStatePressed = 1u << 1;

class TSkinControl : public forms::TComponent {
public:
    // owner: the control skinned, or nullptr for a raw window.
    explicit TSkinControl(forms::TComponent* owner);
    ~TSkinControl() override;

    // Attaches to the owner control; a second call does nothing.
    virtual void AttachControl(TControlSkinList* list, TSkinData* data, bool colourControl);
    // Attaches to a raw window.
    virtual void AttachHandle(HWND wnd, TSkinData* data, TControlSkinList* list);
    // Gives the control back its own colour and double buffering.
    virtual void Unskin();
    // True lets the message go on to the control's own handling (and AfterMessage).
    virtual bool BeforeMessage(forms::TMessage& m);
    virtual void AfterMessage(forms::TMessage& m);
    // Paints the whole window; dc 0 paints on the window DC.
    virtual void PaintFrame(HDC dc);
    virtual void DrawSkin(HDC dc, const RECT& rect);
    // Takes up a new skin: marks the control for repainting without painting it.
    virtual void RefreshSkin();

    HWND Handle() const { return handle_; }
    forms::TWinControl* Control() const { return control_; }
    // A windowless control skinned through its parent's paint (speed buttons); nullptr otherwise.
    forms::TControl* GraphicControl() const { return graphicControl_; }
    // The form-library control whose window a raw-window skin hooks, followed to each new
    // window the control makes; nullptr otherwise.
    forms::TWinControl* WatchedControl() const { return watched_; }
    int LifeState() const { return lifeState_; }
    unsigned State() const { return state_; }
    bool SkinOn() const { return skinOn_; }
    bool Attached() const { return attached_; }
    TControlSkinList* List() const { return list_; }
    // While skinned, the control's Color is the skin's face colour. Given at attach; a skin made
    // for the OnSkinControl event sets it before it is handed back.
    bool ColourControl() const { return colourControl_; }
    void SetColourControl(bool v) { colourControl_ = v; }
    // The class name of the skin ("TSkinButton"), for tests and the rules' table.
    virtual const char* SkinClassName() const { return "TSkinControl"; }
    // Painting errors swallowed so far, process-wide (tests fail on any).
    static int PaintErrors();
    // Counts a painting error swallowed by a painter of its own.
    static void CountPaintError();
    // Tells a skin the mouse left its control (the form library's mouse-leave message).
    static void SendMouseLeave(TSkinControl* other);

protected:
    void SkinWndProc(forms::TMessage& m);
    void CallDefault(forms::TMessage& m);
    // A raw window is painted at once unless told Later: a skin change repaints the whole
    // window once after every control skin has been refreshed.
    enum class Repaint { Now, Later };
    void InvalidateSkin(Repaint when = Repaint::Now);
    // The WM_PAINT answer of the families: draws through DrawSkin on wParam's DC or BeginPaint's.
    void PaintMessage(forms::TMessage& m);
    COLORREF FaceColour() const;
    // A disabled control's text: the skin's own shadow colour, which the skin chooses to read
    // on its disabled face (the system's grey may not).
    COLORREF DisabledTextColour() const;
    void FillFace(HDC dc, const RECT& rect) const;
    void FillParentFace(HDC dc, const RECT& rect) const;
    LONG_PTR GetWindowLongAW(int index) const;
    // Hands a left-button press to the control's own mouse-down handling.
    void ForwardMouseDown(const forms::TMessage& m);
    // Draws frame index of count frames of element into rect (nine parts, the element's
    // margins, tiled or stretched, magenta transparent when Trans is 1).
    void DrawElement(HDC dc, const RECT& rect, int count, int index, const TDataSkinObject& element) const;
    // Draws frame index of count frames of strip stretched into rect.
    void DrawStrip(HDC dc, const RECT& rect, const forms::PixelBuffer& strip, int count, int index, bool transparent) const;
    const SkinElements* Elements() const;
    bool Unicode() const { return subclass_ != nullptr && subclass_->Unicode(); }
    // True while this object lives: taken before a call that may free it (user handlers,
    // modal loops), asked after.
    std::weak_ptr<void> LifeToken() const { return life_; }
    // The window's text, wide.
    std::wstring WindowText() const;
    void SetHandle(HWND wnd) { handle_ = wnd; }
    void SetControl(forms::TWinControl* control) { control_ = control; }
    void SetList(TControlSkinList* list) { list_ = list; }
    void SetData(TSkinData* data) { data_ = data; }
    void SetLifeState(int state) { lifeState_ = state; }
    void MarkAttached() { attached_ = true; }
    // Puts SkinWndProc in front of the owner control's WindowProc.
    void HookControl(forms::TControl* control);
    // Takes the hook of a windowless control away again (it dies before its skin).
    void UnhookControl() { controlHook_.reset(); }
    void SetGraphicControl(forms::TControl* control) { graphicControl_ = control; }
    // Puts SkinWndProc in front of a raw window's procedure.
    void HookHandle(HWND wnd);
    void RememberColour(bool colourControl);
    // The control made its window again and the skin has the new one: it takes up what hangs
    // off the window (children, buddies). Runs once the new window is whole.
    virtual void WindowMadeAgain();

    unsigned state_ = 0;
    bool enabled_ = true;
    bool focused_ = false;
    std::wstring text_;
    RECT windowRect_{};
    bool colourControl_ = false;
    forms::TColor savedColour_ = 0;
    bool savedParentColour_ = false;
    TSkinData* data_ = nullptr;

private:
    using Default = std::function<void(forms::TMessage&)>;
    // Runs SkinWndProc with next as the control's own handling of this message.
    void Dispatch(forms::TMessage& m, const Default& next);
    void Unhook();
    // Follows the control a raw-window skin was attached to: its WindowProc tells of its next
    // window, which the skin hooks in turn.
    void WatchControl(forms::TWinControl* control);
    void WatchMessage(forms::TMessage& m, const forms::WindowProcHook::Next& next);
    // The control gave back its window and stays: the skin unskins it, lets go of its hooks and
    // of the window, and is freed by its list; the window made again is skinned anew.
    void LetGoOfGivenBackWindow();
    // Asks for kMsgWindowMadeAgain on the control's new window (once until it comes).
    void NoticeNewWindow(HWND now);
    void TakeUpNewWindow();

    HWND handle_ = nullptr;
    forms::TWinControl* control_ = nullptr;
    forms::TControl* graphicControl_ = nullptr;
    TControlSkinList* list_ = nullptr;
    bool skinOn_ = true;
    bool attached_ = false;
    int lifeState_ = kLifeCreated;
    // The control's own double buffering, while the skin has it switched on.
    std::optional<bool> savedDoubleBuffered_;
    std::unique_ptr<forms::WindowProcHook> controlHook_;
    std::unique_ptr<forms::WindowSubclass> subclass_;
    forms::TWinControl* watched_ = nullptr;
    std::unique_ptr<forms::WindowProcHook> watchHook_;
    HWND remadeFor_ = nullptr;  // the window kMsgWindowMadeAgain was posted to, until it comes
    const Default* next_ = nullptr;
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

}  // namespace skin
