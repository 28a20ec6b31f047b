#include "forms/portable/string_list.h"

#include "forms/portable/exceptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace forms {
namespace {

std::vector<std::string> Entries(const TStrings& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}

using Lines = std::vector<std::string>;

TEST(StringList, SortedAddKeepsOrderAndFindReportsThePlace) {
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"pear", "Apple", "banana", "cherry", "apricot"}) list.Add(s);
    EXPECT_EQ(Entries(list), (Lines{"Apple", "apricot", "banana", "cherry", "pear"}));

    const struct { const char* probe; bool found; int index; } cases[] = {
        {"APPLE", true, 0}, {"banana", true, 2}, {"PEAR", true, 4},
        {"a", false, 0}, {"blueberry", false, 3}, {"zebra", false, 5}, {"", false, 0},
    };
    for (const auto& c : cases) {
        int index = -1;
        EXPECT_EQ(list.Find(c.probe, index), c.found) << c.probe;
        EXPECT_EQ(index, c.index) << c.probe;
        EXPECT_EQ(list.IndexOf(c.probe), c.found ? c.index : -1) << c.probe;
    }
}

TEST(StringList, DuplicatesOnASortedList) {
    const struct { TDuplicates mode; Lines after; bool throws; } cases[] = {
        {dupIgnore, {"a", "B", "c"}, false},
        {dupAccept, {"a", "b", "B", "c"}, false},
        {dupError, {"a", "B", "c"}, true},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetSorted(true);
        list.SetDuplicates(c.mode);
        list.Add("c");
        list.Add("B");
        list.Add("a");
        if (c.throws) {
            EXPECT_THROW(list.Add("b"), EListError);
        } else {
            const int index = list.Add("b");
            EXPECT_EQ(list[index], c.mode == dupIgnore ? "B" : "b");
        }
        EXPECT_EQ(Entries(list), c.after) << c.mode;
    }
}

TEST(StringList, CaseSensitivityGovernsMatchingAndOrder) {
    TStringList list;
    list.Add("Beta");
    list.Add("alpha");
    list.Add("ALPHA");
    EXPECT_EQ(list.IndexOf("alpha"), 1);
    EXPECT_EQ(list.IndexOf("BETA"), 0);

    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("ALPHA"), 2);
    EXPECT_EQ(list.IndexOf("beta"), -1);

    // Switching on Sorted sorts; other-case forms stay next to each other, lower case first.
    list.Add("alphA");
    list.SetSorted(true);
    EXPECT_EQ(Entries(list), (Lines{"alpha", "alphA", "ALPHA", "Beta"}));
    int index = -1;
    EXPECT_TRUE(list.Find("ALPHA", index));
    EXPECT_EQ(index, 2);

    // Back to case-insensitive on a sorted list keeps it searchable.
    list.SetCaseSensitive(false);
    EXPECT_EQ(list.IndexOf("beta"), 3);
}

TEST(StringList, PunctuationAndHighBytesOrderAsUnsignedBytes) {
    // '_' sorts before letters once letters are folded to lower case; 0xE9 after 'z'.
    const struct { const char* a; const char* b; int sign; } cases[] = {
        {"a_b", "aa", -1}, {"Zed", "zed", 0}, {"z", "\xE9", -1}, {"abc", "ab", 1}, {"", "a", -1}, {"A1", "a2", -1},
    };
    for (const auto& c : cases) {
        const int r = CompareTextAscii(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
        const int back = CompareTextAscii(c.b, c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " vs " << c.a;
    }
}

TEST(StringList, SortedListRefusesPlacedEdits) {
    TStringList list;
    list.SetSorted(true);
    list.Add("m");
    EXPECT_THROW(list.Insert(0, "a"), EListError);
    EXPECT_THROW(list.Put(0, "a"), EListError);
    list.Add("z");
    EXPECT_THROW(list.Move(0, 1), EListError);
    EXPECT_EQ(Entries(list), (Lines{"m", "z"}));
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(StringList, IndexOutOfBoundsRaisesListError) {
    TStringList list;
    list.Add("only");
    EXPECT_THROW(list.Get(1), EListError);
    EXPECT_THROW(list.Get(-1), EListError);
    EXPECT_THROW(list.Delete(1), EListError);
    EXPECT_THROW(list.Insert(3, "x"), EListError);
    EXPECT_NO_THROW(list.Insert(1, "end"));
    try {
        list.Get(7);
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (7)");
    }
}

TEST(StringList, ObjectsTravelWithTheirStrings) {
    auto* one = reinterpret_cast<TObject*>(0x10);
    auto* two = reinterpret_cast<TObject*>(0x20);
    TStringList list;
    list.AddObject("two", two);
    list.AddObject("one", one);
    list.SetSorted(true);
    EXPECT_EQ(list.Objects(0), one);
    EXPECT_EQ(list.Objects(1), two);
    EXPECT_EQ(list.IndexOfObject(two), 1);

    list.SetSorted(false);
    list.Move(0, 1);
    EXPECT_EQ(Entries(list), (Lines{"two", "one"}));
    EXPECT_EQ(list.Objects(1), one);
    list.Exchange(0, 1);
    EXPECT_EQ(list.Objects(0), one);
    EXPECT_EQ(list[0], "one");

    TStringList copy;
    copy.Add("stale");
    copy.Assign(list);
    EXPECT_TRUE(copy.Equals(list));
    EXPECT_EQ(copy.Objects(1), two);
}

TEST(StringList, CustomSortSeesTheListAsItStood) {
    TStringList list;
    for (const char* s : {"ccc", "a", "bb", "dddd"}) list.Add(s);
    list.CustomSort([](TStringList& l, int i, int j) {
        return static_cast<int>(l[j].size()) - static_cast<int>(l[i].size());
    });
    EXPECT_EQ(Entries(list), (Lines{"dddd", "ccc", "bb", "a"}));
}

TEST(StringList, ChangeEventsFireOncePerChangeOrOncePerUpdate) {
    TStringList list;
    std::string log;
    list.OnChanging = [&](TObject* sender) { EXPECT_EQ(sender, &list); log += '<'; };
    list.OnChange = [&](TObject* sender) { EXPECT_EQ(sender, &list); log += '>'; };
    list.Add("a");
    list.Delete(0);
    EXPECT_EQ(log, "<><>");

    log.clear();
    list.BeginUpdate();
    list.Add("x");
    list.BeginUpdate();
    list.Add("y");
    list.EndUpdate();
    EXPECT_EQ(log, "<");
    list.EndUpdate();
    EXPECT_EQ(log, "<>");

    log.clear();
    list.SetText("p\r\nq\r\n");
    EXPECT_EQ(log, "<>");
}

TEST(StringList, TextSplitsOnEveryLineBreakKind) {
    const struct { const char* text; Lines lines; } cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"one\r\ntwo\r\n", {"one", "two"}},
        {"one\ntwo\rthree", {"one", "two", "three"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"a\n\rb", {"a", "", "b"}},  // LF then CR is two breaks
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetText(c.text);
        EXPECT_EQ(Entries(list), c.lines) << c.text;
    }
}

TEST(StringList, TextEndsEveryLineWithCrLfAndRoundTrips) {
    TStringList list;
    for (const char* s : {"first", "", "last"}) list.Add(s);
    EXPECT_EQ(list.Text(), "first\r\n\r\nlast\r\n");
    TStringList back;
    back.SetText(list.Text());
    EXPECT_EQ(Entries(back), Entries(list));
}

TEST(StringList, NamesAndValues) {
    TStringList list;
    list.SetText("Width=10\r\nCaption=a=b\r\nplain\r\nEmpty=\r\n");
    EXPECT_EQ(list.Values("width"), "10");
    EXPECT_EQ(list.Values("Caption"), "a=b");
    EXPECT_EQ(list.Values("plain"), "");
    EXPECT_EQ(list.IndexOfName("EMPTY"), 3);
    EXPECT_EQ(list.IndexOfName("plain"), -1);
    EXPECT_EQ(list.Names(1), "Caption");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.ValueFromIndex(1), "a=b");

    list.SetValue("WIDTH", "12");
    EXPECT_EQ(list[0], "WIDTH=12");
    list.SetValue("Height", "5");
    EXPECT_EQ(list[list.Count() - 1], "Height=5");
    list.SetValue("Caption", "");
    EXPECT_EQ(list.IndexOfName("Caption"), -1);
}

TEST(StringList, CommaText) {
    const struct { Lines lines; const char* text; } written[] = {
        {{"a", "b"}, "a,b"},
        {{"two words", "x"}, "\"two words\",x"},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{"", "a,b"}, "\"\",\"a,b\""},
    };
    for (const auto& c : written) {
        TStringList list;
        for (const auto& s : c.lines) list.Add(s);
        EXPECT_EQ(list.CommaText(), c.text);
        TStringList back;
        back.SetCommaText(list.CommaText());
        EXPECT_EQ(Entries(back), c.lines) << c.text;
    }
    const struct { const char* text; Lines lines; } read[] = {
        {"a b", {"a", "b"}},  // an unquoted blank separates too
        {"  a , b  ", {"a", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a"}},
        {"\"unterminated", {"unterminated"}},
        {"", {}},
    };
    for (const auto& c : read) {
        TStringList list;
        list.SetCommaText(c.text);
        EXPECT_EQ(Entries(list), c.lines) << c.text;
    }
}

}  // namespace
}  // namespace forms
