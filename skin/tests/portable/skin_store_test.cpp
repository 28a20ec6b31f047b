#include "skin/portable/skin_store.h"

#include <gtest/gtest.h>

namespace skin {
namespace {

TEST(SkinStore, ItemsAreNamedByIdAndNamesStayUniqueInExactCase) {
    TSkinStore store(nullptr);
    TSkinCollection& items = store.Store();
    TSkinCollectionItem& a = items.Add();
    TSkinCollectionItem& b = items.Add();
    EXPECT_EQ(a.Name(), "SkinItem0");
    EXPECT_EQ(b.Name(), "SkinItem1");
    EXPECT_EQ(a.SkinData(), "Load Skin");

    a.SetName("SkinItem0");  // its own name: nothing happens
    b.SetName("SKINITEM0");  // another letter case is another name
    EXPECT_EQ(b.Name(), "SKINITEM0");
    try {
        b.SetName("SkinItem0");
        FAIL() << "a duplicate name was accepted";
    } catch (const forms::Exception& e) {
        EXPECT_EQ(e.Message, "The name SkinItem0 is already used.");
    }
    EXPECT_EQ(b.Name(), "SKINITEM0");
}

TEST(SkinStore, CopiesKeepTheSourceNameDataAndPosition) {
    TSkinCollection source;
    TSkinCollectionItem& s = source.Add();
    const char bytes[] = "stream";
    s.ReadDataStream(bytes, 6);
    s.DataStream().SetPosition(4);
    TSkinCollectionItem& empty = source.Add();
    empty.ReadDataStream(nullptr, 0);
    EXPECT_EQ(empty.DataSize(), 0);

    TSkinCollectionItem& twin = source.Add();
    twin.Assign(s);  // no check: two items may then share a name
    EXPECT_EQ(twin.Name(), "SkinItem0");
    EXPECT_EQ(twin.DataSize(), 6);
    EXPECT_EQ(s.DataStream().Position(), 4);

    TSkinStore store(nullptr);
    store.SetStore(nullptr);
    EXPECT_EQ(store.Store().Count(), 0);
    store.SetStore(&source);
    ASSERT_EQ(store.Store().Count(), 3);
    EXPECT_EQ(store.Store().Items(0).DataSize(), 6);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(store.Store().Items(0).DataStream().Memory()), 6), "stream");
}

}  // namespace
}  // namespace skin
