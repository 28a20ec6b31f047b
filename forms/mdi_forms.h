// MDI windows: a parent form whose client area is the system's "MDIClient" window, and child
// forms that live inside it (made with WM_MDICREATE, ended with WM_MDIDESTROY), with tile,
// cascade and the window menu that lists the children.
#pragma once
#include "forms/form.h"

namespace forms {

class TMenuItem;

class TMDIForm : public TForm {
public:
    explicit TMDIForm(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    HWND ClientHandle() const { return client_; }
    // The active child's form, nullptr when none.
    TForm* ActiveMDIChild() const;
    int MDIChildCount() const;
    void Tile();
    void Cascade();
    // The menu item whose drop-down lists the children (not owned).
    TMenuItem* WindowMenu() const { return windowMenu_; }
    void SetWindowMenu(TMenuItem* item);

protected:
    void HandleCreated() override;
    void DefaultHandler(TMessage& message) override;
    void WndProc(TMessage& message) override;

private:
    HWND client_ = nullptr;  // a child of the form's window, which ends it
    TMenuItem* windowMenu_ = nullptr;
};

// A form inside an MDI parent (its owner).
class TMDIChild : public TForm {
public:
    explicit TMDIChild(TMDIForm* parent);
    // The window goes through the client (WM_MDIDESTROY) while this is still an MDI child.
    ~TMDIChild() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
    TMDIForm* ParentForm() const { return parent_; }

protected:
    HWND CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWindowHandle(HWND wnd) override;
    void DefaultHandler(TMessage& message) override;
    void WndProc(TMessage& message) override;

private:
    TMDIForm* parent_;
};

}  // namespace forms
