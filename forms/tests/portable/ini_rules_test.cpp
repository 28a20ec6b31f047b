#include "forms/portable/ini_rules.h"

#include <gtest/gtest.h>

#include <cstring>

namespace forms {
namespace {

TEST(IniRules, IntegersReadDecimalOrHexWithTheDefaultOtherwise) {
    constexpr int kDefault = -77;
    const struct { const char* text; int value; } cases[] = {
        {"12", 12},
        {"-12", -12},
        {"+5", 5},
        {"0x1A", 26},
        {"0X1a", 26},
        {"$ff", 255},
        {"0xFFFFFFFF", -1},          // hexadecimal spells the 32 bits
        {"0x7FFFFFFF", 2147483647},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {" 7", 7},                   // leading blanks are skipped
        {"007", 7},
        {"0", 0},
        {"", kDefault},
        {"abc", kDefault},
        {"12abc", kDefault},
        {"7 ", kDefault},            // trailing text is no integer
        {"1.5", kDefault},
        {"0x", kDefault},
        {"0x1G", kDefault},
        {"-", kDefault},
        {"2147483648", kDefault},    // out of range
        {"-2147483649", kDefault},
        {"0x100000000", kDefault},
        {"99999999999999999999", kDefault},
    };
    for (const auto& c : cases) EXPECT_EQ(IniReadInteger(c.text, kDefault), c.value) << '"' << c.text << '"';
}

TEST(IniRules, BooleansAreNonZeroIntegers) {
    const struct { const char* text; bool whenDefaultFalse; bool whenDefaultTrue; } cases[] = {
        {"0", false, false}, {"1", true, true}, {"2", true, true}, {"-1", true, true},
        {"0x0", false, false}, {"x", false, true}, {"", false, true}, {"true", false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IniReadBool(c.text, false), c.whenDefaultFalse) << '"' << c.text << '"';
        EXPECT_EQ(IniReadBool(c.text, true), c.whenDefaultTrue) << '"' << c.text << '"';
    }
}

TEST(IniRules, WrittenFormsReadBack) {
    EXPECT_EQ(IniFormatBool(true), "1");
    EXPECT_EQ(IniFormatBool(false), "0");
    for (int v : {0, 1, -1, 26, 2147483647, -2147483647 - 1}) {
        EXPECT_EQ(IniReadInteger(IniFormatInteger(v), 12345), v);
    }
    EXPECT_EQ(IniFormatInteger(-16777201), "-16777201");  // decimal, never hexadecimal
    for (double v : {0.0, 1.5, -2.25, 0.1, 1e300}) EXPECT_EQ(IniReadFloat(IniFormatFloat(v), 9.0), v);
}

TEST(IniRules, FloatsFallBackToTheDefault) {
    const struct { const char* text; double value; } cases[] = {
        {"2.5", 2.5}, {"-3", -3.0}, {" 4", 4.0}, {"+1.25", 1.25}, {"", 9.0}, {"1,5", 9.0}, {"x", 9.0}, {"1.5x", 9.0},
    };
    for (const auto& c : cases) EXPECT_EQ(IniReadFloat(c.text, 9.0), c.value) << '"' << c.text << '"';
}

TEST(IniRules, ValuesAreCutTo2047Characters) {
    EXPECT_EQ(IniCapValue(std::string(3000, 'v')).size(), kIniMaxValueLength);
    EXPECT_EQ(IniCapValue(std::string(2047, 'v')).size(), 2047u);
    EXPECT_EQ(IniCapValue("short"), "short");
}

TEST(IniRules, NulSeparatedListsSplitIntoNames) {
    using Names = std::vector<std::string>;
    const struct { std::string_view list; Names names; } cases[] = {
        {std::string_view("", 0), {}},
        {std::string_view("a\0", 2), {"a"}},
        {std::string_view("Config\0HTML\0Biography\0", 23), {"Config", "HTML", "Biography"}},
        {std::string_view("a\0\0b", 4), {"a", "b"}},
        {std::string_view("tail", 4), {"tail"}},
    };
    for (const auto& c : cases) EXPECT_EQ(IniSplitList(c.list), c.names);
}

// Answers like the profile call for a list: copies what fits, and when the list is cut short
// ends it with two NULs and answers size - 2.
struct FakeProfileList {
    std::string list;  // names each followed by NUL, without the final extra NUL
    std::vector<std::size_t> sizesAsked;

    std::size_t operator()(char* buffer, std::size_t size) {
        sizesAsked.push_back(size);
        if (list.size() + 1 <= size) {
            std::memcpy(buffer, list.data(), list.size());
            buffer[list.size()] = '\0';
            return list.size();
        }
        std::memcpy(buffer, list.data(), size - 2);
        buffer[size - 2] = buffer[size - 1] = '\0';
        return size - 2;
    }
};

TEST(IniRules, ListsGrowTheBufferUntilEverythingFits) {
    FakeProfileList fake;
    std::vector<std::string> expected;
    for (int i = 0; i < 3000; ++i) {
        expected.push_back("Section number " + std::to_string(i));
        fake.list += expected.back();
        fake.list += '\0';
    }
    ASSERT_GT(fake.list.size(), 3 * kIniListBufferSize);
    const std::string whole = IniReadWholeList(std::ref(fake));
    EXPECT_EQ(IniSplitList(whole), expected);
    EXPECT_EQ(fake.sizesAsked.front(), kIniListBufferSize);
    EXPECT_GT(fake.sizesAsked.size(), 2u);

    FakeProfileList small{std::string("a\0b\0", 4), {}};
    EXPECT_EQ(IniSplitList(IniReadWholeList(std::ref(small))), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(small.sizesAsked.size(), 1u);

    // Exactly size - 2 characters is indistinguishable from "cut short": it asks again.
    FakeProfileList edge{std::string(14, 'x'), {}};
    EXPECT_EQ(IniReadWholeList(std::ref(edge), 16), std::string(14, 'x'));
    EXPECT_EQ(edge.sizesAsked, (std::vector<std::size_t>{16, 32}));
}

}  // namespace
}  // namespace forms
