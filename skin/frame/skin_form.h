// TSkinForm: takes over one top-level window (a form of ours or a raw window such as a message
// box): its non-client area, hit testing, system buttons, system menu and timer, paints its
// borders, title bar and caption from the skin, gives it the skin's shape, and gives it back.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/bitmap.h"
#include "forms/gdi_handle.h"
#include "forms/messages.h"
#include "forms/portable/component.h"
#include "forms/subclass.h"
#include "skin/frame/nc_objects.h"
#include "skin/frame/portable/frame_rules.h"
#include "skin/skin_messages.h"

namespace forms {
class TForm;
class TTimer;
class TPopupMenu;
class TMenuItem;
class TCanvas;
}  // namespace forms

namespace skin {

class TSkinData;
class TControlSkinList;
class TSkinMenu;
class TMenuBtn;

// The skinned system menu's Tag.
constexpr int kSystemMenuTag = 33333;

enum FormPhase : int { kPhaseCreated = 0, kPhaseReady = 1, kPhaseRecolouring = 3, kPhaseDestroying = 4, kPhaseFitting = 5,
                       kPhaseDestroyed = 6 };
enum FormWindowState : int { kStateNormal = 0, kStateMaximised = 1, kStateMinimised = 2 };
enum FormWindowKind : int { kKindOrdinary = 0, kKindMdiParent = 1, kKindMdiChild = 2 };

// Painting errors swallowed by the frame's guard since the process started: a test fails
// when any was swallowed.
int FramePaintErrors();

class TSkinForm : public forms::TComponent {
public:
    explicit TSkinForm(forms::TComponent* owner);
    ~TSkinForm() override;

    // Form path: the form's WindowProc is hooked too.
    void AttachForm(TSkinData* data, forms::TForm* form);
    // A raw window (no form object): set the window, then InitSkin.
    void SetWindow(HWND wnd) { wnd_ = wnd; }
    void InitSkin(TSkinData* data);

    void FitWindow(bool keepClient);
    void SetFrameStyles(bool restore);
    void LoadFrameMetrics();
    void FreeSysButtons();
    void Recolour();
    void BuildRegion();
    void DropRegion();
    void PaintNonClient(HDC dc);
    void LayoutSysButtons();
    void PaintSysButtons(HDC dc);
    void PaintSysButton(TWinSysButton& button, int frame);
    bool IsSysButtonVisible(int index);
    void ShowSystemMenu(int x, int y);
    void RepaintWindow();
    // MDI parent: the active child is maximised.
    bool IsMdiChildMaximized() const;
    // MDI child: the look of a child while one of them is maximised (the system's frame, no
    // region), or back to the skin's.
    void SetMdiMaximizedLook(bool on);
    HWND MdiClient() const { return mdiClient_; }

    // The menu bar (skin/menu/): opens an item's drop-down and tracks it until it closes,
    // moving along the bar on the way; runs on its own loop, never nested.
    void TrackMenuButton(TMenuBtn* item);
    // Opens an item as a click on it would (posted; used when no drop-down is open).
    void OpenMenuButton(TMenuBtn& item);
    TMenuBtn* FindMenuButtonByAccel(wchar_t key) const;
    // The maximised MDI child's buttons (Align 100) on the bar being composed in dc.
    void PaintMdiBarButtons(HDC dc, const RECT& bar);
    POINT ScreenToFrame(POINT screen) const;

    void UnskinForm();
    void UnskinOnDestroy();
    void UnskinPlain();
    // A form made at run time takes the face colour and its controls' skins from this form
    // skin's list.
    void AttachChildForm(forms::TForm& form);
    // A size grip made on the window after it was skinned takes its skin from this list.
    void AddSizeGrip(HWND grip);

    // Inside one of its window's messages now (a modal loop may run below): must not be freed.
    bool Busy() const { return busy_ > 0; }
    // Given back but not yet freed: the next purge frees it.
    void MarkFinished() { finished_ = true; }
    bool Finished() const { return finished_ || phase_ == kPhaseDestroyed; }

    // State the tests and the coordinator read.
    HWND Window() const { return wnd_; }
    forms::TForm* Form() const { return form_; }
    bool Attached() const { return frameProc_ != nullptr; }
    int Phase() const { return phase_; }
    bool Active() const { return active_; }
    int FrameKind() const { return frameKind_; }
    int FrameFlags() const { return frameFlags_; }
    int WindowState() const { return windowState_; }
    RECT Borders() const { return RECT{left_, top_, right_, bottom_}; }
    int MenuHeight() const { return menuHeight_; }
    TSkinMenu* MenuBar() const { return menuBar_; }
    bool MenuTracking() const { return menuTracking_; }
    HMENU TrackedMenu() const { return trackedMenu_; }
    int WindowKind() const { return windowKind_; }
    bool TimerEnabled() const;
    const std::vector<std::unique_ptr<TWinSysButton>>& SysButtons() const { return sysButtons_; }
    TNCObject* HotObject() const { return hot_; }
    void SetHotObject(TNCObject* object) { hot_ = object; }
    forms::TPopupMenu* SystemMenuPopup() const { return systemMenuPopup_; }
    RECT CaptionTextRect() const { return captionTextRect_; }
    HRGN Region() const { return region_.get(); }
    TSkinData* SkinData() const { return data_; }
    bool HasIcon() const { return !iconImage_.empty(); }
    // The control skins of the window's children, attached at kMsgAttachControls; nullptr
    // before that and after unskinning.
    TControlSkinList* ControlSkins() const { return controls_.get(); }

protected:
    void Notification(forms::TComponent* component, forms::TOperation operation) override;

private:
    LRESULT FrameWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next);
    void FormWindowProc(forms::TMessage& m, const forms::WindowProcHook::Next& next);
    bool Stage3(UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next, LRESULT& result);

    void GrabIcon();
    void BuildSystemMenu();
    void SystemMenuClick(int tag);
    void TimerTick();
    // A system button's action, as its posted kMsgSysButtonAction asks; false for an action
    // of the application's own.
    bool RunSysButtonAction(int action, POINT screen);
    // A pressed system button: the mouse messages it captures, and the press called off.
    bool PressMessage(UINT msg, LPARAM lParam);
    void ForgetPress();
    // On the window but outside its client area.
    bool InFrame(POINT screen) const;
    void ToggleMaximize();
    void ToggleMinimize();
    void RestoreWindow();
    void ApplyFrameChange();
    void RefreshWindowState();
    TWinSysButton* ButtonAt(POINT frame) const;
    // A system button, else a menu-bar item, under the frame point.
    TNCObject* ObjectAt(POINT frame) const;
    void CreateMenuBar();
    void HookMdiClient();
    LRESULT MdiClientWndProc(UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next);
    // Sends a system command to the MDI parent's active child.
    void MdiChildCommand(UINT command);
    void ReloadMenuBar();
    void FreeMenuBar();
    bool MenuItemMessage(UINT msg, LPARAM lParam);
    void MenuSelected(WPARAM wParam, LPARAM lParam);
    bool KeyMenu(WPARAM wParam, LPARAM lParam);
    bool DialogChar(forms::TMessage& m);
    void PaintBorder(int index, const RECT& rect, HDC dc);
    void PaintTitleBar(HDC dc);
    void PaintCaptionText(HDC dc, const RECT& title);
    std::wstring CaptionText() const;
    void StopTimer();
    // The hot button skin of the window's controls is told the mouse left and forgotten;
    // onlyWhenAway keeps it while the cursor is still over its window.
    void LeaveHotControl(bool onlyWhenAway);
    void ReleaseSubclasses();
    void AttachControlSkins();
    // The control-skin list, made on first use with the menu and tool-bar drawing it hands on.
    TControlSkinList& ControlList();
    void DetachControlSkins();
    // A control's menu (a tool bar's) handed to the skin by the attachment rules: its items are
    // drawn by the skin until the control skins are detached, unless its Tag says not to.
    void OwnerDrawControlMenu(forms::TMenuItem& items);
    // Gives back the control menus and the popup menus of the forms handed over at run time.
    void ReleaseControlMenus();
    SysButtonState ButtonState();
    // The skin has a button that shows the window's icon (and opens its system menu).
    bool SkinHasIconButton() const;
    forms::PixelBuffer PaintedBorder(int index, int width, int height) const;

    TSkinData* data_ = nullptr;
    forms::TForm* form_ = nullptr;
    HWND wnd_ = nullptr;
    std::unique_ptr<forms::WindowSubclass> frameProc_;
    std::unique_ptr<forms::WindowProcHook> formProc_;
    std::unique_ptr<TControlSkinList> controls_;
    // The root items of the control menus drawn by the skin, watched for being freed.
    std::vector<forms::TMenuItem*> controlMenus_;
    // Forms handed over at run time whose popup menus the skin draws, watched for being freed.
    std::vector<forms::TForm*> childForms_;
    forms::TTimer* timer_ = nullptr;  // owned as a component
    forms::TPopupMenu* systemMenuPopup_ = nullptr;  // owned as a component
    forms::UniqueFont captionFont_;
    forms::UniqueRegion region_;
    forms::PixelBuffer iconImage_;
    forms::PixelBuffer titleImage_;  // the last painted title strip
    forms::PixelBuffer titleBack_;   // the same before the buttons
    std::vector<std::unique_ptr<TWinSysButton>> sysButtons_;
    TNCObject* hot_ = nullptr;
    TSkinMenu* menuBar_ = nullptr;  // owned as a component
    HMENU menuAtAttach_ = nullptr;
    HMENU trackedMenu_ = nullptr;
    bool menuTracking_ = false;
    bool keyHandled_ = false;
    // A click on a bar item is posted and not handled yet: no second one.
    bool openPosted_ = false;
    // Cleared while the form library puts its menu back, so no frame is painted meanwhile.
    bool framePaintAllowed_ = true;
    int windowKind_ = kKindOrdinary;
    HWND mdiClient_ = nullptr;
    std::unique_ptr<forms::WindowSubclass> mdiClientProc_;
    HWND newMdiChild_ = nullptr;  // made by the last WM_MDICREATE
    bool savedMenuUpdate_ = true;
    // The button a press went down on: only its release acts.
    TWinSysButton* pressed_ = nullptr;

    std::wstring captionSuffix_ = L"  ", captionPrefix_ = L" ";
    std::string className_;
    bool frameSkinning_ = true;
    bool controlsAttached_ = false;
    bool rightToLeft_ = false, sizable_ = false, unicode_ = false, systemDialog_ = false, childWindow_ = false;
    bool active_ = true;
    bool formColourSaved_ = false;
    RECT clientRect_{};
    RECT standardFrame_{};
    RECT captionTextRect_{};
    DWORD lastMenuOpen_ = 0;
    UINT doubleClickTime_ = 0;
    HWND owner_ = nullptr;
    HMENU systemMenu_ = nullptr;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    int menuHeight_ = 0;
    int rightmostButtonLimit_ = 0;
    int windowWidth_ = 0, windowHeight_ = 0;
    int regionWidth_ = -1, regionHeight_ = -1;
    std::uint32_t savedStyle_ = 0;
    std::uint32_t savedColour_ = 0;
    int frameKind_ = kFrameFixed;
    int frameFlags_ = 0;
    int windowState_ = kStateNormal;
    int phase_ = kPhaseCreated;
    int busy_ = 0;
    bool finished_ = false;
};

}  // namespace skin
