// The record files in the program folder and the comment files their records name.
#pragma once

#include "editor/portable/record_model.h"

#include <string>
#include <vector>

namespace editor {

// ProgramFolder + the list's file name.
std::string RecordFilePath(const std::string& programFolder, RecordList list);
// ProgramFolder + "Comment Files\".
std::string CommentFolderPath(const std::string& programFolder);

// The list's record names (its section names) in file order, however many there are.
std::vector<std::string> RecordNames(const std::string& programFolder, RecordList list);

// Every Comment File value stored by any record of the three lists.
std::vector<std::string> CommentFilesNamed(const std::string& programFolder);

// A name for a new comment file: the seconds into the current month, stepped on past any
// file in the comment folder and any name a record of the three lists holds.
std::string NewCommentFileName(const std::string& programFolder);

}  // namespace editor
