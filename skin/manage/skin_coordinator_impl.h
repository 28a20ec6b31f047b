// TSkinCoordinator: the process's one skin coordinator. It learns of the user-interface
// thread's windows through a window-creation hook, dresses each top-level window with a form
// skin and each popup menu window with a popup skin, and carries out the skin data's requests
// (skin all, unskin all, refresh) on a one-shot timer, outside the message that asked.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/gdi_handle.h"
#include "skin/frame/skin_manage.h"
#include "skin/skin_coordinator.h"

namespace forms {
class TForm;
}

namespace skin {

class TSkinForm;

class TSkinCoordinator : public SkinCoordinator {
public:
    TSkinCoordinator();
    ~TSkinCoordinator() override;
    TSkinCoordinator(const TSkinCoordinator&) = delete;
    TSkinCoordinator& operator=(const TSkinCoordinator&) = delete;

    // The coordinator of this process, nullptr when none was made.
    static TSkinCoordinator* Instance();

    void AddSkinData(TSkinData& data) override;
    void RemoveSkinData(TSkinData& data) override;
    void InstallHook() override;
    void Request(int kind, unsigned interval) override;
    void SetPendingData(TSkinData* data) override { pending_ = data; }
    int ActivationState() const override { return state_.activationState; }
    void SetActivationState(int state) override { state_.activationState = state; }
    void SetActiveFlag(bool on) override { state_.active = on; }
    void SkinOwnerForm(TSkinData& data) override;
    void ReloadFormSkins(TSkinData& data) override;
    bool AddChildForm(forms::TForm& parent, forms::TForm& child) override;

    // Skins a visible form's window (a child window only when it is an MDI child).
    void SkinForm(forms::TForm& form);
    // True when a form skin was made for the window.
    bool SkinWindow(HWND wnd) override;
    bool SkinMdiChild(HWND wnd) override;
    // The data a window is dressed with; nullptr when none is registered.
    TSkinData* ChooseSkinData(HWND wnd) const;
    void SkinPopupMenu(HWND wnd);
    void PopupDestroyed(HWND wnd);
    bool IsPopupSkinned(HWND wnd) const { return state_.FindPopupSkin(wnd) != nullptr; }
    // Frees every form skin that is finished and not inside one of its window's messages.
    void PurgeFormSkins();
    // The form of the screen list whose window it is.
    static forms::TForm* FindForm(HWND wnd);

    TSkinData* MainData() const { return mainData_; }
    TSkinData* PendingData() const { return pending_; }
    int PendingRequest() const { return pendingKind_; }
    bool TimerRunning() const { return timerId_ != 0; }
    bool HookInstalled() const { return static_cast<bool>(hook_); }
    // The request due now (the timer's handler).
    void RunRequest();

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
    void OnHook(int code, WPARAM wParam, LPARAM lParam);
    void StartTimer();
    void StopTimer();
    // Gives a form skin's window back and frees it, or marks it for the next purge when it is
    // inside one of its window's messages.
    void Retire(TSkinForm* formSkin);
    void FreePopup(std::unique_ptr<TSkinPopMenu> popup);
    void FreeRetiredPopups();
    bool LeftAloneDialog(HWND wnd, const std::string& className) const;
    // Still registered: not freed by a handler since the caller took it.
    bool HoldsData(const TSkinData* data) const;

    TSkinManage& state_;
    forms::UniqueHook hook_;
    DWORD hookThread_ = 0;
    DWORD platformVersion_ = 0;
    UINT_PTR timerId_ = 0;
    unsigned interval_ = kRequestInterval;
    int pendingKind_ = kRequestNone;
    TSkinData* pending_ = nullptr;
    TSkinData* mainData_ = nullptr;
    // Popup skins unhooked while their window was inside one of its messages.
    std::vector<std::unique_ptr<TSkinPopMenu>> retiredPopups_;
};

}  // namespace skin
