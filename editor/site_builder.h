// The Finish page's build: "&Build" runs the site build over the biography as shown, the
// stored records and the galleries, logging into the page's log and showing its progress.
#pragma once

#include "editor/editor_state.h"
#include "editor/finish_page.h"
#include "editor/portable/site_build.h"
#include "editor/site_records.h"

#include "forms/label.h"

namespace controls {
class TSpecialProgress;
}

#include <memory>
#include <string>

namespace editor {

// Where the build shows its progress: the "Progress:" caption and the painted bar.
class BuildProgressView {
public:
    virtual ~BuildProgressView() = default;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetPosition(int position) = 0;
};

class SiteBuilder {
public:
    // form holds the biography's controls (found by name); the Finish page its own.
    SiteBuilder(forms::TForm& form, EditorState& state, FinishPage& finish);
    ~SiteBuilder();

    // "&Build": true when the build completed (the name and template passed and every file
    // was written).
    bool Button3Click();
    // Builds the named portfolio from the chosen template; false (after reporting) on failure.
    bool buildhtml(const std::string& name);

    // The biography as the site takes it: every keyword from its control, as shown.
    SiteContent BiographyContent() const;

    // Replaces the progress display (the painted bar, or a test's recorder).
    void SetProgressView(std::unique_ptr<BuildProgressView> view) { progress_ = std::move(view); }

    forms::TLabel* ProgressLabel;  // "Progress:"
    controls::TSpecialProgress* prog;

private:
    forms::TForm& form_;
    EditorState& state_;
    FinishPage& finish_;
    std::unique_ptr<BuildProgressView> progress_;
    std::unique_ptr<CommentText> comments_;
};

}  // namespace editor
