#include "forms/text_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "forms/portable/strings.h"

namespace forms {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(TextCompareLocale, OrdersAsTheLanguageDoesIgnoringCase) {
    const struct {
        std::string a, b;
        int sign;
    } cases[] = {
        {"\xE9t\xE9", "f", -1},            // an accented e sorts with e, not after z
        {"e", "\xE9", -1},                 // and after the plain letter
        {"\xC9mile", "emile", 1},          // in either case
        {"Zebra", "apple", 1},
        {"thm_A.jpg", "thm_a.JPG", 0},     // case alone is no difference
        {"", "a", -1},
        {"", "", 0},
    };
    for (const auto& c : cases) {
        const int got = Sign(CompareTextLocale(c.a, c.b));
        EXPECT_EQ(got, -Sign(CompareTextLocale(c.b, c.a))) << c.a << " / " << c.b << ": antisymmetric";
        EXPECT_EQ(got, c.sign) << c.a << " / " << c.b;
    }
    // Characters the language may ignore still tell two names apart.
    EXPECT_NE(CompareTextLocale("co-op", "coop"), 0);
    EXPECT_NE(CompareTextLocale("thm_ab.jpg", "thm_a'b.jpg"), 0);
}

TEST(TextCompareLocale, SortsAccentedNamesWhereTheAsciiCompareDoesNot) {
    std::vector<std::string> names = {"thm_zoe.jpg", "thm_\xE9l\xE9na.jpg", "thm_anna.jpg", "thm_Elise.jpg", "thm_fay.jpg"};
    std::vector<std::string> ascii = names;
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return CompareTextLocale(a, b) < 0; });
    std::sort(ascii.begin(), ascii.end(), [](const std::string& a, const std::string& b) { return CompareTextAscii(a, b) < 0; });
    EXPECT_EQ(names, (std::vector<std::string>{"thm_anna.jpg", "thm_\xE9l\xE9na.jpg", "thm_Elise.jpg", "thm_fay.jpg", "thm_zoe.jpg"}));
    EXPECT_EQ(ascii.back(), "thm_\xE9l\xE9na.jpg") << "the byte order puts it last";
}

}  // namespace
}  // namespace forms
