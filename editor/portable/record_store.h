// The portfolio folder's records: the three list files, their records read and written by
// the record schema, and the comment files the records name. The record pages and the site
// build both go through here, so keys, defaults and the comment-file rules live once.
#pragma once

#include "editor/portable/ini_files.h"
#include "editor/portable/portfolio_files.h"
#include "editor/portable/record_model.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

// Field values by the schema's keys, as stored ("1"/"0" for a flag, an item's text for a choice).
using RecordValues = std::map<std::string, std::string, std::less<>>;

struct StoredRecord {
    std::string name;
    RecordValues values;      // every key of the schema; a missing key reads as its default
    std::string commentFile;  // empty when none is named or the stored value is not a bare name
};

class RecordStore {
public:
    // programFolder has its trailing backslash. secondsIntoMonth is the clock new comment
    // names are taken from.
    RecordStore(IniFiles& ini, PortfolioFiles& files, std::string programFolder,
                std::function<unsigned()> secondsIntoMonth);

    std::string RecordFilePath(RecordList list) const;
    // ProgramFolder + "Comment Files\".
    std::string CommentFolder() const;

    // The list's record names in file order.
    std::vector<std::string> Names(RecordList list);
    StoredRecord Read(RecordList list, const std::string& name);
    std::vector<StoredRecord> ReadAll(RecordList list);
    // The bytes of a comment file the record named; empty when it names none or it is missing.
    std::string Comment(const StoredRecord& record);

    // Writes the record whole or not at all: its comment to a temporary file, its keys in one
    // write, then the comment renamed over the old one (a failed rename puts the keys back).
    // commentFile is the file the record keeps; empty, or one another record names too, gives
    // it a new one. No comment (one that could not be read) leaves the file as it is. Returns
    // the name the record now holds.
    std::string Save(RecordList list, const std::string& name, const RecordValues& values, std::string commentFile,
                     const std::optional<std::string>& comment);
    // Removes the record, and its comment file when it is one of ours no other record names.
    void Erase(RecordList list, const std::string& name);

    // Every Comment File value any record of the three lists holds, as stored.
    std::vector<std::string> CommentFilesNamed();
    // True when a record other than list's name names commentFile.
    bool NamedByAnother(RecordList list, const std::string& name, const std::string& commentFile);
    // A free name for a new comment file: from the clock's seconds on, past any file in the
    // comment folder and any name a record holds.
    std::string NewCommentFileName();

private:
    IniFiles& ini_;
    PortfolioFiles& files_;
    std::string programFolder_;
    std::function<unsigned()> secondsIntoMonth_;
};

}  // namespace editor
