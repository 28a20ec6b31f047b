// Top-level windows built in code: caption, position, border styles, stay-on-top, key
// preview and dialog keys, close handling, icons, modal showing.
#pragma once
#include "forms/custom_control.h"
#include "forms/scroll_box.h"

namespace forms {

enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                 poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIconFlag : unsigned { biSystemMenu = 1u << 0, biMinimize = 1u << 1, biMaximize = 1u << 2, biHelp = 1u << 3 };
using TBorderIcons = unsigned;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1;

class TForm;
class TMainMenu;
// The form a control sits on (its top-most parent when that is a form), nullptr otherwise.
TForm* GetParentForm(TControl* control);

class TForm : public TScrollingWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TCanvas* Canvas() const { return canvas_.get(); }

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons v);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition v) { position_ = v; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle v);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState v);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }

    // The window's menu bar (not owned; usually a component of the form).
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    // Focus moved inside the form: remembers the control, sends CM_FOCUSCHANGED to the form.
    void FocusControl(TWinControl* control);
    bool Active() const;

    // Both sizes go to the window (WM_SETICON ICON_BIG and ICON_SMALL); not owned.
    HICON Icon() const { return icon_; }
    void SetIcon(HICON icon);
    void SetIcons(HICON big, HICON small);

    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v) { modalResult_ = v; }
    bool IsModal() const { return modal_; }

    // Runs OnCloseQuery, then OnClose with caHide (a main form ends the application; caFree
    // releases the form); a modal form ends its loop with mrCancel.
    void Close();
    bool CloseQuery();
    // Shows the form and runs messages until ModalResult is set; other windows are disabled
    // meanwhile.
    TModalResult ShowModal();
    // Frees the form once the messages queued now have been handled.
    void Release();

    void SetVisible(bool v) override;
    // Makes the window first, so that the frame is outside the size asked for.
    void SetClientSize(int width, int height) override;
    void SetFocus() override;
    bool Showing() const override;
    POINT ClientOrigin() const override;
    void WndProc(TMessage& message) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void PaintWindow(HDC dc) override;
    void Resize() override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void Paint();
    // Tab, arrows, Enter and Escape the focused control did not want.
    virtual bool DialogKey(WORD key, TShiftState shift);

private:
    void ApplyPosition();
    void SetWindowToTop();
    // A new window for a new frame style, shown again when the old one was on screen.
    void RecreateForm();
    // Gives the window the main menu's handle (or none).
    void ApplyMenu();
    // The main menu's WM_COMMAND, WM_MEASUREITEM and WM_DRAWITEM; false when not its.
    bool MenuMessage(TMessage& m);

    std::unique_ptr<TControlCanvas> canvas_;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = poDesigned;
    TFormStyle formStyle_ = fsNormal;
    TWindowState windowState_ = wsNormal;
    bool keyPreview_ = false;
    TWinControl* activeControl_ = nullptr;
    TMainMenu* menu_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    bool positioned_ = false;
    bool minimized_ = false;
};

}  // namespace forms
