#include "forms/portable/properties.h"

#include <gtest/gtest.h>

#include "forms/portable/component.h"

namespace forms {
namespace {

enum TLayout { blGlyphLeft, blGlyphRight, blGlyphTop };

class TBase : public TComponent {
public:
    using TComponent::TComponent;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass() {
        static const TClassInfo info = TClassInfo::Define<TBase>("TBase", &TComponent::StaticClass())
                                           .Str("Caption", &TBase::Caption, &TBase::SetCaption)
                                           .Bool("Flat", &TBase::Flat, &TBase::SetFlat)
                                           .Int("ReadOnlyCount", &TBase::ReadOnlyCount)
                                           .Done();
        return info;
    }
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& v) { caption_ = v; }
    bool Flat() const { return flat_; }
    void SetFlat(bool v) { flat_ = v; }
    int ReadOnlyCount() const { return 7; }

private:
    std::string caption_;
    bool flat_ = false;
};

class TDerived : public TBase {
public:
    using TBase::TBase;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass() {
        static const TClassInfo info =
            TClassInfo::Define<TDerived>("TDerived", &TBase::StaticClass())
                .Enum("Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop"}, &TDerived::Layout, &TDerived::SetLayout)
                .Object("Buddy", &TDerived::Buddy, &TDerived::SetBuddy)
                .Done();
        return info;
    }
    TLayout Layout() const { return layout_; }
    void SetLayout(TLayout v) { layout_ = v; }
    TBase* Buddy() const { return buddy_; }
    void SetBuddy(TBase* v) { buddy_ = v; }

private:
    TLayout layout_ = blGlyphLeft;
    TBase* buddy_ = nullptr;
};

TEST(Properties, ClassNamesAndKindTests) {
    TDerived d(nullptr);
    EXPECT_EQ(d.ClassName(), "TDerived");
    EXPECT_TRUE(d.Is<TBase>());
    EXPECT_TRUE(d.InheritsFromName("tbase"));
    EXPECT_TRUE(d.InheritsFromName("TComponent"));
    EXPECT_FALSE(d.InheritsFromName("TControl"));
}

TEST(Properties, ReadersGiveNeutralResultsForMissingObjectsPropertiesAndKinds) {
    TDerived d(nullptr);
    struct Case { const TObject* object; const char* name; };
    const Case cases[] = {{nullptr, "Caption"}, {&d, "NoSuchProperty"}};
    for (const Case& c : cases) {
        EXPECT_EQ(GetOrdProp(c.object, c.name), 0);
        EXPECT_EQ(GetEnumProp(c.object, c.name), "");
        EXPECT_EQ(GetStrProp(c.object, c.name), "");
        EXPECT_EQ(GetObjectProp(c.object, c.name), nullptr);
    }
    EXPECT_EQ(GetStrProp(&d, "Layout"), "");  // wrong kind
    EXPECT_EQ(GetEnumProp(&d, "Caption"), "");
    EXPECT_EQ(GetObjectProp(&d, "Caption"), nullptr);
}

TEST(Properties, InheritedAndOwnPropertiesByNameInAnyCase) {
    TDerived d(nullptr);
    d.SetCaption("OK");
    d.SetTag(12);
    EXPECT_EQ(GetStrProp(&d, "caption"), "OK");
    EXPECT_EQ(GetOrdProp(&d, "TAG"), 12);
    EXPECT_EQ(GetOrdProp(&d, "ReadOnlyCount"), 7);
    EXPECT_EQ(GetEnumProp(&d, "Flat"), "False");
    EXPECT_EQ(GetEnumProp(&d, "Layout"), "blGlyphLeft");
    auto all = GetPropList(&d);
    ASSERT_GE(all.size(), 6u);
    EXPECT_EQ(all.front()->Name, "Name");  // ancestors first
}

TEST(Properties, SetPropByNameTakesIdentifiersAndDecimalText) {
    TDerived d(nullptr);
    struct Case { const char* name; const char* value; bool accepted; };
    const Case cases[] = {
        {"Layout", "BLGLYPHTOP", true}, {"Flat", "true", true},   {"Tag", "-42", true},
        {"Tag", "12x", false},          {"Tag", "", false},       {"Layout", "blNowhere", false},
        {"Caption", "text", false},     {"ReadOnlyCount", "3", false}, {"Missing", "1", false},
    };
    for (const Case& c : cases) EXPECT_EQ(SetPropByName(&d, c.name, c.value), c.accepted) << c.name << "=" << c.value;
    EXPECT_EQ(d.Layout(), blGlyphTop);
    EXPECT_TRUE(d.Flat());
    EXPECT_EQ(d.Tag(), -42);
    EXPECT_EQ(d.Caption(), "");
    EXPECT_EQ(GetOrdProp(&d, "ReadOnlyCount"), 7);
}

TEST(Properties, OrdinalRangeAndObjectProperties) {
    TDerived d(nullptr);
    TBase buddy(nullptr);
    EXPECT_FALSE(SetOrdProp(&d, "Layout", 3));
    EXPECT_TRUE(SetOrdProp(&d, "Layout", 1));
    EXPECT_EQ(GetEnumProp(&d, "Layout"), "blGlyphRight");
    EXPECT_TRUE(SetObjectProp(&d, "Buddy", &buddy));
    EXPECT_EQ(GetObjectProp(&d, "Buddy"), &buddy);
    EXPECT_TRUE(SetStrProp(&d, "Caption", "x"));
    EXPECT_EQ(d.Caption(), "x");
}

}  // namespace
}  // namespace forms
