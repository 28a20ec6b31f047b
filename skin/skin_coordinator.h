// What a skin data component asks of the process's one skin coordinator. The coordinator
// lives above the frame and control skins (skin/manage) and registers how it is made here, so
// that TSkinData reaches it without a library cycle.
#pragma once
#include <windows.h>

#include <memory>

namespace forms {
class TForm;
}

namespace skin {

class TSkinData;

// Requests carried out on the coordinator's one-shot timer.
enum SkinRequest : int { kRequestNone = 0, kRequestSkinAll = 1, kRequestUnskinAll = 2, kRequestRefresh = 3 };
constexpr unsigned kRequestInterval = 250;

class SkinCoordinator {
public:
    virtual ~SkinCoordinator() = default;

    virtual void AddSkinData(TSkinData& data) = 0;
    // Unregisters; form and popup skins that use the data give their windows back first.
    virtual void RemoveSkinData(TSkinData& data) = 0;
    // The window-creation hook for the calling thread.
    virtual void InstallHook() = 0;
    // A later request replaces one still pending.
    virtual void Request(int kind, unsigned interval) = 0;
    virtual void SetPendingData(TSkinData* data) = 0;
    virtual int ActivationState() const = 0;
    virtual void SetActivationState(int state) = 0;
    virtual void SetActiveFlag(bool on) = 0;
    // Skins the window of the data's owner form now (a data for one form or for dialogs).
    virtual void SkinOwnerForm(TSkinData& data) = 0;
    // Every form skin that uses the data re-reads it (after a load replaced its elements).
    virtual void ReloadFormSkins(TSkinData& data) = 0;
    // The run-time form's controls skinned through the parent form's skin; false when the
    // parent has none.
    virtual bool AddChildForm(forms::TForm& parent, forms::TForm& child) = 0;
    // Skins a window by the coordinator's window rules; true when a form skin was made.
    virtual bool SkinWindow(HWND wnd) = 0;
    // A child its MDI client has just made: skinned by the same rules, which let MDI children
    // through otherwise only while every form is being skinned.
    virtual bool SkinMdiChild(HWND wnd) = 0;
};

using SkinCoordinatorFactory = std::unique_ptr<SkinCoordinator> (*)();
// Set once by the coordinator's library before any data is loaded.
void SetSkinCoordinatorFactory(SkinCoordinatorFactory factory);
// A coordinator exists or can be made (the program links one).
bool SkinCoordinatorAvailable();
// The process's coordinator, nullptr until the first data is loaded.
SkinCoordinator* CurrentSkinCoordinator();
// Makes it when none exists; throws when no coordinator is linked into the program.
SkinCoordinator& EnsureSkinCoordinator();
// Frees it (program end; tests that need a fresh one).
void FreeSkinCoordinator();

}  // namespace skin
