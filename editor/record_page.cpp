#include "editor/record_page.h"

#include "editor/control_factory.h"
#include "editor/shell_routines.h"

#include "forms/dialogs.h"
#include "forms/form.h"
#include "forms/group_box.h"
#include "forms/portable/ini_rules.h"

#include <array>
#include <optional>

namespace editor {

using namespace forms;

// What sets the three pages apart, besides their schema.
struct RecordPageLayout {
    RecordList list;
    const char* groupCaption;
    const char* nameBox;
    const char* nameCaption;
    const char* comment;
    const char* addButton;
    const char* editButton;
    const char* deleteButton;
    const char* saveButton;
    TComboBoxStyle addingNameStyle;  // the name box while adding
    const char* cancelCaption;       // the Edit button while editing
    bool listUsableWhileEditing;     // web sites: another site may be chosen while editing
    bool newCommentEverySave;        // web sites: each save writes a new comment file
    const char* deletePrompt;
    std::array<const char*, 4> notes;
};

namespace {

constexpr const char* kNotShownNotes[] = {
    "The following items are not displayed in the Electronic Portfolio that you send to prospective employers;",
    "- Type of Work", "- Payment Type", "- Payment Method"};

constexpr RecordPageLayout kLayouts[] = {
    {RecordList::WorkHistory, " Commercial Work ", "ComboBox3", "Organisation:", "RichEdit1", "Button30",
     "Button29", "Button28", "Button26", csDropDown, "&Cancel", false, false, "Delete this Work Item?",
     {kNotShownNotes[0], kNotShownNotes[1], kNotShownNotes[2], kNotShownNotes[3]}},
    {RecordList::Photographers, " Photographers ", "ComboBox4", "Photographers Name:", "RichEdit2", "Button34",
     "Button33", "Button32", "Button31", csSimple, "Cancel", false, false, "Delete this Photographer?",
     {kNotShownNotes[0], kNotShownNotes[1], kNotShownNotes[2], kNotShownNotes[3]}},
    {RecordList::WebSites, " Web Sites", "ComboBox11", "Web Sites:", "RichEdit3", "Button50", "Button49",
     "Button48", "Button47", csSimple, "Cancel", true, true, "Delete this Web Site?",
     {"To create a new Web Site, click \"Add\".  To edit an existing Web Site click the item in the list then "
      "click \"Edit\".  To remove and item click \"Delete\".  To save the current item click \"Save\".",
      nullptr, nullptr, nullptr}},
};

constexpr const char* kEditCaption = "&Edit";
constexpr size_t kCommentState = 1;  // in EditableState
constexpr const char* kCommentUnreadNote = "The comment file could not be read and is kept as it is.";
constexpr int kLabelWidth = 150, kFieldLeft = 14 + kLabelWidth, kFieldWidth = 290;
constexpr int kRowHeight = 27, kFieldHeight = 21;
constexpr int kRightColumn = 480, kRightWidth = 360;

const RecordPageLayout& LayoutOf(RecordList list) { return kLayouts[static_cast<int>(list)]; }

TButton* PlaceButton(TComponent* owner, TWinControl* parent, const char* name, const char* caption, int left,
                     int top) {
    auto* button = Place<TButton>(owner, parent, name, left, top, 84, 25);
    button->SetCaption(caption);
    return button;
}

}  // namespace

RecordPage::RecordPage(TComponent* owner, TTabSheet* sheet, RecordList list, EditorState& state, RecordStore& store)
    : Sheet(sheet), list_(list), layout_(LayoutOf(list)), state_(state), store_(store) {
    Build(owner);
    SetFieldsEditable(false);
    for (auto* b : {EditButton, DeleteButton, SaveButton}) b->SetEnabled(false);
}

void RecordPage::Build(TComponent* owner) {
    auto* group = Place<TGroupBox>(owner, Sheet, "", 8, 6, 856, 492);
    group->SetCaption(layout_.groupCaption);

    int top = 24;
    PlaceLabel(owner, group, "", layout_.nameCaption, 14, top, kLabelWidth);
    NameBox = Place<TComboBox>(owner, group, layout_.nameBox, kFieldLeft, top, kFieldWidth, kFieldHeight);
    NameBox->SetStyle(csDropDownList);
    NameBox->OnChange = [this](TObject*) { Select(); };
    NameBox->OnEnter = [this](TObject*) { SelectPlaceholder(); };
    int left = kRightColumn;
    const struct { TButton** button; const char* name; const char* caption; } buttons[] = {
        {&AddButton, layout_.addButton, "&Add"}, {&EditButton, layout_.editButton, kEditCaption},
        {&DeleteButton, layout_.deleteButton, "&Delete"}, {&SaveButton, layout_.saveButton, "&Save"},
    };
    for (const auto& b : buttons) {
        *b.button = PlaceButton(owner, group, b.name, b.caption, left, top - 2);
        left += 90;
    }
    AddButton->OnClick = [this](TObject*) { AddClick(); };
    EditButton->OnClick = [this](TObject*) { EditClick(); };
    DeleteButton->OnClick = [this](TObject*) { DeleteClick(); };
    SaveButton->OnClick = [this](TObject*) { SaveClick(); };

    top += 40;
    for (const auto& field : RecordSchemaOf().fields) {
        BoundField bound{&field, nullptr, nullptr};
        const std::string name(field.control);
        switch (field.kind) {
        case RecordFieldKind::Text:
            bound.label = PlaceLabel(owner, group, "", std::string(field.caption), 14, top, kLabelWidth);
            bound.control = Place<TEdit>(owner, group, name, kFieldLeft, top, kFieldWidth, kFieldHeight);
            break;
        case RecordFieldKind::Choice: {
            bound.label = PlaceLabel(owner, group, "", std::string(field.caption), 14, top, kLabelWidth);
            auto* box = Place<TComboBox>(owner, group, name, kFieldLeft, top, kFieldWidth, kFieldHeight);
            box->SetStyle(csDropDownList);
            for (auto item : field.items) box->Items()->Add(std::string(item));
            box->SetItemIndex(MatchChoice(field.items, field.newValue));
            bound.control = box;
            break;
        }
        case RecordFieldKind::Flag:
            PasswordBox = Place<TCheckBox>(owner, group, name, 14, top, kLabelWidth + kFieldWidth + 20, 19);
            PasswordBox->SetCaption("This site requires a username and / or password to be viewed");
            PasswordBox->OnClick = [this](TObject*) { CheckBox9Click(); };
            bound.control = PasswordBox;
            break;
        }
        fields_.push_back(bound);
        top += kRowHeight;
    }

    if (list_ == RecordList::WebSites) {
        VisitButton = PlaceButton(owner, group, "Button6", "&Visit Web Site", kFieldLeft, top);
        VisitButton->SetWidth(120);
        VisitButton->OnClick = [this](TObject*) { VisitClick(); };
        top += kRowHeight + 8;
        CheckBox9Click();
    }

    top += 16;
    for (const char* note : layout_.notes) {
        if (!note) break;
        const int height = note != layout_.notes[0] ? 17 : list_ == RecordList::WebSites ? 51 : 34;
        auto* label = Place<TLabel>(owner, group, "", 14, top, kLabelWidth + kFieldWidth, height);
        label->SetAutoSize(false);
        label->SetShowAccelChar(false);
        label->SetWordWrap(true);
        label->SetCaption(note);
        top += height + 2;
    }

    PlaceLabel(owner, group, "", "Comments:", kRightColumn, 64, 70);
    CommentNote = PlaceLabel(owner, group, "", "", kRightColumn + 70, 64, kRightWidth - 70);
    Comment = Place<TRichEdit>(owner, group, layout_.comment, kRightColumn, 86, kRightWidth, 390);
    Comment->SetScrollBars(ssVertical);
}

TWinControl* RecordPage::Field(std::string_view key) const {
    for (const auto& bound : fields_)
        if (bound.field->key == key) return bound.control;
    return nullptr;
}

std::string RecordPage::FieldValue(std::string_view key) const {
    for (const auto& bound : fields_)
        if (bound.field->key == key) return ValueOf(bound);
    return {};
}

void RecordPage::ShowValue(const BoundField& bound, std::string_view value) {
    switch (bound.field->kind) {
    case RecordFieldKind::Text: static_cast<TEdit*>(bound.control)->SetText(std::string(value)); break;
    case RecordFieldKind::Choice:
        static_cast<TComboBox*>(bound.control)->SetItemIndex(MatchChoice(bound.field->items, value));
        break;
    case RecordFieldKind::Flag: static_cast<TCheckBox*>(bound.control)->SetChecked(IniReadBool(value, false)); break;
    }
}

std::string RecordPage::ValueOf(const BoundField& bound) const {
    switch (bound.field->kind) {
    case RecordFieldKind::Text: return bound.control->GetText();
    case RecordFieldKind::Choice: {
        auto* box = static_cast<TComboBox*>(bound.control);
        return box->ItemIndex() < 0 ? std::string() : box->Items()->Get(box->ItemIndex());
    }
    case RecordFieldKind::Flag: return IniFormatBool(static_cast<TCheckBox*>(bound.control)->Checked());
    }
    return {};
}

HWND RecordPage::OwnerWindow() const { return GetAncestor(Sheet->Handle(), GA_ROOT); }

std::string RecordPage::ChosenName() const {
    return NameBox->ItemIndex() < 0 ? std::string() : NameBox->Items()->Get(NameBox->ItemIndex());
}

void RecordPage::SelectName(const std::string& name) {
    NameBox->SetItemIndex(name.empty() ? -1 : NameBox->Items()->IndexOf(name));
}

void RecordPage::FillNames(const std::vector<std::string>& names) {
    const std::string chosen = mode_ == Mode::View ? ChosenName() : std::string();
    TStrings* items = NameBox->Items();
    items->BeginUpdate();
    items->Clear();
    for (const auto& name : names) items->Add(name);
    items->EndUpdate();
    if (chosen.empty()) return;
    SelectName(chosen);
    // A record that is gone must not leave its fields and a live Delete behind.
    if (NameBox->ItemIndex() < 0) Select();
}

void RecordPage::Select() {
    if (mode_ == Mode::Adding) return;
    const std::string name = ChosenName();
    if (name.empty()) {
        for (auto* b : {EditButton, SaveButton, DeleteButton}) b->SetEnabled(false);
        ClearRecord();
        return;
    }
    if (mode_ == Mode::View) {
        EditButton->SetEnabled(true);
        DeleteButton->SetEnabled(true);
    }
    ShowRecord(name);
    // Another web site chosen while editing: what is shown now is that record as stored.
    if (mode_ == Mode::Editing) editStart_ = EditableState();
}

void RecordPage::ShowRecord(const std::string& name) {
    const StoredRecord record = store_.Read(list_, name);
    for (const auto& bound : fields_) ShowValue(bound, record.values.find(bound.field->key)->second);
    commentFile_ = record.commentFile;
    // Left showing, the record chosen before would have its comment saved into this one's file.
    std::string text;
    bool unread = false;
    try {
        text = store_.Comment(record);
    } catch (const std::exception&) {
        unread = true;
    }
    ShowComment(text, unread);
}

void RecordPage::ShowComment(const std::string& text, bool unread) {
    if (text.empty()) Comment->Clear();
    else Comment->LoadRtfOrText(text);
    commentUnread_ = unread;
    CommentNote->SetCaption(unread ? kCommentUnreadNote : "");
}

void RecordPage::ClearRecord() {
    for (const auto& bound : fields_) {
        if (bound.field->kind == RecordFieldKind::Choice) static_cast<TComboBox*>(bound.control)->SetItemIndex(-1);
        else ShowValue(bound, "");
    }
    ShowComment("", false);
    commentFile_.clear();
}

void RecordPage::SetFieldsEditable(bool editable) {
    const TColor color = editable ? clWindow : clBtnFace;
    for (const auto& bound : fields_) {
        if (bound.field->kind == RecordFieldKind::Text) {
            auto* edit = static_cast<TEdit*>(bound.control);
            edit->SetReadOnly(!editable);
            edit->SetColor(color);
        } else {
            // Lists and check boxes cannot be read-only: they take no choice in view mode.
            bound.control->SetEnabled(editable);
        }
    }
    Comment->SetReadOnly(!editable);
    Comment->SetColor(color);
}

std::vector<std::string> RecordPage::EditableState() const {
    // The comment's text is at kCommentState.
    std::vector<std::string> state{NameBox->GetText(), Comment->StreamOut(false)};
    for (const auto& bound : fields_) state.push_back(ValueOf(bound));
    return state;
}

bool RecordPage::HasUnsavedChanges() const { return Editing() && EditableState() != editStart_; }

void RecordPage::SelectPlaceholder() {
    if (mode_ != Mode::Adding || RecordSchemaOf().placeholder.empty()) return;
    if (NameBox->GetText() != RecordSchemaOf().placeholder) return;
    // Posted: a click that gives the focus places the caret after the focus arrives.
    PostMessageA(NameBox->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void RecordPage::EnterEditMode(Mode mode) {
    mode_ = mode;
    SetFieldsEditable(true);
    EditButton->SetCaption(layout_.cancelCaption);
    EditButton->SetEnabled(true);
    SaveButton->SetEnabled(true);
    // Deleting or adding mid-edit would leave the other pages disabled with no way back.
    AddButton->SetEnabled(false);
    DeleteButton->SetEnabled(false);
    NameBox->SetEnabled(mode == Mode::Adding || layout_.listUsableWhileEditing);
    if (OnEditMode) OnEditMode(true);
    editStart_ = EditableState();
}

void RecordPage::LeaveEditMode() {
    mode_ = Mode::View;
    editStart_.clear();
    NameBox->SetStyle(csDropDownList);
    NameBox->SetEnabled(true);
    SetFieldsEditable(false);
    EditButton->SetCaption(kEditCaption);
    SaveButton->SetEnabled(false);
    AddButton->SetEnabled(true);
    if (OnEditMode) OnEditMode(false);
}

void RecordPage::AddClick() {
    if (mode_ != Mode::View) return;
    // Cancel comes back to the record chosen before Add.
    currentName_ = ChosenName();
    commentFile_.clear();
    NameBox->SetItemIndex(-1);
    NameBox->SetStyle(layout_.addingNameStyle);
    NameBox->SetText(std::string(RecordSchemaOf().placeholder));
    // A new record starts from the defaults, never from the record shown before.
    for (const auto& bound : fields_) ShowValue(bound, bound.field->newValue);
    ShowComment("", false);
    EnterEditMode(Mode::Adding);
    // The name comes first; Add itself is disabled now and would keep the focus nowhere.
    if (NameBox->CanFocus()) NameBox->SetFocus();
    SelectPlaceholder();
}

void RecordPage::EditClick() {
    if (mode_ == Mode::View) {
        if (ChosenName().empty()) return;
        currentName_ = ChosenName();
        // The record as stored decides which comment file it keeps.
        commentFile_ = store_.Read(list_, currentName_).commentFile;
        EnterEditMode(Mode::Editing);
        return;
    }
    LeaveEditMode();
    SelectName(currentName_);
    Select();
}

bool RecordPage::SaveClick() {
    if (mode_ == Mode::View) return false;
    const RecordSchema& schema = RecordSchemaOf();
    std::string name;
    if (mode_ == Mode::Adding) {
        name = TrimBlanks(NameBox->GetText());
        if (const std::string problem = NewRecordNameProblem(schema, name, store_.Names(list_)); !problem.empty()) {
            ShowMessage(problem);
            return false;
        }
    } else {
        name = layout_.listUsableWhileEditing ? ChosenName() : currentName_;
        if (name.empty()) {
            ShowMessage("You must give the " + std::string(schema.noun) + " a name!");
            return false;
        }
    }
    RecordValues values;
    for (const auto& bound : fields_) values[std::string(bound.field->key)] = ValueOf(bound);
    std::string file = layout_.newCommentEverySave ? std::string() : commentFile_;
    std::optional<std::string> comment = Comment->StreamOut(true);
    if (commentUnread_) {
        // Untouched, the unread file stays as it is; a comment typed anew gets a file of its own.
        if (Comment->StreamOut(false) == editStart_[kCommentState]) {
            comment.reset();
            file = commentFile_;
        } else {
            file.clear();
        }
    }
    commentFile_ = store_.Save(list_, name, values, file, comment);
    if (comment) {
        commentUnread_ = false;
        CommentNote->SetCaption("");
    }
    currentName_ = name;

    LeaveEditMode();
    if (OnSaved) OnSaved();
    else FillNames(store_.Names(list_));
    SelectName(currentName_);
    EditButton->SetEnabled(true);
    DeleteButton->SetEnabled(true);
    return true;
}

void RecordPage::DeleteClick() {
    const std::string name = ChosenName();
    if (mode_ != Mode::View || name.empty()) return;
    if (MessageDlg(std::string(layout_.deletePrompt) + "\r\n\r\n" + name, mtConfirmation, mbYesNo) != mrYes) return;
    store_.Erase(list_, name);
    NameBox->Items()->Delete(NameBox->ItemIndex());
    NameBox->SetItemIndex(-1);
    Select();
}

void RecordPage::VisitClick() {
    auto* url = Field("URL");
    if (!url) return;
    const VisitDecision decision = DecideVisit(url->GetText());
    switch (decision.action) {
    case VisitDecision::Nothing: break;
    case VisitDecision::Refuse: ShowMessage(decision.message); break;
    case VisitDecision::Open:
        StartViaShell(OwnerWindow(), {decision.address, "", state_.ProgramFolder, SW_SHOWNORMAL});
        break;
    }
}

void RecordPage::CheckBox9Click() {
    if (!PasswordBox) return;
    const bool shown = PasswordBox->Checked();
    for (const auto& bound : fields_)
        if (bound.field->key == "Username" || bound.field->key == "Password") {
            bound.control->SetVisible(shown);
            if (bound.label) bound.label->SetVisible(shown);
        }
}

}  // namespace editor
