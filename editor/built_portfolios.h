// The Finish page's built portfolios: View opens one in the browser, Delete removes it through
// the shell, Burn and Build & Burn hand one to vantburn.
#pragma once

#include "controls/shell_file_operation.h"
#include "editor/editor_state.h"
#include "editor/finish_page.h"
#include "editor/site_builder.h"

#include "forms/form.h"

#include <string>

namespace editor {

class BuiltPortfolios {
public:
    // Places the shell file operation "d" on form and takes over the page's four buttons.
    BuiltPortfolios(forms::TForm& form, EditorState& state, FinishPage& finish, SiteBuilder& builder);

    void Button4Click();  // &View
    void Button7Click();  // &Delete
    void Button2Click();  // Build && B&urn
    void Button5Click();  // Bur&n

    controls::TShellFileOperation* d;

private:
    // The chosen portfolio when its name passes the rules; empty (after saying why) otherwise.
    std::string ChosenName() const;
    void StartBurn(const std::string& name);

    forms::TForm& form_;
    EditorState& state_;
    FinishPage& finish_;
    SiteBuilder& builder_;
};

}  // namespace editor
