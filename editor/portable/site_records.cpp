#include "editor/portable/site_records.h"

namespace editor {
namespace {

std::string Value(const StoredRecord& record, std::string_view key) {
    const auto found = record.values.find(key);
    return found == record.values.end() ? std::string() : found->second;
}

std::string CommentOf(RecordStore& store, CommentText& comments, const StoredRecord& record) {
    const std::string bytes = store.Comment(record);
    return bytes.empty() ? std::string() : comments.PlainText(bytes);
}

std::vector<JobRecord> JobRecords(RecordStore& store, CommentText& comments, RecordList list) {
    const RecordField* where = FindField(Schema(list), "Where");
    std::vector<JobRecord> records;
    for (const auto& stored : store.ReadAll(list)) {
        JobRecord r;
        r.name = stored.name;
        r.phone = Value(stored, "Phone Number");
        r.email = Value(stored, "E-mail");
        r.webAddress = Value(stored, "Web Address");
        // The Where box shows the item the value equals in any case, or nothing.
        const int item = MatchChoice(where->items, Value(stored, "Where"));
        if (item >= 0) r.where = std::string(where->items[item]);
        r.comment = CommentOf(store, comments, stored);
        records.push_back(std::move(r));
    }
    return records;
}

}  // namespace

void ReadSiteRecords(RecordStore& store, CommentText& comments, SiteContent& content) {
    content.work = JobRecords(store, comments, RecordList::WorkHistory);
    content.photographers = JobRecords(store, comments, RecordList::Photographers);
    content.websites.clear();
    for (const auto& stored : store.ReadAll(RecordList::WebSites))
        content.websites.push_back({stored.name, Value(stored, "URL"), CommentOf(store, comments, stored)});
}

}  // namespace editor
