#include "skin/manage/skin_coordinator_impl.h"

#include <algorithm>

#include "forms/application.h"
#include "forms/dialogs.h"
#include "forms/form.h"
#include "forms/guard.h"
#include "forms/portable/text_case.h"
#include "skin/frame/skin_form.h"
#include "skin/frame/skin_spy.h"
#include "skin/skin_data.h"
#include "skin/skin_messages.h"

namespace skin {

namespace {

TSkinCoordinator* instance = nullptr;

std::string ClassOf(HWND wnd) {
    char name[256] = {};
    const int length = GetClassNameA(wnd, name, sizeof name);
    return std::string(name, static_cast<size_t>(std::max(length, 0)));
}

bool Has(TSkinControlTypes set, TSkinControlType member) { return (set & (1u << member)) != 0; }

bool HandedOver(const forms::TForm& form) {
    for (const forms::TComponent* c : form.ComponentList())
        if (dynamic_cast<const TSkinSpy*>(c) != nullptr) return true;
    return false;
}

template <class T> bool Holds(const std::vector<T*>& list, const T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Still on the screen's list: not freed since a copy of the list was taken.
bool StillAForm(const forms::TForm* form) { return forms::Screen != nullptr && Holds(forms::Screen->FormList(), form); }

bool IsMdiChild(HWND wnd) {
    if ((GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD) == 0) return false;
    HWND parent = GetParent(wnd);
    return parent != nullptr && forms::LowerAscii(ClassOf(parent)) == "mdiclient";
}

}  // namespace

TSkinCoordinator::TSkinCoordinator() : state_(SkinManage()) {
    instance = this;
    state_.active = false;
    state_.skinAll = false;
    state_.activationState = 0;
    state_.popupKind = 0;
    state_.menuBarTracking = false;
}

TSkinCoordinator::~TSkinCoordinator() {
    state_.activationState = 4;
    StopTimer();
    hook_.reset();
    // Form skins belong to their forms; one made for a raw window (a system dialog) is ours.
    const std::vector<TSkinForm*> formSkins = state_.FormSkins();
    for (TSkinForm* f : formSkins)
        if (f->Owner() == nullptr && !f->Busy()) delete f;
    for (auto& popup : state_.popupSkins) popup->Unhook();
    state_.popupSkins.clear();
    retiredPopups_.clear();
    state_.skinDataList.clear();
    state_.active = false;
    if (instance == this) instance = nullptr;
}

TSkinCoordinator* TSkinCoordinator::Instance() { return instance; }

void TSkinCoordinator::AddSkinData(TSkinData& data) {
    auto& list = state_.skinDataList;
    if (std::find(list.begin(), list.end(), &data) == list.end()) list.push_back(&data);
    if (mainData_ == nullptr && data.SkinFormtype == sfMainform) mainData_ = &data;
}

void TSkinCoordinator::RemoveSkinData(TSkinData& data) {
    auto& list = state_.skinDataList;
    list.erase(std::remove(list.begin(), list.end(), &data), list.end());
    if (pending_ == &data) {
        pending_ = nullptr;
        pendingKind_ = kRequestNone;
        StopTimer();
    }
    if (mainData_ == &data) {
        mainData_ = nullptr;
        for (TSkinData* d : list)
            if (d->SkinFormtype == sfMainform) {
                mainData_ = d;
                break;
            }
    }
    // Nothing may go on painting from a data that is gone.
    const std::vector<TSkinForm*> formSkins = state_.FormSkins();
    for (TSkinForm* f : formSkins) {
        if (f->SkinData() != &data) continue;
        if (f->Form() != nullptr && f->Form()->IsDestroying()) f->UnskinOnDestroy();
        else Retire(f);
    }
    auto& popups = state_.popupSkins;
    for (auto it = popups.begin(); it != popups.end();) {
        if ((*it)->Data() != &data) {
            ++it;
            continue;
        }
        std::unique_ptr<TSkinPopMenu> popup = std::move(*it);
        it = popups.erase(it);
        FreePopup(std::move(popup));
    }
}

void TSkinCoordinator::InstallHook() {
    if (hook_) return;
    platformVersion_ = GetVersion();
    hookThread_ = GetCurrentThreadId();
    hook_.reset(SetWindowsHookExA(WH_CBT, &TSkinCoordinator::CbtProc, nullptr, hookThread_));
}

void TSkinCoordinator::Request(int kind, unsigned interval) {
    pendingKind_ = kind;
    interval_ = interval;
    if (state_.activationState != 0) {
        StartTimer();
        return;
    }
    // No window has been activated yet: the hook skins each one when it first is.
    if (kind == kRequestSkinAll) state_.active = true;
    else if (kind == kRequestUnskinAll) state_.active = false;
}

void TSkinCoordinator::StartTimer() {
    StopTimer();
    timerId_ = SetTimer(nullptr, 0, interval_, &TSkinCoordinator::TimerProc);
}

void TSkinCoordinator::StopTimer() {
    if (timerId_ != 0) KillTimer(nullptr, timerId_);
    timerId_ = 0;
}

void CALLBACK TSkinCoordinator::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    forms::Guarded([id] {
        if (instance == nullptr || instance->timerId_ != id) {
            KillTimer(nullptr, id);
            return;
        }
        instance->RunRequest();
    });
}

void TSkinCoordinator::SkinOwnerForm(TSkinData& data) {
    if (auto* form = dynamic_cast<forms::TForm*>(data.Owner())) SkinForm(*form);
}

void TSkinCoordinator::ReloadFormSkins(TSkinData& data) {
    for (TSkinForm* f : state_.FormSkins())
        if (f->SkinData() == &data && !f->Finished()) f->LoadFrameMetrics();
}

bool TSkinCoordinator::AddChildForm(forms::TForm& parent, forms::TForm& child) {
    if (!parent.HandleAllocated()) return false;
    TSkinForm* formSkin = state_.FindFormSkin(parent.WindowHandle());
    if (formSkin == nullptr || formSkin->Finished()) return false;
    auto* spy = new TSkinSpy(&child);
    spy->FormSkin = formSkin;
    formSkin->AttachChildForm(child);
    return true;
}

void TSkinCoordinator::Retire(TSkinForm* formSkin) {
    HWND wnd = formSkin->Window();
    formSkin->UnskinForm();
    if (wnd != nullptr && IsWindow(wnd)) {
        InvalidateRect(wnd, nullptr, TRUE);
        UpdateWindow(wnd);
    }
    // Still inside one of its window's messages (a request run from a modal loop): freed by
    // the next purge, never under its own call.
    formSkin->MarkFinished();
    if (!formSkin->Busy()) delete formSkin;
}

void TSkinCoordinator::PurgeFormSkins() {
    const std::vector<TSkinForm*> formSkins = state_.FormSkins();
    for (auto it = formSkins.rbegin(); it != formSkins.rend(); ++it)
        if ((*it)->Finished() && !(*it)->Busy()) delete *it;
}

void TSkinCoordinator::RunRequest() {
    if (pending_ == nullptr) {
        StopTimer();
        return;
    }
    StopTimer();
    TSkinData* data = pending_;
    const int kind = pendingKind_;
    pendingKind_ = kRequestNone;
    const bool oneForm = data->SkinFormtype == sfOnlyThisForm;
    switch (kind) {
        case kRequestSkinAll: {
            state_.active = true;
            state_.skinAll = true;
            if (oneForm) {
                auto* owner = dynamic_cast<forms::TForm*>(data->Owner());
                const auto& forms = forms::Screen->FormList();
                for (auto it = forms.rbegin(); it != forms.rend(); ++it)
                    if (*it == owner) {
                        SkinForm(*owner);
                        break;
                    }
            } else {
                PurgeFormSkins();
                // Skinning runs user handlers, which may free forms of the copy still to come.
                const std::vector<forms::TForm*> forms = forms::Screen->FormList();
                for (auto it = forms.rbegin(); it != forms.rend(); ++it)
                    if (StillAForm(*it)) SkinForm(**it);
            }
            state_.skinAll = false;
            break;
        }
        case kRequestUnskinAll: {
            state_.active = false;
            PurgeFormSkins();
            const std::vector<TSkinForm*> formSkins = state_.FormSkins();
            for (auto it = formSkins.rbegin(); it != formSkins.rend(); ++it) {
                // Giving a window back may free other form skins (their forms closed by a handler).
                if (!Holds(state_.FormSkins(), *it)) continue;
                if ((*it)->Finished() || (oneForm && (*it)->SkinData() != data)) continue;
                Retire(*it);
                if (oneForm) break;
            }
            break;
        }
        case kRequestRefresh: {
            PurgeFormSkins();
            std::vector<TSkinForm*> using_;
            for (TSkinForm* f : state_.FormSkins())
                if (f->SkinData() == data && !f->Finished()) using_.push_back(f);
            if (oneForm && using_.size() > 1) using_.resize(1);
            for (TSkinForm* f : using_) f->LoadFrameMetrics();
            for (TSkinForm* f : using_) {
                if (!Holds(state_.FormSkins(), f)) continue;  // freed by an earlier form's handler
                // A form's own recolour message also reaches whatever hooks the form; a raw
                // window has only us.
                if (f->Form() != nullptr) SendMessageA(f->Window(), kMsgRecolour, 0, 0);
                else f->Recolour();
            }
            break;
        }
        default:
            break;
    }
    // The handler may have gone with its data.
    if (pending_ == data) pending_ = nullptr;
    if (HoldsData(data)) data->DoSkinChanged();
}

bool TSkinCoordinator::HoldsData(const TSkinData* data) const { return Holds(state_.skinDataList, data); }

void TSkinCoordinator::SkinForm(forms::TForm& form) {
    if (!form.Visible() || !form.HandleAllocated()) return;
    HWND wnd = form.WindowHandle();
    if ((GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD) != 0 && form.FormStyle() != forms::fsMDIChild) return;
    SkinWindow(wnd);
}

bool TSkinCoordinator::LeftAloneDialog(HWND wnd, const std::string& className) const {
    if (className != "#32770") return false;
    const TSkinData* data = ChooseSkinData(wnd);
    if (data == nullptr) return false;
    for (const forms::TComponent* dialog : forms::ExecutingDialogs())
        if (dialog->Tag() % 100 == data->DisableTag) return true;
    return false;
}

bool TSkinCoordinator::SkinMdiChild(HWND wnd) {
    if (!IsMdiChild(wnd)) return false;
    const bool saved = state_.skinAll;
    state_.skinAll = true;
    bool made = false;
    try {
        made = SkinWindow(wnd);
    } catch (...) {
        state_.skinAll = saved;
        throw;
    }
    state_.skinAll = saved;
    return made;
}

bool TSkinCoordinator::SkinWindow(HWND wnd) {
    if (!state_.active) return false;
    PurgeFormSkins();
    // Windows of other threads are never ours to dress.
    if (hookThread_ != 0 && GetWindowThreadProcessId(wnd, nullptr) != hookThread_) return false;
    if (TSkinForm* existing = state_.FindFormSkin(wnd); existing != nullptr && !existing->Finished()) return false;
    forms::TForm* form = FindForm(wnd);
    // A form handed to a parent's skin answers the skinned query through its face colour's
    // skin, yet its frame is still to be dressed; its controls keep the skins they have.
    if (!(form != nullptr && HandedOver(*form)) && SendMessageA(wnd, kMsgSkinnedQuery, 0, 0) == 1) return false;
    if (IsMdiChild(wnd) && !state_.skinAll) return false;
    RECT r{};
    GetWindowRect(wnd, &r);
    if (r.right == r.left || r.bottom == r.top) return false;
    if (form != nullptr && form->Tag() == 99) return false;
    const std::string className = ClassOf(wnd);
    if (className == "TApplication" || className == "TQRStandardPreview") return false;
    if (mainData_ != nullptr) {
        bool doSkin = true;
        mainData_->DoFormSkin(className, doSkin);
        if (!doSkin) return false;
    }
    if (LeftAloneDialog(wnd, className)) return false;
    TSkinData* data = ChooseSkinData(wnd);
    if (data == nullptr || data->NoSkin()) return false;
    if (form != nullptr) {
        auto* formSkin = new TSkinForm(form);
        formSkin->AttachForm(data, form);
    } else {
        auto* formSkin = new TSkinForm(nullptr);
        formSkin->SetWindow(wnd);
        formSkin->InitSkin(data);
    }
    PostMessageA(wnd, kMsgAttachControls, 0, 1000);
    return true;
}

TSkinData* TSkinCoordinator::ChooseSkinData(HWND wnd) const {
    const auto& list = state_.skinDataList;
    auto last = [&](auto&& match) -> TSkinData* {
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            if (match(**it)) return *it;
        return nullptr;
    };
    if (TSkinData* d = last([&](TSkinData& d) {
            auto* owner = dynamic_cast<forms::TForm*>(d.Owner());
            return d.SkinFormtype == sfOnlyThisForm && owner != nullptr && owner->HandleAllocated() && owner->WindowHandle() == wnd;
        }))
        return d;
    const std::string lower = forms::LowerAscii(ClassOf(wnd));
    if (lower == "tmessageform" || lower == "#32770")
        if (TSkinData* d = last([](TSkinData& d) { return d.SkinFormtype == sfDialog; })) return d;
    if (TSkinData* d = last([](TSkinData& d) { return d.SkinFormtype == sfMainform; })) return d;
    return list.empty() ? nullptr : list.front();
}

void TSkinCoordinator::SkinPopupMenu(HWND wnd) {
    if (!state_.active) return;
    if (SendMessageA(wnd, kMsgSkinnedQuery, 0, 0) == 1 || state_.FindPopupSkin(wnd) != nullptr) return;
    TSkinData* data = ChooseSkinData(wnd);
    if (data == nullptr || data->NoSkin()) return;
    const TSkinControlTypes kinds = data->SkinControls;
    switch (state_.popupKind) {
        case 0: if (!Has(kinds, xcPopupMenu)) return; break;
        case 1: if (!Has(kinds, xcMainMenu) && !Has(kinds, xcMenuItem)) return; break;
        case 2: if (!Has(kinds, xcSystemMenu)) return; break;
        default: return;
    }
    auto popup = std::make_unique<TSkinPopMenu>(state_.active);
    popup->Hook(wnd, data, nullptr);
    state_.popupSkins.push_back(std::move(popup));
}

void TSkinCoordinator::FreePopup(std::unique_ptr<TSkinPopMenu> popup) {
    popup->Unhook();
    if (popup->Busy()) retiredPopups_.push_back(std::move(popup));
}

void TSkinCoordinator::FreeRetiredPopups() {
    retiredPopups_.erase(std::remove_if(retiredPopups_.begin(), retiredPopups_.end(),
                                        [](const std::unique_ptr<TSkinPopMenu>& p) { return !p->Busy(); }),
                         retiredPopups_.end());
}

void TSkinCoordinator::PopupDestroyed(HWND wnd) {
    FreeRetiredPopups();
    auto& popups = state_.popupSkins;
    auto it = std::find_if(popups.begin(), popups.end(), [wnd](const auto& p) { return p->Window() == wnd; });
    if (it != popups.end()) {
        std::unique_ptr<TSkinPopMenu> popup = std::move(*it);
        popups.erase(it);
        FreePopup(std::move(popup));
    }
    if (popups.empty()) {
        state_.popupKind = 0;
        state_.menuBarTracking = false;
    }
}

forms::TForm* TSkinCoordinator::FindForm(HWND wnd) {
    if (forms::Screen == nullptr) return nullptr;
    for (forms::TForm* form : forms::Screen->FormList())
        if (form->HandleAllocated() && form->WindowHandle() == wnd) return form;
    return nullptr;
}

LRESULT CALLBACK TSkinCoordinator::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && instance != nullptr) {
        // Nothing may cross the system's dispatch of the hook.
        forms::Guarded([&] { instance->OnHook(code, wParam, lParam); });
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TSkinCoordinator::OnHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* wnd = reinterpret_cast<HWND>(wParam);
    // A popup skin outlives no window, whatever the active flag says: a menu closed after
    // skinning was switched off would leave its skin listed under a handle the next window
    // may get.
    if (code == HCBT_DESTROYWND) {
        PopupDestroyed(wnd);
        return;
    }
    if (!state_.active) {
        if (code == HCBT_ACTIVATE && state_.activationState == 0) state_.activationState = 1;
        return;
    }
    switch (code) {
        case HCBT_CREATEWND: {
            const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
            const std::string className = ClassOf(wnd);
            if (className == "ScrollBar" && (create->style & SBS_SIZEGRIP) != 0) {
                if (TSkinForm* parent = state_.FindFormSkin(create->hwndParent); parent != nullptr && !parent->Finished())
                    parent->AddSizeGrip(wnd);
                return;
            }
            if ((create->style & WS_CHILD) != 0) return;
            if (className == "#32768") SkinPopupMenu(wnd);
            if (mainData_ != nullptr && mainData_->OnNewWindow) {
                try {
                    mainData_->OnNewWindow(*mainData_, wnd, className);
                } catch (...) {
                    // The new-window event's failures stay there.
                }
            }
            return;
        }
        case HCBT_ACTIVATE:
            if (state_.activationState == 0) state_.activationState = 1;
            SkinWindow(wnd);
            return;
        default:
            return;
    }
}

}  // namespace skin
