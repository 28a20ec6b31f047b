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
    // Set by the processing dialog's Cancel; the picture batch stops at the next picture.
    bool CancelRequested = false;

    std::string Path(const std::string& relative) const { return ProgramFolder + relative; }
};

}  // namespace editor
