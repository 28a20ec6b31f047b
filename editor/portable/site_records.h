// The three record lists as the site publishes them, read through the record store, so the
// site takes the same keys, defaults and comment-file rules as the record pages.
#pragma once

#include "editor/portable/record_store.h"
#include "editor/portable/site_build.h"

#include <string>

namespace editor {

// The plain text of a comment file's bytes (RTF, or plain text an interrupted save left).
class CommentText {
public:
    virtual ~CommentText() = default;
    virtual std::string PlainText(const std::string& bytes) = 0;
};

// Fills content's work, photographer and web-site lists in file order.
void ReadSiteRecords(RecordStore& store, CommentText& comments, SiteContent& content);

}  // namespace editor
