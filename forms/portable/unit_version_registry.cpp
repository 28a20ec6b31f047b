#include "forms/portable/unit_version_registry.h"

#include <algorithm>

namespace forms {

void TUnitVersioningModule::Add(const TUnitVersionInfo* info) {
    if (IndexOfInfo(info) < 0) items_.push_back(std::make_unique<TUnitVersion>(info));
}

int TUnitVersioningModule::IndexOfInfo(const TUnitVersionInfo* info) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->Info() == info) return static_cast<int>(i);
    return -1;
}

int TUnitVersioning::IndexOfModule(ModuleInstance instance) const {
    for (std::size_t i = 0; i < modules_.size(); ++i)
        if (modules_[i]->Instance() == instance) return static_cast<int>(i);
    return -1;
}

void TUnitVersioning::RegisterModule(ModuleInstance instance, const TUnitVersionInfo* info) {
    int index = IndexOfModule(instance);
    if (index < 0) {
        modules_.push_back(std::make_unique<TUnitVersioningModule>(instance));
        index = ModuleCount() - 1;
    }
    modules_[static_cast<std::size_t>(index)]->Add(info);
}

void TUnitVersioning::UnregisterModule(ModuleInstance instance) {
    const auto last = std::find_if(modules_.rbegin(), modules_.rend(),
                                   [&](const auto& module) { return module->Instance() == instance; });
    if (last != modules_.rend()) modules_.erase(std::next(last).base());
    for (const auto& provider : providers_) provider->ReleaseModuleResources(instance);
}

void TUnitVersioning::AddProvider(std::unique_ptr<TCustomUnitVersioningProvider> provider) {
    providers_.push_back(std::move(provider));
}

}  // namespace forms
