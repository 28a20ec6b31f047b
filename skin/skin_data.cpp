#include "skin/skin_data.h"

#include <filesystem>

#include "forms/dialogs.h"
#include "forms/form.h"
#include "skin/skin_coordinator.h"
#include "skin/portable/skin3rd_defaults.h"

namespace skin {

namespace {

COLORREF ResolveColour(std::uint32_t colour) {
    if ((colour & 0xFF000000) == kSystemColour) return GetSysColor(static_cast<int>(colour & 0xFF));
    return colour & 0xFFFFFF;
}

}  // namespace

TSkinData::TSkinData(forms::TComponent* owner) : forms::TComponent(owner), Skin3rd(DefaultSkin3rd()) {
    LoadMenuGlyphs(GetModuleHandleA(nullptr));
}

TSkinData::~TSkinData() {
    if (SkinCoordinator* coordinator = CurrentSkinCoordinator()) coordinator->RemoveSkinData(*this);
}

void TSkinData::SetActive(bool value) {
    if (value == active_) return;
    active_ = value;
    if (Designing() || IsLoading()) return;
    switch (SkinFormtype) {
        case sfOnlyThisForm: {
            SkinCoordinator& coordinator = EnsureSkinCoordinator();
            coordinator.SetPendingData(this);
            if (value && NoSkin()) return;
            coordinator.Request(value ? kRequestSkinAll : kRequestUnskinAll, kRequestInterval);
            return;
        }
        case sfDialog:
            return;
        case sfMainform: {
            if (value && NoSkin()) return;
            SkinCoordinator& coordinator = EnsureSkinCoordinator();
            coordinator.SetPendingData(this);
            coordinator.Request(value ? kRequestSkinAll : kRequestUnskinAll, kRequestInterval);
            if (value) coordinator.SetActivationState(1);
            return;
        }
    }
}

void TSkinData::Loaded() {
    forms::TComponent::Loaded();
    if (Designing()) return;
    SkinCoordinator& coordinator = EnsureSkinCoordinator();
    coordinator.AddSkinData(*this);
    if (SkinFormtype != sfMainform) {
        coordinator.SetActiveFlag(true);
        coordinator.SetActivationState(coordinator.ActivationState() + 1);
        if (dynamic_cast<forms::TForm*>(Owner()) != nullptr) coordinator.SkinOwnerForm(*this);
        return;
    }
    coordinator.InstallHook();
    if (active_) {
        if (NoSkin()) {
            active_ = false;
        } else {
            coordinator.SetPendingData(this);
            coordinator.Request(kRequestSkinAll, kRequestInterval);
        }
    }
    if (SkinControls & (1u << xcMainMenu)) SkinControls &= ~(1u << xcMenuItem);
    else SkinControls &= ~(1u << xcSystemMenu);
}

void TSkinData::RefreshForms() {
    // Without a coordinator in the program no window carries a skin to refresh.
    if (Designing() || IsLoading() || !SkinCoordinatorAvailable()) return;
    if (CurrentSkinCoordinator() == nullptr) Loaded();
    SkinCoordinator& coordinator = EnsureSkinCoordinator();
    coordinator.SetPendingData(this);
    coordinator.ReloadFormSkins(*this);
    if (coordinator.ActivationState() == 1) coordinator.Request(kRequestRefresh, kRequestInterval);
}

void TSkinData::AddChildForm(forms::TComponent* parentForm, forms::TComponent* newForm) {
    auto* child = dynamic_cast<forms::TForm*>(newForm);
    auto* parent = dynamic_cast<forms::TForm*>(parentForm);
    SkinCoordinator* coordinator = CurrentSkinCoordinator();
    if (child == nullptr || parent == nullptr || coordinator == nullptr) return;
    coordinator->AddChildForm(*parent, *child);
}

void TSkinData::LoadMenuGlyphs(HINSTANCE module) {
    menuGlyphs_.FreeImage();
    if (!FindResourceA(module, "SKINMENUGLYPHS", MAKEINTRESOURCEA(2))) return;  // RT_BITMAP
    menuGlyphs_.LoadFromResourceName(module, "SKINMENUGLYPHS");
    menuGlyphs_.TransparentColor = forms::clWhite;
}

std::string TSkinData::SkinStore() { return Designing() && skinStream_.Size() > 0 ? "(Good)" : "(none)"; }

void TSkinData::SetSkinFile(const std::string& value) {
    loaded_.noSkin = true;
    skinFile_ = value;
    if (Designing()) {
        if (!value.empty() && skinStream_.Size() > 0) skinStream_.Clear();
        return;
    }
    std::error_code error;
    if (value.empty() || !std::filesystem::is_regular_file(value, error)) return;
    forms::TMemoryStream file;
    file.LoadFromFile(value);
    skinStream_.Clear();
    skinStream_.LoadFromStream(file);
    LoadSkin();
    if (SkinFormtype == sfMainform) RefreshForms();
}

void TSkinData::ReadSkinStream(forms::TStream& stream) {
    std::int32_t count = 0;
    stream.ReadBuffer(&count, 4);
    if (count <= 0) return;
    skinStream_.Clear();
    skinStream_.SetSize(count);
    skinStream_.SetPosition(0);
    stream.ReadBuffer(skinStream_.Memory(), count);
    if (!Designing()) LoadSkin();
}

void TSkinData::WriteSkinStream(forms::TStream& stream) {
    const std::int32_t count = static_cast<std::int32_t>(skinStream_.Size());
    stream.WriteBuffer(&count, 4);
    if (count > 0) stream.WriteBuffer(skinStream_.Memory(), count);
}

void TSkinData::LoadFromSkinStore(TSkinStore& store, int index) {
    if (index < 0 || index >= store.Store().Count()) return;  // a negative index would read before the first
    loaded_.noSkin = true;
    forms::TMemoryStream& data = store.Store().Items(index).DataStream();
    skinStream_.Clear();
    skinStream_.WriteBuffer(data.Memory(), data.Size());
    LoadSkin();
    if (SkinFormtype == sfMainform) RefreshForms();
}

bool TSkinData::LoadSkin() {
    loaded_.noSkin = true;
    if (Designing()) return false;
    skinStream_.SetPosition(0);
    // The old-version box goes through the form library's replaceable call, never blocking tests.
    const bool ok = loaded_.Load(skinStream_, [](const std::string& text) { forms::ShowMessage(text); },
                                 GetSystemMetrics(SM_CXHSCROLL));
    if (ok) {
        faceBrush_.reset(CreateSolidBrush(ResolveColour(loaded_.elements.colours.ButtonFace)));
        // The old elements are gone: no form skin may go on reading them.
        if (SkinCoordinator* coordinator = CurrentSkinCoordinator()) coordinator->ReloadFormSkins(*this);
    }
    return ok;
}

void TSkinData::DoFormSkin(const std::string& className, bool& doSkin) {
    if (OnFormSkin) {
        OnFormSkin(*this, className, doSkin);
        return;
    }
    if (className == "SysMonthCal32") doSkin = false;
    else if (className.starts_with("Tfr") && (SkinControls & (1u << xcFastReport))) doSkin = false;
}

void TSkinData::DoSkinChanged() {
    if (OnSkinChanged) OnSkinChanged(*this);
}

}  // namespace skin
