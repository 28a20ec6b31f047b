#include "editor/portable/record_model.h"

#include <gtest/gtest.h>

#include <set>

namespace editor {
namespace {

TEST(RecordSchema, ListsKeepTheStoredKeyNamesAndBindEachControlOnce) {
    const struct { RecordList list; const char* file; std::vector<const char*> keys; } cases[] = {
        {RecordList::WorkHistory, "workhistory.ini",
         {"Phone Number", "E-mail", "Web Address", "Type Of Work", "Payment Method", "Payment Type", "Where"}},
        {RecordList::Photographers, "photographers.ini",
         {"Phone Number", "E-mail", "Web Address", "Type Of Work", "Payment Method", "Payment Type", "Where"}},
        {RecordList::WebSites, "websites.ini", {"URL", "NeedPassword", "Username", "Password"}},
    };
    std::set<std::string_view> controls;
    for (const auto& c : cases) {
        const RecordSchema& schema = Schema(c.list);
        EXPECT_EQ(schema.fileName, c.file);
        ASSERT_EQ(schema.fields.size(), c.keys.size()) << c.file;
        for (size_t i = 0; i < c.keys.size(); ++i) {
            EXPECT_EQ(schema.fields[i].key, c.keys[i]) << c.file;
            EXPECT_TRUE(controls.insert(schema.fields[i].control).second) << schema.fields[i].control;
        }
    }
}

TEST(RecordSchema, MissingKeysReadAsTheirOwnDefaultAndEveryChoiceDefaultIsAnItem) {
    const struct { RecordList list; const char* key; const char* readAs; } cases[] = {
        {RecordList::WorkHistory, "Phone Number", ""},
        {RecordList::WorkHistory, "Web Address", "http://"},
        {RecordList::Photographers, "Type Of Work", "Glamour / Fashion"},
        {RecordList::Photographers, "Where", "Location And Studio"},
        {RecordList::WebSites, "Username", ""},
        {RecordList::WebSites, "Password", ""},
        {RecordList::WebSites, "NeedPassword", "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(FindField(Schema(c.list), c.key)->readDefault, c.readAs) << c.key;
    for (RecordList list : AllRecordLists())
        for (const auto& field : Schema(list).fields)
            if (field.kind == RecordFieldKind::Choice) {
                EXPECT_GE(MatchChoice(field.items, field.readDefault), 0) << field.control;
                EXPECT_GE(MatchChoice(field.items, field.newValue), 0) << field.control;
            }
}

TEST(RecordChoices, MatchIgnoringCaseOrNotAtAll) {
    const auto& where = FindField(Schema(RecordList::WorkHistory), "Where")->items;
    const struct { const char* stored; int index; } cases[] = {
        {"Location And Studio", 2}, {"studio", 0}, {"ON LOCATION", 1}, {"Studio ", -1}, {"", -1}, {"Beach", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(MatchChoice(where, c.stored), c.index) << c.stored;
}

TEST(RecordNames, NewNamesAreRefusedWhenEmptyPlaceholderUnsafeOrAlreadyListed) {
    const std::vector<std::string> existing = {"Acme Studios", "Blue Lens"};
    const struct { RecordList list; const char* name; const char* problemStart; } cases[] = {
        {RecordList::WorkHistory, "New Agency", ""},
        {RecordList::WorkHistory, "", "You must give the Work Item a name!"},
        {RecordList::Photographers, "", "You must give the Photographer a name!"},
        {RecordList::WebSites, "Enter Web Site name here...", "You must give the Web Site a name!"},
        {RecordList::WebSites, "enter web site name here...", "You must give the Web Site a name!"},
        {RecordList::WorkHistory, "Enter Web Site name here...", ""},  // only a web site's placeholder
        {RecordList::WorkHistory, "acme studios", "There is already a Work Item named \"Acme Studios\"."},
        {RecordList::WebSites, "BLUE LENS", "There is already a Web Site named \"Blue Lens\"."},
        {RecordList::Photographers, "Jo [old]", "A Photographer name cannot hold"},
        {RecordList::Photographers, "Jo]", "A Photographer name cannot hold"},
        {RecordList::WorkHistory, "two\r\nlines", "A Work Item name cannot hold"},
        {RecordList::WorkHistory, "tab\there", "A Work Item name cannot hold"},
        {RecordList::WorkHistory, "Caf\xe9 Noir; Paris = 1", ""},
    };
    for (const auto& c : cases) {
        const std::string problem = NewRecordNameProblem(Schema(c.list), c.name, existing);
        if (*c.problemStart == '\0') EXPECT_EQ(problem, "") << c.name;
        else EXPECT_EQ(problem.rfind(c.problemStart, 0), 0u) << c.name << " -> " << problem;
    }
}

TEST(RecordNames, BlanksAreTrimmedAtBothEndsOnly) {
    const struct { const char* typed; const char* kept; } cases[] = {
        {"  Acme  ", "Acme"}, {"\tA b\t", "A b"}, {"   ", ""}, {"", ""}, {"x", "x"},
    };
    for (const auto& c : cases) EXPECT_EQ(TrimBlanks(c.typed), c.kept) << c.typed;
}

TEST(CommentFileNames, SecondsIntoTheMonth) {
    const struct { unsigned day, hour, minute, second, seconds; } cases[] = {
        {1, 0, 0, 0, 0}, {1, 0, 1, 5, 65}, {2, 0, 0, 0, 86400}, {31, 23, 59, 59, 2678399},
    };
    for (const auto& c : cases) EXPECT_EQ(SecondsIntoMonth(c.day, c.hour, c.minute, c.second), c.seconds);
}

TEST(CommentFileNames, StepOnPastEveryTakenName) {
    const std::set<std::string> taken = {"100.rtf", "101.rtf", "103.rtf"};
    auto isTaken = [&](const std::string& name) { return taken.count(name) > 0; };
    EXPECT_EQ(FreeCommentFileName(100, isTaken), "102.rtf");
    EXPECT_EQ(FreeCommentFileName(99, isTaken), "99.rtf");
    EXPECT_EQ(FreeCommentFileName(103, isTaken), "104.rtf");
    // Past the last second of a month the name is still a number.
    EXPECT_EQ(FreeCommentFileName(4294967295u, [](const std::string& n) { return n == "4294967295.rtf"; }),
              "4294967296.rtf");
}

TEST(CommentFileNames, OnlyBareNamesAreAcceptedFromAStoredRecord) {
    const struct { const char* stored; bool bare; bool own; } cases[] = {
        {"12345.rtf", true, true},
        {"0.RTF", true, true},
        {"notes.rtf", true, false},
        {"12345.rtf.bak", true, false},
        {".rtf", true, false},
        {"", false, false},
        {"..", false, false},
        {".", false, false},
        {"..\\vantrell.ini", false, false},
        {"../vantrell.ini", false, false},
        {"C:\\Windows\\win.ini", false, false},
        {"C:win.ini", false, false},
        {"\\\\server\\share\\1.rtf", false, false},
        {"sub\\1.rtf", false, false},
        {"1.rtf:stream", false, false},
        {"*.rtf", false, false},
        {"1.rtf.", false, false},
        {"1.rtf ", false, false},
        {"CON", false, false},
        {"nul.rtf", false, false},
        {"com1.rtf", false, false},
        {"LPT9", false, false},
        {"console.rtf", true, false},
        {"a\nb.rtf", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsBareFileName(c.stored), c.bare) << c.stored;
        EXPECT_EQ(IsBareFileName(c.stored) && IsOwnCommentFileName(c.stored), c.own) << c.stored;
    }
    EXPECT_FALSE(IsBareFileName(std::string(256, 'a')));
}

TEST(VisitWebSite, OpensOnlyWebAddressesAndGivesABareHostAScheme) {
    using A = VisitDecision::Action;
    const struct { const char* field; A action; const char* address; } cases[] = {
        {"", A::Nothing, ""},
        {"   ", A::Nothing, ""},
        {"http://", A::Nothing, ""},
        {" HTTP:// ", A::Nothing, ""},
        {"https://", A::Nothing, ""},
        {"  http://example.com/a?b=c  ", A::Open, "http://example.com/a?b=c"},
        {"HTTPS://Example.com", A::Open, "HTTPS://Example.com"},
        {"www.example.com", A::Open, "http://www.example.com"},
        {"example.com:8080/x", A::Open, "http://example.com:8080/x"},
        {"//example.com", A::Open, "http://example.com"},
        {"file:///C:/Windows/notepad.exe", A::Refuse, ""},
        {"C:\\Windows\\notepad.exe", A::Refuse, ""},
        {"mailto:jo@example.com", A::Refuse, ""},
        {"javascript:alert(1)", A::Refuse, ""},
        {"ftp://example.com", A::Refuse, ""},
        {"\\\\server\\share", A::Refuse, ""},
        {"http://a b", A::Refuse, ""},
        {"http://example.com\r\nx", A::Refuse, ""},
        {"notepad.exe -x", A::Refuse, ""},
    };
    for (const auto& c : cases) {
        const VisitDecision d = DecideVisit(c.field);
        EXPECT_EQ(d.action, c.action) << c.field;
        EXPECT_EQ(d.address, c.address) << c.field;
        EXPECT_EQ(d.message.empty(), c.action != A::Refuse) << c.field;
    }
}

}  // namespace
}  // namespace editor
