// The biography page: personal information, medium, vital statistics, interests, comments
// and the skin choice (the check box and the slider; editor/skin_choice.h binds them). Its fields are bound to vantrell.ini by name (settings_binding.h).
#pragma once

#include "controls/slider.h"
#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/combo_box.h"
#include "forms/date_time_picker.h"
#include "forms/edit.h"
#include "forms/group_box.h"
#include "forms/label.h"
#include "forms/page_control.h"
#include "forms/rich_edit.h"

#include "editor/portable/portfolio_files.h"

#include <functional>
#include <optional>
#include <string>

namespace editor {

class BiographyPage {
public:
    // Builds the page's controls on sheet; owner (the main window) owns them.
    BiographyPage(forms::TComponent* owner, forms::TTabSheet* sheet);

    // Label61 := the age from the date of birth, "N Years Of age.".
    void DateTimePicker1Change();
    // The bra size is hidden while "Male" is chosen (its value is kept and still saved).
    void ComboBox14Change();

    // Shows the comments file at path, empty when it is missing. One that cannot be read
    // leaves the box empty, and the group's caption says so.
    void LoadComments(editor::PortfolioFiles& files, const std::string& path);
    // What Save writes to the comments file: the box as RTF, or nothing while the file could
    // not be read and no comment was typed since, so the file stays as it is.
    std::optional<std::string> CommentsToSave();
    // After the comments were written: the file holds the box now.
    void CommentsSaved();
    bool CommentsUnread() const { return commentsUnread_; }

    forms::TEdit* Edit1;            // Name
    forms::TComboBox* ComboBox14;   // Sex
    forms::TDateTimePicker* DateTimePicker1;
    forms::TLabel* Label61;         // age
    forms::TLabel* BraSizeLabel;
    forms::TEdit* Edit13;           // Bra size
    forms::TComboBox* ComboBox1;    // Build type
    forms::TComboBox* ComboBox2;    // Hair length
    forms::TButton* Button1;        // Save
    forms::TRichEdit* RichEdit4;    // comments
    forms::TGroupBox* CommentsGroup;  // its caption says when the comments could not be read
    forms::TCheckBox* CheckBox7;    // Enable Skins
    controls::TSlider* Slider1;     // the skin, 0 to 5

    // Save's handler, set by the main window (it owns the settings file).
    std::function<void()> OnSave;

private:
    void ShowCommentsUnread(bool unread);

    bool commentsUnread_ = false;
    std::string unreadText_;  // the box's text when the file could not be read
};

}  // namespace editor
