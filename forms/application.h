// The application object (message loop, ProcessMessages, exception reporting, hints, mouse
// enter/leave tracking) and Screen (the list of forms).
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/portable/exceptions.h"

namespace forms {

class THintController;

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v) { title_ = v; }
    std::string ExeName() const;

    // The first form made with CreateForm (or set here); closing it ends the loop.
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }
    template <class T> T* CreateForm() {
        T* form = new T(this);
        if (mainForm_ == nullptr) mainForm_ = form;
        return form;
    }

    // Shows the main form and handles messages until Terminate or WM_QUIT.
    void Run();
    // Handles one message, waiting for it (idle work first when the queue is empty).
    void HandleMessage();
    // Handles every message waiting now and returns. Safe to call from inside a handler;
    // a WM_QUIT it meets sets Terminated and is posted again for the outer loop.
    void ProcessMessages();
    // Handles one message when there is one; false when the queue was empty.
    bool ProcessMessage();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // For tests that have seen a quit on purpose.
    void ResetTerminated() { terminated_ = false; }

    // What every guard hands an escaped exception to: OnException when assigned, else the
    // default error box with the message (EAbort is silent).
    void HandleException(const std::exception& e);
    void ShowException(const std::exception& e);
    // MessageBox through platform_calls, captioned with Title.
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

    TColor HintColor() const { return hintColor_; }
    void SetHintColor(TColor v) { hintColor_ = v; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v) { showHint_ = v; }
    int HintPause() const { return hintPause_; }
    void SetHintPause(int v) { hintPause_ = v; }
    // What shows the hints (hint_window.h).
    const THintController& Hints() const { return *hints_; }

    // The innermost control under the cursor. When it changes, CM_MOUSELEAVE goes to the old
    // one and then to each of its parents outwards, and CM_MOUSEENTER the same way to the new
    // one; LParam is always the control left or entered (compare it with `this` to tell
    // "me" from "a child of mine"). Runs on mouse moves and when the queue is idle.
    void DoMouseIdle();
    TControl* MouseControl() const { return mouseControl_; }
    // The innermost control of ours at a screen point (windowless ones by hit test).
    TControl* FindControlAtPos(POINT screenPoint) const;
    // A control is going away: forget it.
    void ControlDestroyed(TControl* control);

    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TMessageEvent OnMessage;

private:
    bool IsKeyMsg(MSG& msg);
    void Idle();
    void NotifyMouseChain(TControl* control, UINT msg);

    std::string title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    TColor hintColor_ = clInfoBk;
    bool showHint_ = true;
    int hintPause_ = 500;
    TControl* mouseControl_ = nullptr;
    std::vector<TControl*> notifyChain_;
    std::unique_ptr<THintController> hints_;
    bool showingException_ = false;
};

class TScreen : public TComponent {
public:
    TScreen();
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    int FormCount() const { return static_cast<int>(forms_.size()); }
    TForm* Forms(int index) const { return forms_.at(static_cast<size_t>(index)); }
    const std::vector<TForm*>& FormList() const { return forms_; }
    TForm* ActiveForm() const;
    TWinControl* ActiveControl() const;
    int Width() const;
    int Height() const;
    int PixelsPerInch() const;
    // The application-wide cursor (crDefault: each control's own).
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor v);

private:
    friend class TForm;
    void AddForm(TForm* form);
    void RemoveForm(TForm* form);

    std::vector<TForm*> forms_;
    TCursor cursor_ = crDefault;
};

extern TApplication* Application;
extern TScreen* Screen;

// Makes Application and Screen for the life of a scope (a program's main, a test main),
// and frees them (and every form the application owns) at its end.
class ApplicationScope {
public:
    ApplicationScope();
    ~ApplicationScope();
    ApplicationScope(const ApplicationScope&) = delete;
    ApplicationScope& operator=(const ApplicationScope&) = delete;
};

}  // namespace forms
