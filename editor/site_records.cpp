#include "editor/site_records.h"

#include "editor/file_routines.h"

#include "forms/ini_file.h"
#include "forms/portable/string_list.h"

namespace editor {
namespace {

using forms::TIniFile;

// The Where box lists only these; a stored value shows as the item it equals in any case,
// or as nothing.
constexpr const char* kWhereItems[] = {"Studio", "On Location", "Location and Studio"};

std::string WhereItem(const std::string& stored) {
    for (const char* item : kWhereItems)
        if (forms::CompareTextFolded(stored, item) == 0) return item;
    return {};
}

std::vector<std::string> Sections(const TIniFile& ini) {
    forms::TStringList names;
    ini.ReadSections(names);
    std::vector<std::string> out;
    for (int i = 0; i < names.Count(); ++i) out.push_back(names[i]);
    return out;
}

std::string Comment(const std::string& folder, const std::string& file, CommentText& comments) {
    if (file.empty()) return {};
    const std::string path = folder + "Comment Files\\" + file;
    return FileExists(path) ? comments.PlainText(path) : std::string();
}

std::vector<JobRecord> JobRecords(const std::string& folder, const char* file, CommentText& comments) {
    const TIniFile ini(folder + file);
    std::vector<JobRecord> records;
    for (const auto& name : Sections(ini)) {
        JobRecord r;
        r.name = name;
        r.phone = ini.ReadString(name, "Phone Number", "");
        r.email = ini.ReadString(name, "E-mail", "");
        r.webAddress = ini.ReadString(name, "Web Address", "http://");
        r.where = WhereItem(ini.ReadString(name, "Where", "Location And Studio"));
        r.comment = Comment(folder, ini.ReadString(name, "Comment File", ""), comments);
        records.push_back(std::move(r));
    }
    return records;
}

}  // namespace

RichEditCommentText::RichEditCommentText(forms::TComponent* owner, forms::TWinControl* parent)
    : edit_(new forms::TRichEdit(owner)) {
    edit_->SetName("SiteCommentReader");
    edit_->SetVisible(false);
    edit_->SetParent(parent);
}

std::string RichEditCommentText::PlainText(const std::string& rtfPath) {
    edit_->Lines()->LoadFromFile(rtfPath);
    std::string text = edit_->StreamOut(false);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

void ReadSiteRecords(const std::string& folder, CommentText& comments, SiteContent& content) {
    content.work = JobRecords(folder, "workhistory.ini", comments);
    content.photographers = JobRecords(folder, "photographers.ini", comments);
    content.websites.clear();
    const TIniFile ini(folder + "websites.ini");
    for (const auto& name : Sections(ini)) {
        WebSiteRecord r;
        r.name = name;
        r.url = ini.ReadString(name, "URL", "");
        r.comment = Comment(folder, ini.ReadString(name, "Comment File", ""), comments);
        content.websites.push_back(std::move(r));
    }
}

}  // namespace editor
