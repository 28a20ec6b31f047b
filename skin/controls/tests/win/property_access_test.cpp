#include "skin/controls/property_access.h"

#include <gtest/gtest.h>

#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/label.h"

namespace skin {
namespace {

// What the skins read of our controls by name: identifiers in their own spelling (compared
// lower-cased), texts widened from the code page, nothing for what a control lacks.
TEST(PropertyAccess, ReadsOurControlsByName) {
    forms::TCheckBox check(nullptr);
    check.SetAllowGrayed(true);
    check.SetState(forms::cbGrayed);
    check.SetCaption("Caf\xE9");
    EXPECT_EQ(GetEnumPropByName(&check, "State"), "cbGrayed");
    EXPECT_EQ(EnumLower(&check, "state"), "cbgrayed");
    EXPECT_EQ(EnumLower(&check, "Enabled"), "true");
    EXPECT_EQ(GetWidePropByName(&check, "Caption"), L"Caf\x00E9");
    EXPECT_EQ(GetObjectPropByName<forms::TFont>(&check, "Font"), check.Font());
    EXPECT_EQ(GetOrdPropByName(&check, "Width"), check.Width());
    EXPECT_EQ(GetOrdPropByName(&check, "State"), 0) << "an enumeration is not an integer";
    EXPECT_EQ(GetEnumPropByName(&check, "Layout"), "");
    EXPECT_EQ(GetEnumPropByName(nullptr, "State"), "");
    EXPECT_EQ(GetObjectPropByName(&check, "Glyph"), nullptr);

    forms::TButton button(nullptr);
    EXPECT_EQ(EnumLower(&button, "Default"), "false");
    EXPECT_TRUE(SetPropByName(&button, "Default", "TRUE"));
    EXPECT_TRUE(button.Default());
    EXPECT_TRUE(SetPropByName(&button, "Width", "120"));
    EXPECT_EQ(button.Width(), 120);
    EXPECT_FALSE(SetPropByName(&button, "Caption", "x")) << "texts are not set from here";
    EXPECT_FALSE(SetPropByName(&button, "Flat", "True"));

    forms::TLabel label(nullptr);
    EXPECT_TRUE(SetPropByName(&label, "Alignment", "tacenter"));
    EXPECT_EQ(EnumLower(&label, "Alignment"), "tacenter");
}

}  // namespace
}  // namespace skin
