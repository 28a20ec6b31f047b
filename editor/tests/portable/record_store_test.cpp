#include "editor/portable/record_store.h"
#include "editor/portable/site_records.h"

#include "forms/portable/exceptions.h"
#include "forms/portable/text_case.h"
#include "tests/support/memory_ini_files.h"
#include "tests/support/memory_portfolio_files.h"

#include <gtest/gtest.h>

#include <set>

namespace editor {
namespace {

using testing_files::MemoryIniFiles;
using testing_files::MemoryPortfolioFiles;

const std::string kFolder = "C:\\Portfolio\\";
const std::string kComments = kFolder + "Comment Files\\";

// Files whose writes can fail as a full disk or a locked file fails them: a write to a
// path holding `failing` stops after half the data (a full disk) or before it (a lock).
class FailingFiles : public MemoryPortfolioFiles {
public:
    std::string failing, failingRename;
    bool halfWritten = false;
    void Rename(const std::string& source, const std::string& target) override {
        if (!failingRename.empty() && target.find(failingRename) != std::string::npos)
            throw forms::EWriteError("Cannot rename to " + target);
        MemoryPortfolioFiles::Rename(source, target);
    }
    void WriteFile(const std::string& path, const std::string& data) override {
        if (!failing.empty() && path.find(failing) != std::string::npos) {
            if (halfWritten) MemoryPortfolioFiles::WriteFile(path, data.substr(0, data.size() / 2));
            throw forms::EWriteError("Cannot write file " + path);
        }
        MemoryPortfolioFiles::WriteFile(path, data);
    }
};

// An INI file that refuses any write of one key, as one that fills the disk or meets a lock
// partway through a record would.
class FailingIni : public MemoryIniFiles {
public:
    std::string failingKey;
    void Write(const std::string& file, const std::string& section, const std::string& key,
               const std::string& value) override {
        if (!failingKey.empty() && forms::SameTextAscii(key, failingKey))
            throw forms::EIniFileException("Unable to write to " + file);
        MemoryIniFiles::Write(file, section, key, value);
    }
    void WriteSection(const std::string& file, const std::string& section, const IniEntries& entries) override {
        for (const auto& [key, value] : entries)
            if (!failingKey.empty() && forms::SameTextAscii(key, failingKey))
                throw forms::EIniFileException("Unable to write to " + file);
        MemoryIniFiles::WriteSection(file, section, entries);
    }
};

class Store : public testing::Test {
protected:
    FailingIni ini_;
    FailingFiles files_;
    unsigned clock_ = 100;
    RecordStore store_{ini_, files_, kFolder, [this] { return clock_; }};

    RecordValues Values(RecordList list, const std::string& tag) {
        RecordValues values;
        for (const auto& field : Schema(list).fields)
            values[std::string(field.key)] = field.kind == RecordFieldKind::Choice ? std::string(field.items[0])
                                             : field.kind == RecordFieldKind::Flag ? "1"
                                                                                   : std::string(field.key) + " " + tag;
        return values;
    }
    std::string File(RecordList list) { return kFolder + std::string(Schema(list).fileName); }
};

TEST_F(Store, SaveWritesEveryKeyAndTheCommentAndReadGivesThemBack) {
    for (RecordList list : AllRecordLists()) {
        const std::string given = store_.Save(list, "Ann", Values(list, "a"), "", "{\\rtf1 Ann}");
        EXPECT_EQ(given, std::to_string(clock_) + ".rtf");
        const StoredRecord read = store_.Read(list, "ann");  // sections match in any case
        EXPECT_EQ(read.values, Values(list, "a"));
        EXPECT_EQ(read.commentFile, given);
        EXPECT_EQ(store_.Comment(read), "{\\rtf1 Ann}");
        EXPECT_EQ(store_.Names(list), std::vector<std::string>{"Ann"});
        ++clock_;
    }
    // Keys in schema order, the comment file last, as the pages always wrote them.
    EXPECT_EQ(ini_.Text(File(RecordList::WebSites)),
              "[Ann]\nURL=URL a\nNeedPassword=1\nUsername=Username a\nPassword=Password a\nComment File=102.rtf\n");
    EXPECT_EQ(files_.Files(), (std::vector<std::string>{kComments + "100.rtf", kComments + "101.rtf",
                                                        kComments + "102.rtf"}));
}

TEST_F(Store, MissingKeysReadAsTheSchemaDefaults) {
    ini_.Write(File(RecordList::WorkHistory), "Bare", "Phone Number", "0123");
    ini_.Write(File(RecordList::WebSites), "Bare", "Username", "ann");
    for (RecordList list : {RecordList::WorkHistory, RecordList::WebSites}) {
        const StoredRecord read = store_.Read(list, "Bare");
        for (const auto& field : Schema(list).fields) {
            const std::string stored = ini_.Read(File(list), "Bare", std::string(field.key), "<absent>");
            EXPECT_EQ(read.values.at(std::string(field.key)),
                      stored == "<absent>" ? std::string(field.readDefault) : stored)
                << field.key;
        }
        EXPECT_EQ(read.commentFile, "");
        EXPECT_EQ(store_.Comment(read), "");
    }
    EXPECT_EQ(store_.Read(RecordList::WebSites, "Bare").values.at("URL"), "http://");
    EXPECT_EQ(store_.Read(RecordList::WorkHistory, "Bare").values.at("Web Address"), "http://");
}

TEST_F(Store, ACommentFileNamedOutsideTheCommentFolderIsNeitherReadNorKept) {
    files_.Put(kFolder + "secret.txt", "the secret");
    files_.Put(kComments + "notes.rtf", "hand made");
    const struct { const char* stored; const char* read; } cases[] = {
        {"..\\secret.txt", ""},
        {"../secret.txt", ""},
        {"C:\\Portfolio\\secret.txt", ""},
        {"CON", ""},
        {"notes.rtf", "hand made"},
    };
    for (const auto& c : cases) {
        ini_.Write(File(RecordList::WorkHistory), "R", "Comment File", c.stored);
        const StoredRecord read = store_.Read(RecordList::WorkHistory, "R");
        EXPECT_EQ(store_.Comment(read), c.read) << c.stored;
        // Saving such a record gives it a file of ours instead.
        if (!*c.read) {
            EXPECT_EQ(read.commentFile, "") << c.stored;
            EXPECT_EQ(store_.Save(RecordList::WorkHistory, "R", {}, c.stored, "new"), "100.rtf") << c.stored;
            EXPECT_EQ(files_.ReadFile(kFolder + "secret.txt"), "the secret");
            files_.Remove(kComments + "100.rtf");
        }
    }
}

TEST_F(Store, ACommentThatCannotBeWrittenLeavesTheOldCommentAndTheRecordAsTheyWere) {
    const std::string kept = store_.Save(RecordList::Photographers, "Jo", Values(RecordList::Photographers, "old"),
                                         "", "{\\rtf1 old comment}");
    const std::string before = ini_.Text(File(RecordList::Photographers));
    files_.failing = "Comment Files";
    for (bool halfWritten : {true, false}) {
        files_.halfWritten = halfWritten;
        // A record that keeps its file, and a new one that would be given one.
        EXPECT_THROW(store_.Save(RecordList::Photographers, "Jo", Values(RecordList::Photographers, "new"), kept,
                                 "{\\rtf1 new comment}"),
                     std::exception);
        ++clock_;
        EXPECT_THROW(store_.Save(RecordList::Photographers, "Sam", Values(RecordList::Photographers, "new"), "",
                                 "{\\rtf1 Sam}"),
                     std::exception);
        EXPECT_EQ(files_.ReadFile(kComments + kept), "{\\rtf1 old comment}") << halfWritten;
        EXPECT_EQ(ini_.Text(File(RecordList::Photographers)), before) << halfWritten;
        EXPECT_EQ(files_.Files(), std::vector<std::string>{kComments + kept}) << halfWritten;
    }
}

TEST_F(Store, ARecordFileThatCannotBeWrittenLeavesNoNewCommentFileBehind) {
    ini_.Lock(File(RecordList::WorkHistory));
    EXPECT_THROW(store_.Save(RecordList::WorkHistory, "Agency", Values(RecordList::WorkHistory, "a"), "", "text"),
                 forms::EIniFileException);
    EXPECT_TRUE(files_.Files().empty());
    ini_.Unlock(File(RecordList::WorkHistory));
    EXPECT_EQ(store_.Save(RecordList::WorkHistory, "Agency", Values(RecordList::WorkHistory, "a"), "", "text"),
              "100.rtf");
}

// Whatever step of a save fails, the record stays as it was stored: every key and its comment.
TEST_F(Store, ARecordIsWrittenWholeOrNotAtAll) {
    const RecordList list = RecordList::WorkHistory;
    const struct { const char* what; const char* key; const char* rename; } failures[] = {
        {"a key after the first", "Where", ""},
        {"the comment into place", "", "Comment Files"},
    };
    for (const auto& failure : failures) {
        for (bool keeps : {true, false}) {
            const std::string kept = store_.Save(list, "Agency", Values(list, "old"), "", "old comment");
            ++clock_;
            const std::string before = ini_.Text(File(list));
            ini_.failingKey = failure.key;
            files_.failingRename = failure.rename;
            // One that keeps its comment file, and one given a new file.
            EXPECT_THROW(store_.Save(list, keeps ? "Agency" : "New", Values(list, "new"), keeps ? kept : "",
                                     "new comment"),
                         std::exception)
                << failure.what;
            EXPECT_EQ(ini_.Text(File(list)), before) << failure.what << keeps;
            EXPECT_EQ(files_.ReadFile(kComments + kept), "old comment") << failure.what << keeps;
            EXPECT_EQ(files_.Files(), std::vector<std::string>{kComments + kept}) << failure.what << keeps;
            ini_.failingKey.clear();
            files_.failingRename.clear();
            store_.Erase(list, "Agency");
        }
    }
}

// Two records naming one file (an older program's overwrite fault): the one saved gets a new
// file with its own text, so neither overwrites the other; one left alone keeps the file.
TEST_F(Store, RecordsSharingOneCommentFileAreSplitOnTheirNextSave) {
    files_.Put(kComments + "7.rtf", "shared words");
    ini_.Write(File(RecordList::WorkHistory), "A", "Comment File", "7.rtf");
    ini_.Write(File(RecordList::WorkHistory), "B", "Comment File", "7.RTF");
    ini_.Write(File(RecordList::Photographers), "C", "Comment File", "7.rtf");
    const std::string b = store_.Save(RecordList::WorkHistory, "B", {}, "7.RTF", "B's words");
    EXPECT_EQ(b, "100.rtf");
    ++clock_;
    const std::string c = store_.Save(RecordList::Photographers, "C", {}, "7.rtf", "C's words");
    EXPECT_EQ(c, "101.rtf");
    EXPECT_EQ(files_.ReadFile(kComments + "7.rtf"), "shared words");
    EXPECT_EQ(files_.ReadFile(kComments + b), "B's words");
    EXPECT_EQ(files_.ReadFile(kComments + c), "C's words");
    EXPECT_EQ(store_.Read(RecordList::WorkHistory, "B").commentFile, b);
    EXPECT_EQ(store_.Read(RecordList::Photographers, "C").commentFile, c);
    EXPECT_EQ(store_.Read(RecordList::WorkHistory, "A").commentFile, "7.rtf");
    // Alone with it now, A keeps the file (its name matched in any case).
    EXPECT_EQ(store_.Save(RecordList::WorkHistory, "a", {}, "7.rtf", "A's words"), "7.rtf");
    EXPECT_EQ(files_.ReadFile(kComments + "7.rtf"), "A's words");
}

// A comment that could not be read is not handed in: the record's keys are written and its file
// stays as it is, named by the record.
TEST_F(Store, NoCommentLeavesTheRecordsFileAsItIs) {
    files_.Put(kComments + "7.rtf", "unread words");
    ini_.Write(File(RecordList::Photographers), "Jo", "Comment File", "7.rtf");
    EXPECT_EQ(store_.Save(RecordList::Photographers, "Jo", Values(RecordList::Photographers, "new"), "7.rtf",
                          std::nullopt),
              "7.rtf");
    EXPECT_EQ(files_.ReadFile(kComments + "7.rtf"), "unread words");
    EXPECT_EQ(store_.Read(RecordList::Photographers, "Jo").values, Values(RecordList::Photographers, "new"));
    EXPECT_EQ(files_.Files(), std::vector<std::string>{kComments + "7.rtf"});
}

TEST_F(Store, EraseRemovesOnlyAnOwnCommentFileNoOtherRecordNames) {
    files_.Put(kComments + "notes.rtf", "hand made");
    files_.Put(kComments + "7.rtf", "shared");
    files_.Put(kComments + "8.rtf", "own");
    const struct { RecordList list; const char* record; const char* file; } records[] = {
        {RecordList::WorkHistory, "Hand", "notes.rtf"},
        {RecordList::WorkHistory, "SharedA", "7.rtf"},
        {RecordList::WebSites, "SharedB", "7.rtf"},
        {RecordList::Photographers, "Own", "8.rtf"},
    };
    for (const auto& r : records) ini_.Write(File(r.list), r.record, "Comment File", r.file);
    store_.Erase(RecordList::WorkHistory, "Hand");
    store_.Erase(RecordList::WorkHistory, "SharedA");
    store_.Erase(RecordList::Photographers, "Own");
    EXPECT_TRUE(files_.FileExists(kComments + "notes.rtf"));
    EXPECT_TRUE(files_.FileExists(kComments + "7.rtf"));
    EXPECT_FALSE(files_.FileExists(kComments + "8.rtf"));
    EXPECT_TRUE(store_.Names(RecordList::WorkHistory).empty());
    store_.Erase(RecordList::WebSites, "SharedB");
    EXPECT_FALSE(files_.FileExists(kComments + "7.rtf"));
}

TEST_F(Store, ANewCommentNameStepsPastFilesAndNamesAlreadyTaken) {
    files_.Put(kComments + "100.rtf");
    files_.Put(kComments + "101.RTF");
    ini_.Write(File(RecordList::WebSites), "Old", "Comment File", "102.rtf");
    EXPECT_EQ(store_.NewCommentFileName(), "103.rtf");
    EXPECT_EQ(store_.Save(RecordList::Photographers, "New", {}, "", ""), "103.rtf");
    EXPECT_EQ(store_.NewCommentFileName(), "104.rtf");
}

// What the site build took as comments: the bytes it was handed, and a marker as the text.
class RecordedComments : public CommentText {
public:
    std::vector<std::string> handed;
    std::string PlainText(const std::string& bytes) override {
        handed.push_back(bytes);
        return "text of " + bytes;
    }
};

TEST_F(Store, TheSiteReadsRecordsAsThePagesStoreThemAndNoCommentOutsideTheirFolder) {
    files_.Put(kFolder + "secret.txt", "the secret");
    store_.Save(RecordList::WorkHistory, "Agency", Values(RecordList::WorkHistory, "a"), "", "agency comment");
    ini_.Write(File(RecordList::WorkHistory), "Where Upper", "Where", "LOCATION AND STUDIO");
    ini_.Write(File(RecordList::WorkHistory), "Where Odd", "Where", "Garden");
    ini_.Write(File(RecordList::Photographers), "Thief", "Comment File", "..\\secret.txt");
    ini_.Write(File(RecordList::WebSites), "No URL", "Username", "x");
    ini_.Write(File(RecordList::WebSites), "Empty", "Comment File", "5.rtf");
    files_.Put(kComments + "5.rtf", "");

    RecordedComments comments;
    SiteContent content;
    ReadSiteRecords(store_, comments, content);
    ASSERT_EQ(content.work.size(), 3u);
    EXPECT_EQ(content.work[0].name, "Agency");
    EXPECT_EQ(content.work[0].phone, "Phone Number a");
    EXPECT_EQ(content.work[0].email, "E-mail a");
    EXPECT_EQ(content.work[0].webAddress, "Web Address a");
    EXPECT_EQ(content.work[0].where, "Studio");
    EXPECT_EQ(content.work[0].comment, "text of agency comment");
    EXPECT_EQ(content.work[1].where, "Location and Studio");
    EXPECT_EQ(content.work[2].where, "");
    ASSERT_EQ(content.photographers.size(), 1u);
    EXPECT_EQ(content.photographers[0].comment, "");
    ASSERT_EQ(content.websites.size(), 2u);
    EXPECT_EQ(content.websites[0].url, "http://");
    EXPECT_EQ(content.websites[1].comment, "");
    // Only the record's own comment was ever read; an empty file is an empty comment.
    EXPECT_EQ(comments.handed, std::vector<std::string>{"agency comment"});
}

}  // namespace
}  // namespace editor
