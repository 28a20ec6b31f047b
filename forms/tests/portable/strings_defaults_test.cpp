// The defaults TStrings gives a list that supplies only the storage primitives, as the
// window-backed lists of combo and list boxes do.
#include "forms/portable/string_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace forms {
namespace {

class BareList : public TStrings {
public:
    std::string Get(int index) const override { return items.at(static_cast<size_t>(index)); }
    int GetCount() const override { return static_cast<int>(items.size()); }
    void Insert(int index, const std::string& s) override { items.insert(items.begin() + index, s); }
    void Delete(int index) override { items.erase(items.begin() + index); }

    std::vector<std::string> items;
    std::vector<bool> updates;

protected:
    void SetUpdateState(bool updating) override { updates.push_back(updating); }
};

TEST(StringsDefaults, EditsBuiltOnThePrimitives) {
    BareList list;
    list.SetText("a\r\nb\r\nc\r\n");
    EXPECT_EQ(list.items, (std::vector<std::string>{"a", "b", "c"}));

    list.Put(1, "B");
    list.Exchange(0, 2);
    EXPECT_EQ(list.items, (std::vector<std::string>{"c", "B", "a"}));
    list.Move(0, 2);
    EXPECT_EQ(list.items, (std::vector<std::string>{"B", "a", "c"}));
    list.Move(2, 0);
    EXPECT_EQ(list.items, (std::vector<std::string>{"c", "B", "a"}));
    list.Move(1, 2);
    EXPECT_EQ(list.items, (std::vector<std::string>{"c", "a", "B"}));
    list.Move(2, 1);
    EXPECT_EQ(list.items, (std::vector<std::string>{"c", "B", "a"}));
    list.Exchange(0, 2);
    list.Exchange(1, 0);
    EXPECT_EQ(list.items, (std::vector<std::string>{"B", "a", "c"}));
    EXPECT_EQ(list.IndexOf("b"), 0);
    EXPECT_EQ(list.Objects(0), nullptr);

    TStringList source;
    source.Add("x");
    list.Assign(source);
    EXPECT_EQ(list.items, (std::vector<std::string>{"x"}));
    list.Clear();
    EXPECT_TRUE(list.items.empty());
}

TEST(StringsDefaults, UpdateStateOnlyAtTheOuterBlock) {
    BareList list;
    list.BeginUpdate();
    list.SetText("a\r\nb");  // nests its own block
    list.EndUpdate();
    list.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(list.updates, (std::vector<bool>{true, false}));
    EXPECT_EQ(list.UpdateCount(), 0);
}

}  // namespace
}  // namespace forms
