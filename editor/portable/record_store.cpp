#include "editor/portable/record_store.h"

#include "forms/portable/text_case.h"

#include <algorithm>

namespace editor {

RecordStore::RecordStore(IniFiles& ini, PortfolioFiles& files, std::string programFolder,
                         std::function<unsigned()> secondsIntoMonth)
    : ini_(ini), files_(files), programFolder_(std::move(programFolder)), secondsIntoMonth_(std::move(secondsIntoMonth)) {}

std::string RecordStore::RecordFilePath(RecordList list) const {
    return programFolder_ + std::string(Schema(list).fileName);
}

std::string RecordStore::CommentFolder() const { return programFolder_ + std::string(kCommentFolder) + "\\"; }

std::vector<std::string> RecordStore::Names(RecordList list) { return ini_.Sections(RecordFilePath(list)); }

StoredRecord RecordStore::Read(RecordList list, const std::string& name) {
    const std::string file = RecordFilePath(list);
    StoredRecord record{name, {}, {}};
    for (const auto& field : Schema(list).fields)
        record.values[std::string(field.key)] =
            ini_.Read(file, name, std::string(field.key), std::string(field.readDefault));
    // A hand-edited value naming a file elsewhere is never read; Save then gives one of ours.
    const std::string stored = ini_.Read(file, name, std::string(kCommentFileKey), "");
    if (IsBareFileName(stored)) record.commentFile = stored;
    return record;
}

std::vector<StoredRecord> RecordStore::ReadAll(RecordList list) {
    std::vector<StoredRecord> records;
    for (const auto& name : Names(list)) records.push_back(Read(list, name));
    return records;
}

std::string RecordStore::Comment(const StoredRecord& record) {
    if (record.commentFile.empty()) return {};
    const std::string path = CommentFolder() + record.commentFile;
    return files_.FileExists(path) ? files_.ReadFile(path) : std::string();
}

std::string RecordStore::Save(RecordList list, const std::string& name, const RecordValues& values,
                              std::string commentFile, const std::optional<std::string>& comment) {
    if (!IsBareFileName(commentFile)) commentFile.clear();
    // An older program could leave two records naming one file: the one saved gets its own.
    if (comment && !commentFile.empty() && NamedByAnother(list, name, commentFile)) commentFile.clear();
    if (comment && commentFile.empty()) commentFile = NewCommentFileName();
    std::optional<PendingFile> newComment;
    if (comment) {
        files_.MakeFolders(CommentFolder());
        newComment.emplace(files_, CommentFolder() + commentFile);
        newComment->Write(*comment);
    }

    const std::string file = RecordFilePath(list);
    const std::vector<std::string> sections = Names(list);
    const bool existed = std::any_of(sections.begin(), sections.end(),
                                     [&](const std::string& section) { return forms::SameTextAscii(section, name); });
    const IniEntries before = existed ? ini_.ReadSection(file, name) : IniEntries{};
    IniEntries after = before;
    const auto set = [&after](std::string_view key, const std::string& value) {
        for (auto& [stored, old] : after)
            if (forms::SameTextAscii(stored, key)) {
                old = value;
                return;
            }
        after.emplace_back(std::string(key), value);
    };
    for (const auto& field : Schema(list).fields) {
        const auto found = values.find(field.key);
        set(field.key, found == values.end() ? std::string() : found->second);
    }
    set(kCommentFileKey, commentFile);
    ini_.WriteSection(file, name, after);
    try {
        ini_.Flush(file);
        if (newComment) newComment->Commit();
    } catch (...) {
        // The keys go back to what they were; the failed write is what the user is told about.
        try {
            if (existed) ini_.WriteSection(file, name, before);
            else ini_.EraseSection(file, name);
            ini_.Flush(file);
        } catch (const std::exception&) {
        }
        throw;
    }
    return commentFile;
}

void RecordStore::Erase(RecordList list, const std::string& name) {
    const std::string file = RecordFilePath(list);
    const std::string stored = ini_.Read(file, name, std::string(kCommentFileKey), "");
    ini_.EraseSection(file, name);
    ini_.Flush(file);
    // Only a file of our own naming, in our folder, that no other record still names.
    if (!IsBareFileName(stored) || !IsOwnCommentFileName(stored)) return;
    for (const auto& other : CommentFilesNamed())
        if (SameFileName(other, stored)) return;
    const std::string path = CommentFolder() + stored;
    try {
        if (files_.FileExists(path)) files_.Remove(path);
    } catch (const std::exception&) {
        // The record is gone; a file left behind only keeps its name from new comments.
    }
}

std::vector<std::string> RecordStore::CommentFilesNamed() {
    std::vector<std::string> names;
    for (RecordList list : AllRecordLists()) {
        const std::string file = RecordFilePath(list);
        for (const auto& record : Names(list)) {
            std::string name = ini_.Read(file, record, std::string(kCommentFileKey), "");
            if (!name.empty()) names.push_back(std::move(name));
        }
    }
    return names;
}

bool RecordStore::NamedByAnother(RecordList list, const std::string& name, const std::string& commentFile) {
    for (RecordList other : AllRecordLists()) {
        const std::string file = RecordFilePath(other);
        for (const auto& record : Names(other)) {
            if (other == list && forms::SameTextAscii(record, name)) continue;
            if (SameFileName(ini_.Read(file, record, std::string(kCommentFileKey), ""), commentFile)) return true;
        }
    }
    return false;
}

std::string RecordStore::NewCommentFileName() {
    const std::vector<std::string> named = CommentFilesNamed();
    const std::string folder = CommentFolder();
    return FreeCommentFileName(secondsIntoMonth_(), [&](const std::string& candidate) {
        if (files_.FileExists(folder + candidate)) return true;
        for (const auto& name : named)
            if (SameFileName(name, candidate)) return true;
        return false;
    });
}

}  // namespace editor
