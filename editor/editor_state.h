// The editor's state, one set per process, kept by the main window.
#pragma once

#include <string>

namespace editor {

struct EditorState {
    std::string ProgramFolder;      // trailing backslash; base of every path
    std::string GalleryKey = "general";
    std::string LastPictureFolder;  // [Config] Last Folder
    std::string LastTemplate;       // [HTML] LastUsed
    // [Config] Skin, kept as read until the skin slider holds it.
    int SkinNumber = 0;
    // Shared by the three record lists: the record being edited, its comment file's name
    // (empty for a new record) and whether Add is under way.
    std::string CurrentRecordName;
    std::string CommentFileName;
    bool AddingRecord = false;
    // Set by the processing dialog's Cancel; the picture batch stops at the next picture.
    bool CancelRequested = false;

    std::string Path(const std::string& relative) const { return ProgramFolder + relative; }
};

}  // namespace editor
