#include "forms/portable/component.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace forms {
namespace {

// A component that logs its destruction, Loaded calls and notifications into a shared log.
class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::string name, std::vector<std::string>& log) : TComponent(owner), log_(log) {
        SetName(name);
    }
    ~Probe() override { log_.push_back("~" + Name()); }

    int value = 0;
    int valueSeenByLoaded = -1;
    int loadedCount = 0;
    TComponent* watched = nullptr;

    void Watch(TComponent* other) {
        watched = other;
        other->FreeNotification(this);
    }

protected:
    void Loaded() override {
        ++loadedCount;
        valueSeenByLoaded = value;
        log_.push_back("loaded " + Name());
    }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opRemove && c == watched) {
            watched = nullptr;
            log_.push_back(Name() + " saw removal");
        }
    }

private:
    std::vector<std::string>& log_;
};

TEST(Component, OwnerKeepsCreationOrderAndFreesWhatItOwns) {
    std::vector<std::string> log;
    auto* root = new Probe(nullptr, "root", log);
    auto* a = new Probe(root, "a", log);
    auto* b = new Probe(root, "b", log);
    new Probe(a, "a1", log);
    ASSERT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(root->Components(0), a);
    EXPECT_EQ(root->Components(1), b);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(root->FindComponent("B"), b);
    delete root;
    EXPECT_EQ(log, (std::vector<std::string>{"~root", "~b", "~a", "~a1"}));
}

TEST(Component, DeletingAnOwnedComponentTakesItOutOfItsOwner) {
    std::vector<std::string> log;
    Probe root(nullptr, "root", log);
    auto* a = new Probe(&root, "a", log);
    auto* b = new Probe(&root, "b", log);
    delete a;
    ASSERT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.Components(0), b);
    EXPECT_EQ(b->Owner(), &root);
}

TEST(Component, FreeNotificationTellsTheWatcherEitherWay) {
    std::vector<std::string> log;
    {
        Probe watcher(nullptr, "watcher", log);
        auto* target = new Probe(nullptr, "target", log);
        watcher.Watch(target);
        delete target;
        EXPECT_EQ(watcher.watched, nullptr);
    }
    log.clear();
    // The watcher going first must leave no dangling link in the target.
    auto* target = new Probe(nullptr, "target", log);
    {
        Probe watcher(nullptr, "watcher", log);
        watcher.Watch(target);
    }
    delete target;
    EXPECT_EQ(log, (std::vector<std::string>{"~watcher", "~target"}));
}

TEST(Component, SiblingsHearAboutARemovedComponent) {
    std::vector<std::string> log;
    Probe root(nullptr, "root", log);
    auto* watcher = new Probe(&root, "watcher", log);
    auto* target = new Probe(&root, "target", log);
    watcher->watched = target;  // no FreeNotification: the shared owner tells its components
    delete target;
    EXPECT_EQ(watcher->watched, nullptr);
}

// Deletes a sibling the first time it hears of an insertion, as a handler freeing
// components of its own does.
class SiblingFreer : public TComponent {
public:
    SiblingFreer(TComponent* owner, std::vector<std::string>& log) : TComponent(owner), log_(log) {}
    TComponent* victim = nullptr;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opInsert && victim != nullptr) delete std::exchange(victim, nullptr);
        log_.push_back("freer heard");
    }

private:
    std::vector<std::string>& log_;
};

class Listener : public TComponent {
public:
    Listener(TComponent* owner, std::string name, std::vector<std::string>& log) : TComponent(owner), log_(log) {
        SetName(name);
    }

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opInsert) log_.push_back(Name());
    }

private:
    std::vector<std::string>& log_;
};

TEST(Component, EveryComponentStillOwnedHearsOfAnInsertionOnceInOrder) {
    // Lists small and large (the larger are copied apart); a handler frees a later sibling,
    // which then hears nothing (and is never touched after it is gone).
    for (int count : {3, 8, 9, 40}) {
        std::vector<std::string> log;
        TComponent root(nullptr);
        auto* freer = new SiblingFreer(&root, log);
        std::vector<std::string> expected = {"freer heard"};
        for (int i = 0; i < count; ++i) {
            auto* listener = new Listener(&root, "l" + std::to_string(i), log);
            if (i == count / 2) freer->victim = listener;
            else expected.push_back(listener->Name());
        }
        log.clear();
        TComponent stranger(nullptr);
        root.InsertComponent(&stranger);
        EXPECT_EQ(log, expected) << count;
        EXPECT_EQ(root.ComponentCount(), count + 1) << count;
        root.RemoveComponent(&stranger);
    }
}

TEST(Component, LoadedRunsOnceInCreationOrderAfterAllProperties) {
    std::vector<std::string> log;
    Probe root(nullptr, "root", log);
    Probe* a = nullptr;
    Probe* a1 = nullptr;
    Probe* b = nullptr;
    {
        TLoadingScope loading(root);
        a = new Probe(&root, "a", log);
        a1 = new Probe(a, "a1", log);
        b = new Probe(&root, "b", log);
        EXPECT_TRUE(a1->IsLoading());
        a->value = 1;
        b->value = 2;
        a1->value = 3;  // set after b was created: still seen by a1's Loaded
    }
    EXPECT_EQ(log, (std::vector<std::string>{"loaded root", "loaded a", "loaded a1", "loaded b"}));
    for (Probe* p : {a, a1, b}) {
        EXPECT_EQ(p->loadedCount, 1) << p->Name();
        EXPECT_FALSE(p->IsLoading());
    }
    EXPECT_EQ(a->valueSeenByLoaded, 1);
    EXPECT_EQ(a1->valueSeenByLoaded, 3);
    EXPECT_EQ(b->valueSeenByLoaded, 2);
    root.EndLoading();  // nothing left loading: no second call
    EXPECT_EQ(a->loadedCount, 1);
}

TEST(Component, MovingToAnotherOwner) {
    std::vector<std::string> log;
    Probe first(nullptr, "first", log);
    Probe second(nullptr, "second", log);
    auto* c = new Probe(&first, "c", log);
    second.InsertComponent(c);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(c->Owner(), &second);
}

}  // namespace
}  // namespace forms
