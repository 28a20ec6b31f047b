// TWinControl: a control with a real window. One window class per control class, named after
// it; a control may superclass a system class (see TCreateParams::SystemClassName). Its
// window procedure is the library's one static procedure; unhandled messages go to the
// superclassed class procedure or DefWindowProcA.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "forms/control.h"

namespace forms {

// What CreateParams fills in before the window is made. Controls override CreateParams, call
// the base, then adjust. To wrap a system control, set SystemClassName:
//   void TButton::CreateParams(TCreateParams& p) {
//       TWinControl::CreateParams(p);
//       p.SystemClassName = "BUTTON";  // registered as "TButton", superclassing BUTTON
//       p.Style |= BS_PUSHBUTTON;
//   }
// The system class's procedure (and its window extra bytes) become this window class's
// default handler; DefaultHandler calls it with CallWindowProcA.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    HMENU Menu = nullptr;  // a child's id, or a top-level window's menu
    // The window class registered for this control, by default the class name ("TPanel").
    std::string WinClassName;
    // Empty: a class of our own over DefWindowProcA. Otherwise the system class to superclass
    // ("BUTTON", "EDIT", "COMBOBOX", "LISTBOX", "STATIC", "SysTabControl32", "RichEdit20A"...).
    std::string SystemClassName;
    // Class style for a class of our own; a superclass keeps the system class's style plus
    // CS_DBLCLKS only when this asks for it.
    UINT ClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // The window, created on first use (with the parent's first).
    HWND Handle();
    // The window when there is one, never creating it.
    HWND WindowHandle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // No window yet, in a container that has one and leaves this one's for when it is needed.
    bool WindowLeftForLater() const;
    void HandleNeeded();
    // Destroys and makes the window again with the current properties (style changes).
    void RecreateWnd();
    void DestroyHandle();
    // Destroys the window and its children's, keeping the control and its state (bounds,
    // text, children): the window is made again when next needed. Each control whose window
    // went then hears CM_WINDOWGIVENBACK (a skin lets go of it).
    void GiveBackHandle();
    // The brush's handle and every child's GDI objects; a window of this control keeps working.
    void ReleaseGdiHandles() override;
    // Puts the window into the Win32 z-order its place in the parent's Controls gives.
    void PlaceInZOrder();
    // The object behind a window of ours, nullptr for any other window.
    static TWinControl* FindControl(HWND wnd);
    // A top-level control without a Parent can still be shown inside a foreign window.
    HWND ParentWindow() const { return parentWindow_; }
    void SetParentWindow(HWND wnd);

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
    // Children in z-order (first is bottom-most).
    const std::vector<TControl*>& ControlList() const { return controls_; }
    bool ContainsControl(const TControl* control) const;
    // The top-most visible child at a client point: windowless children whose CM_HITTEST says
    // yes; windowed ones too when allowWinControls.
    TControl* ControlAtPos(POINT p, bool allowDisabled, bool allowWinControls = false) const;

    // Sends the message to each child until one sets a non-zero Result.
    void Broadcast(TMessage& message);
    // Sends msg to every child.
    void NotifyControls(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Focus and tab order.
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v);
    int TabOrder() const;
    void SetTabOrder(int v);
    // The next (or previous) control after `current` in tab order among this control's
    // descendants; with checkTabStop only controls with TabStop.
    TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop, bool checkParent) const;
    void SelectNext(TWinControl* current, bool forward, bool checkTabStop);
    void GetTabOrderList(std::vector<TWinControl*>& list) const;

    // Alignment of children.
    void DisableAlign();
    void EnableAlign();
    void Realign();
    // The area children are aligned in (the client rect by default).
    virtual RECT AlignArea();

    // The background brush, kept in step with Color.
    TBrush* Brush() const { return brush_.get(); }
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool v) { doubleBuffered_ = v; }

    RECT ClientRect() const override;
    POINT ClientOrigin() const override;
    void SetClientSize(int width, int height) override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool v) override;
    void SetEnabled(bool v) override;
    bool Showing() const override;
    std::string GetText() const override;
    void SetText(const std::string& v) override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void BringToFront() override;
    void SendToBack() override;

    // Moves every child by (dx, dy) and scrolls the window's pixels along.
    void ScrollBy(int dx, int dy);
    // Paints the windowless children over dc, in z-order, from `first` (nullptr: all).
    void PaintControls(HDC dc, TControl* first);

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    // The static window procedure of every window class of ours.
    static LRESULT CALLBACK StdWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    virtual void CreateParams(TCreateParams& params);
    // Makes the window (CreateWindowExA on the registered class).
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // The system calls that make and end the window (an MDI child asks its client instead).
    virtual HWND CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWindowHandle(HWND wnd) { DestroyWindow(wnd); }
    // After the window exists: the control puts its state into it (font, texts, items...).
    virtual void HandleCreated() {}
    // Whether a child's window is made along with this control's (and at once when the child
    // is inserted); otherwise the child gets it when it first asks (HandleNeeded). A container
    // of thousands of children makes windows only for those it shows.
    virtual bool MakesChildHandle(const TWinControl& child) const;
    // Before the window goes: the control reads back what it keeps only in the window.
    virtual void HandleDestroying() {}
    // Paints the control's own client (not its windowless children) into dc; the default
    // sends WM_PAINT with dc to the class procedure, or fills with Color for our own classes.
    virtual void PaintWindow(HDC dc);
    // Erasing: our own classes fill with Color; superclassed ones ask the class procedure.
    virtual void EraseBackground(TMessage& message);
    // Children laid out by Align inside rect (what is left after each is placed).
    virtual void AlignControls(TControl* control, RECT& rect);
    // Key handling: true when the key was taken (form key preview, then the event).
    virtual bool DoKeyDown(WORD& key, TShiftState shift);
    virtual bool DoKeyUp(WORD& key, TShiftState shift);
    virtual bool DoKeyPress(char& key);
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();
    void BoundsChanged() override;
    void Notification(TComponent* component, TOperation operation) override;
    void Loaded() override;

    // Windowless child that holds the mouse between button down and up.
    TControl* mouseControl_ = nullptr;

private:
    friend class TControl;
    friend class TApplication;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void CreateChildHandles();
    void UpdateShowing();
    void UpdateWindowEnabled();
    void AttachHandle(HWND wnd);
    void DetachHandle();
    // Drops handle_ without touching the window (it is gone already).
    void ForgetHandle();
    void CollectWindowed(std::vector<TWinControl*>& list);
    bool RouteMouseToChild(TMessage& m);
    bool ReflectToChild(TMessage& m);
    void HandlePaint(TMessage& m);
    void HandlePrintClient(TMessage& m);
    void HandleKeyNotification(TMessage& m);
    void HandleDialogKey(TMessage& m);

    HWND handle_ = nullptr;
    HWND parentWindow_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    // Children in the order they were inserted: the order of alignment, which z-order
    // changes leave alone.
    std::vector<TControl*> alignOrder_;
    std::unique_ptr<TBrush> brush_;
    bool tabStop_ = false;
    bool doubleBuffered_ = false;
    int alignLevel_ = 0;
    bool showing_ = false;
    bool sizeUnreported_ = false;  // taken on WM_MOVE, not yet reported by Resize
};

}  // namespace forms
