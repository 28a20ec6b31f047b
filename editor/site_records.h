// The three record lists as the site publishes them, read from their INI and comment files.
// Reading never touches the record pages, so a list in Edit or Add mode keeps its form.
#pragma once

#include "editor/portable/site_build.h"

#include "forms/rich_edit.h"

#include <string>

namespace editor {

// The plain text of an RTF comment file ("" when the file is missing).
class CommentText {
public:
    virtual ~CommentText() = default;
    virtual std::string PlainText(const std::string& rtfPath) = 0;
};

// Through a hidden rich-edit control, the one that reads the comment boxes.
class RichEditCommentText : public CommentText {
public:
    // The control is made as a hidden child of parent, owned by owner.
    RichEditCommentText(forms::TComponent* owner, forms::TWinControl* parent);
    std::string PlainText(const std::string& rtfPath) override;

private:
    forms::TRichEdit* edit_;
};

// Fills content's work, photographer and web-site lists in file order from the record files
// under programFolder (trailing backslash).
void ReadSiteRecords(const std::string& programFolder, CommentText& comments, SiteContent& content);

}  // namespace editor
