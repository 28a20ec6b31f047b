// One record page of the main window (work history, photographers or web sites): a name
// list, the record's fields, its comment, and Add, Edit (Cancel while editing), Delete and
// Save. The three pages differ only by the data of their layout and schema.
#pragma once

#include "editor/editor_state.h"
#include "editor/portable/record_model.h"
#include "editor/portable/record_store.h"

#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/combo_box.h"
#include "forms/edit.h"
#include "forms/label.h"
#include "forms/page_control.h"
#include "forms/rich_edit.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

struct RecordPageLayout;

class RecordPage {
public:
    // Builds the page's controls on sheet; owner (the main window) owns them. The records are
    // read and written through store.
    RecordPage(forms::TComponent* owner, forms::TTabSheet* sheet, RecordList list, EditorState& state,
               RecordStore& store);

    RecordList List() const { return list_; }
    const RecordSchema& RecordSchemaOf() const { return Schema(list_); }
    // True between Add or Edit and Save or Cancel.
    bool Editing() const { return mode_ != Mode::View; }
    // Editing, with a field, the name typed or the comment changed since Add or Edit.
    bool HasUnsavedChanges() const;
    // The comment file of the record shown or being edited; empty for a new record.
    const std::string& CommentFile() const { return commentFile_; }
    // The record shown names a comment file that could not be read: the box is empty, the
    // note says so, and Save leaves the file as it is unless a new comment was typed.
    bool CommentUnread() const { return commentUnread_; }

    // Replaces the name list; a record chosen before stays chosen while it is listed.
    void FillNames(const std::vector<std::string>& names);
    // The name list's change handler (ComboBox3Change, ComboBox4Change, ComboBox11Change):
    // shows the chosen record, or clears the page when none is chosen. Nothing while adding.
    void Select();
    void AddClick();
    // Edit, or Cancel while editing or adding.
    void EditClick();
    // True when the record was written and the page is back in view mode.
    bool SaveClick();
    void DeleteClick();
    // Web sites: opens the URL field's web address.
    void VisitClick();
    // Web sites: the user name and password are shown while the check box is checked.
    void CheckBox9Click();

    // The control bound to a key of the schema.
    forms::TWinControl* Field(std::string_view key) const;
    // The text a key would be saved with.
    std::string FieldValue(std::string_view key) const;

    forms::TTabSheet* Sheet;
    forms::TComboBox* NameBox;     // ComboBox3, ComboBox4, ComboBox11
    forms::TRichEdit* Comment;     // RichEdit1, RichEdit2, RichEdit3
    forms::TLabel* CommentNote;    // beside "Comments:", says when the comment could not be read
    forms::TButton* AddButton;
    forms::TButton* EditButton;
    forms::TButton* DeleteButton;
    forms::TButton* SaveButton;
    forms::TButton* VisitButton = nullptr;     // web sites only
    forms::TCheckBox* PasswordBox = nullptr;   // web sites only (CheckBox9)

    // Entering (true) or leaving (false) edit mode: the main window enables its other pages.
    std::function<void(bool editing)> OnEditMode;
    // After a record was written: the main window refills the three lists.
    std::function<void()> OnSaved;

private:
    enum class Mode { View, Adding, Editing };
    struct BoundField {
        const RecordField* field;
        forms::TWinControl* control;
        forms::TLabel* label;
    };

    void Build(forms::TComponent* owner);
    void ShowValue(const BoundField& bound, std::string_view value);
    std::string ValueOf(const BoundField& bound) const;
    void ShowRecord(const std::string& name);
    void ClearRecord();
    void ShowComment(const std::string& text, bool unread);
    void EnterEditMode(Mode mode);
    void LeaveEditMode();
    void SetFieldsEditable(bool editable);
    void SelectName(const std::string& name);
    std::string ChosenName() const;
    HWND OwnerWindow() const;
    // What the user can change while editing: the name box, every field, the comment text.
    std::vector<std::string> EditableState() const;
    // The web sites' name box shows its placeholder selected, so typing replaces it.
    void SelectPlaceholder();

    RecordList list_;
    const RecordPageLayout& layout_;
    EditorState& state_;
    RecordStore& store_;
    Mode mode_ = Mode::View;
    std::vector<BoundField> fields_;
    // This list's own: the record being edited and its comment file.
    std::string currentName_;
    std::string commentFile_;
    bool commentUnread_ = false;
    std::vector<std::string> editStart_;
};

}  // namespace editor
