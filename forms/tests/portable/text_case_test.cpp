#include "forms/portable/text_case.h"

#include <gtest/gtest.h>

namespace forms {
namespace {

TEST(TextCase, OnlyAsciiLettersFold) {
    // Code-page letters (0xE9 e-acute, 0xC9 E-acute) are not ASCII: they stay as they are.
    EXPECT_EQ(UpperAscii("thm_Photo\xE9.jpg"), "THM_PHOTO\xE9.JPG");
    EXPECT_TRUE(SameTextAscii("Comment Files", "COMMENT files"));
    EXPECT_FALSE(SameTextAscii("\xE9", "\xC9"));
    EXPECT_FALSE(SameTextAscii("abc", "abcd"));
}

TEST(TextCase, PrefixesAndSuffixes) {
    const struct { const char* text; const char* part; bool starts; bool ends; } cases[] = {
        {"thm_a.JPG", "THM_", true, false}, {"thm_a.JPG", ".jpg", false, true},
        {"a.jpeg", ".JPEG", false, true},   {"", "", true, true},
        {"jpg", ".jpg", false, false},      {"PRV_x", "prv_x", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartsWithTextAscii(c.text, c.part), c.starts) << c.text << " / " << c.part;
        EXPECT_EQ(EndsWithTextAscii(c.text, c.part), c.ends) << c.text << " / " << c.part;
    }
}

}  // namespace
}  // namespace forms
