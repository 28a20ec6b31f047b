// Combo boxes: border and drop-down button painted from the skin's combo strip, in the state
// the combo and its edit child are in. The edit child is hooked too (its presses and paints
// repaint the combo), with the character set it was made with.
#pragma once
#include <memory>

#include "forms/subclass.h"
#include "skin/controls/skin_control.h"

namespace skin {

// A pop-up window, or a direct child of the desktop.
bool IsPopupOrDesktopChild(HWND wnd);

class TSkinComBox : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    ~TSkinComBox() override;
    void AttachControl(TControlSkinList* list, TSkinData* data, bool colourControl) override;
    void AttachHandle(HWND wnd, TSkinData* data, TControlSkinList* list) override;
    void Unskin() override;
    void AfterMessage(forms::TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinComBox"; }

    HWND EditChild() const { return editChild_; }
    HWND ListHandle() const { return listHandle_; }

protected:
    void WindowMadeAgain() override;

private:
    void HookParts();
    LRESULT EditChildMessage(UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next);

    LONG_PTR style_ = 0;
    HWND editChild_ = nullptr;
    HWND listHandle_ = nullptr;
    std::unique_ptr<forms::WindowSubclass> editHook_;
};

}  // namespace skin
