#include "forms/portable/component.h"

#include <algorithm>
#include <array>
#include <span>

#include "forms/portable/properties.h"
#include "forms/portable/text_case.h"

namespace forms {

namespace {


void Erase(std::vector<TComponent*>& list, TComponent* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

const TClassInfo& TComponent::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TComponent>("TComponent", &TObject::StaticClass())
                                       .Str("Name", &TComponent::Name, &TComponent::SetName)
                                       .Int("Tag", &TComponent::Tag, &TComponent::SetTag)
                                       .Done();
    return info;
}

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Tell everyone watching this component; each removes its own link.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        Erase(other->freeNotifies_, this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (owner_ != nullptr) owner_->RemoveComponent(this);
}

int TComponent::ComponentIndex() const {
    if (owner_ == nullptr) return -1;
    auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_) {
        if (SameTextAscii(c->name_, name)) return c;
    }
    return nullptr;
}

void TComponent::SetName(const std::string& name) { name_ = name; }

void TComponent::Insert(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
    Erase(components_, component);
    component->owner_ = nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (component == nullptr || component->owner_ == this) return;
    if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
    Insert(component);
    if (IsLoading()) component->SetComponentState(csLoading);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (component == nullptr || component->owner_ != this) return;
    Notification(component, opRemove);
    Remove(component);
}

void TComponent::DestroyComponents() {
    // Last created goes first; each destructor takes itself out of the list.
    while (!components_.empty()) {
        TComponent* last = components_.back();
        Remove(last);
        delete last;
    }
}

void TComponent::Destroying() {
    if (IsDestroying()) return;
    state_ |= csDestroying;
    for (TComponent* c : components_) c->Destroying();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component != nullptr) Erase(freeNotifies_, component);
    if (components_.empty()) return;
    // Copy: a handler may free components of its own. Every owned component's own
    // notification runs too, so the small lists of most controls are copied on the stack.
    constexpr std::size_t kOnStack = 8;
    std::array<TComponent*, kOnStack> small;
    std::vector<TComponent*> large;
    std::span<TComponent* const> owned;
    if (components_.size() <= kOnStack) {
        std::copy(components_.begin(), components_.end(), small.begin());
        owned = std::span<TComponent* const>(small.data(), components_.size());
    } else {
        large = components_;
        owned = large;
    }
    for (std::size_t i = 0; i < owned.size(); ++i) {
        TComponent* c = owned[i];
        // Still where it stood while no handler changed the list (no search: a view owns
        // thousands of cells); else it is looked for.
        const bool stillOwned = (i < components_.size() && components_[i] == c) ||
                                std::find(components_.begin(), components_.end(), c) != components_.end();
        if (stillOwned) c->Notification(component, operation);
    }
}

void TComponent::FreeNotification(TComponent* component) {
    if (component == nullptr || component == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
        freeNotifies_.push_back(component);
    }
    if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
        component->freeNotifies_.end()) {
        component->freeNotifies_.push_back(this);
    }
    state_ |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (component == nullptr) return;
    Erase(freeNotifies_, component);
    Erase(component->freeNotifies_, this);
}

void TComponent::BeginLoading() {
    state_ |= csLoading;
    for (TComponent* c : components_) c->BeginLoading();
}

void TComponent::CollectLoading(std::vector<TComponent*>& out) {
    if (IsLoading()) out.push_back(this);
    for (TComponent* c : components_) c->CollectLoading(out);
}

void TComponent::EndLoading() {
    std::vector<TComponent*> loading;
    CollectLoading(loading);
    for (TComponent* c : loading) c->state_ &= ~csLoading;
    // A Loaded may free a later component: call only those still in this tree.
    auto stillInTree = [this](const TComponent* wanted) {
        std::vector<const TComponent*> stack{this};
        while (!stack.empty()) {
            const TComponent* c = stack.back();
            stack.pop_back();
            if (c == wanted) return true;
            for (const TComponent* k : c->components_) stack.push_back(k);
        }
        return false;
    };
    for (TComponent* c : loading) {
        if (c == this || stillInTree(c)) c->Loaded();
    }
}

TLoadingScope::TLoadingScope(TComponent& root) : root_(root), uncaught_(std::uncaught_exceptions()) {
    root_.BeginLoading();
}

TLoadingScope::~TLoadingScope() noexcept(false) {
    if (std::uncaught_exceptions() > uncaught_) {
        try {
            root_.EndLoading();
        } catch (...) {
        }
        return;
    }
    root_.EndLoading();
}

}  // namespace forms
