#include "editor/record_files.h"

#include "forms/ini_file.h"
#include "forms/portable/string_list.h"

#include <windows.h>

namespace editor {

std::string RecordFilePath(const std::string& programFolder, RecordList list) {
    return programFolder + std::string(Schema(list).fileName);
}

std::string CommentFolderPath(const std::string& programFolder) {
    return programFolder + std::string(kCommentFolder) + "\\";
}

std::vector<std::string> RecordNames(const std::string& programFolder, RecordList list) {
    forms::TStringList sections;
    forms::TIniFile(RecordFilePath(programFolder, list)).ReadSections(sections);
    std::vector<std::string> names;
    names.reserve(sections.Count());
    for (int i = 0; i < sections.Count(); ++i) names.push_back(sections[i]);
    return names;
}

std::vector<std::string> CommentFilesNamed(const std::string& programFolder) {
    std::vector<std::string> names;
    for (RecordList list : AllRecordLists()) {
        forms::TIniFile ini(RecordFilePath(programFolder, list));
        for (const auto& record : RecordNames(programFolder, list)) {
            std::string name = ini.ReadString(record, std::string(kCommentFileKey), "");
            if (!name.empty()) names.push_back(std::move(name));
        }
    }
    return names;
}

std::string NewCommentFileName(const std::string& programFolder) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::vector<std::string> named = CommentFilesNamed(programFolder);
    const std::string folder = CommentFolderPath(programFolder);
    return FreeCommentFileName(SecondsIntoMonth(now.wDay, now.wHour, now.wMinute, now.wSecond),
                               [&](const std::string& candidate) {
                                   if (GetFileAttributesA((folder + candidate).c_str()) != INVALID_FILE_ATTRIBUTES)
                                       return true;
                                   for (const auto& name : named)
                                       if (SameFileName(name, candidate)) return true;
                                   return false;
                               });
}

}  // namespace editor
