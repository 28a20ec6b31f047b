// Comment text for the site build through a hidden rich edit, the control that reads and
// writes the comment boxes.
#pragma once

#include "editor/portable/site_records.h"

#include "forms/rich_edit.h"

#include <string>

namespace editor {

class RichEditCommentText : public CommentText {
public:
    // The control is made as a hidden child of parent, owned by owner.
    RichEditCommentText(forms::TComponent* owner, forms::TWinControl* parent);
    std::string PlainText(const std::string& bytes) override;

private:
    forms::TRichEdit* edit_;
};

}  // namespace editor
