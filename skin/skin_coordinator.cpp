#include "skin/skin_coordinator.h"

#include "forms/portable/exceptions.h"

namespace skin {

namespace {

SkinCoordinatorFactory& Factory() {
    static SkinCoordinatorFactory factory = nullptr;
    return factory;
}

// Freed at program end, after every form: the coordinator's destructor unhooks and frees the
// popup skins it still owns.
std::unique_ptr<SkinCoordinator>& Instance() {
    static std::unique_ptr<SkinCoordinator> instance;
    return instance;
}

}  // namespace

void SetSkinCoordinatorFactory(SkinCoordinatorFactory factory) { Factory() = factory; }

bool SkinCoordinatorAvailable() { return Instance() != nullptr || Factory() != nullptr; }

SkinCoordinator* CurrentSkinCoordinator() { return Instance().get(); }

SkinCoordinator& EnsureSkinCoordinator() {
    if (!Instance()) {
        if (Factory() == nullptr) throw forms::Exception("No skin coordinator is linked into this program");
        Instance() = Factory()();
    }
    return *Instance();
}

void FreeSkinCoordinator() {
    std::unique_ptr<SkinCoordinator> gone = std::move(Instance());
}

}  // namespace skin
