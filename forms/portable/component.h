// Components: an owner that frees what it owns (kept in creation order), names, tags, the
// loading state that stands in for reading form data, and remove notifications.
#pragma once
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "forms/portable/object.h"

namespace forms {

enum TOperation { opInsert, opRemove };

// ComponentState flags.
enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
    csFreeNotification = 1u << 5,
};
using TComponentState = unsigned;

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
    const std::vector<TComponent*>& ComponentList() const { return components_; }
    int ComponentIndex() const;
    // Owned component by name (any letter case), nullptr when none.
    TComponent* FindComponent(const std::string& name) const;

    // Moves this component to another owner (nullptr: unowned).
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& name);
    std::intptr_t Tag() const { return tag_; }
    void SetTag(std::intptr_t tag) { tag_ = tag; }

    TComponentState ComponentState() const { return state_; }
    bool IsLoading() const { return (state_ & csLoading) != 0; }
    bool IsDestroying() const { return (state_ & csDestroying) != 0; }

    // Loading: BeginLoading marks this component and everything it owns (now or created
    // before EndLoading) csLoading; EndLoading clears the flag and calls Loaded once per
    // component, this one first, then owned components depth-first in creation order.
    void BeginLoading();
    void EndLoading();

    // Asks `component` to be told (Notification opRemove) when this one is destroyed, and
    // the other way round. Safe to call more than once.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Sets csDestroying on this component and everything it owns.
    void Destroying();

protected:
    // Runs once after loading, with csLoading already cleared: recompute here.
    virtual void Loaded() {}
    // opInsert when a component joins this one's owner tree, opRemove when one leaves it
    // or a component this one asked to watch is destroyed. Overrides call the base.
    virtual void Notification(TComponent* component, TOperation operation);

    void SetComponentState(TComponentState set, TComponentState clear = 0) {
        state_ = (state_ | set) & ~clear;
    }

private:
    void CollectLoading(std::vector<TComponent*>& out);
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::string name_;
    std::intptr_t tag_ = 0;
    TComponentState state_ = 0;
};

// Scope form of BeginLoading/EndLoading for a block that builds a component tree in code.
class TLoadingScope {
public:
    explicit TLoadingScope(TComponent& root);
    // While unwinding an exception, an error from Loaded is dropped rather than terminating.
    ~TLoadingScope() noexcept(false);
    TLoadingScope(const TLoadingScope&) = delete;
    TLoadingScope& operator=(const TLoadingScope&) = delete;

private:
    TComponent& root_;
    int uncaught_;
};

}  // namespace forms
