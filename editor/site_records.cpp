#include "editor/site_records.h"

namespace editor {

RichEditCommentText::RichEditCommentText(forms::TComponent* owner, forms::TWinControl* parent)
    : edit_(new forms::TRichEdit(owner)) {
    edit_->SetName("SiteCommentReader");
    edit_->SetVisible(false);
    edit_->SetParent(parent);
}

std::string RichEditCommentText::PlainText(const std::string& bytes) {
    edit_->LoadRtfOrText(bytes);
    std::string text = edit_->StreamOut(false);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

}  // namespace editor
