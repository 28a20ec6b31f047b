#include "editor/biography_page.h"

#include "editor/control_factory.h"
#include "editor/portable/dates.h"

namespace editor {
namespace {

using namespace forms;

constexpr int kRowHeight = 27;
constexpr int kFieldHeight = 21;
constexpr int kGroupTop = 20;  // first row inside a group box, below its caption
constexpr const char* kCommentsCaption = " Comments ";
constexpr const char* kCommentsUnreadCaption = " Comments (the file could not be read) ";

struct FieldRow {
    const char* name;
    const char* caption;
};

// Check boxes with their caption in front, as the fields' labels are.
void PlaceChecks(TComponent* owner, TWinControl* group, const FieldRow* rows, int count, int columns,
                 int columnWidth) {
    for (int i = 0; i < count; ++i) {
        auto* box = Place<TCheckBox>(owner, group, rows[i].name, 10 + (i % columns) * columnWidth,
                                     kGroupTop + (i / columns) * 22, columnWidth - 14, 19);
        box->SetCaption(rows[i].caption);
        box->SetAlignment(taLeftJustify);
    }
}

TEdit* PlaceEditRow(TComponent* owner, TWinControl* group, const FieldRow& row, int top, int labelWidth,
                    int fieldWidth) {
    PlaceLabel(owner, group, "", row.caption, 10, top, labelWidth);
    return Place<TEdit>(owner, group, row.name, 10 + labelWidth, top, fieldWidth, kFieldHeight);
}

TComboBox* PlaceComboRow(TComponent* owner, TWinControl* group, const char* name, const char* caption, int top,
                         int labelWidth, int fieldWidth) {
    PlaceLabel(owner, group, "", caption, 10, top, labelWidth);
    return Place<TComboBox>(owner, group, name, 10 + labelWidth, top, fieldWidth, kFieldHeight);
}

}  // namespace

BiographyPage::BiographyPage(TComponent* owner, TTabSheet* sheet) {
    // Left column: who the model is, and the media she works in.
    auto* personal = Place<TGroupBox>(owner, sheet, "GroupBox1", 8, 6, 292, 232);
    personal->SetCaption(" Personal Information ");
    constexpr int labelWidth = 86, fieldWidth = 186;
    int top = kGroupTop;
    Edit1 = PlaceEditRow(owner, personal, {"Edit1", "Name:"}, top, labelWidth, fieldWidth);
    top += kRowHeight;
    ComboBox14 = PlaceComboRow(owner, personal, "ComboBox14", "Sex:", top, labelWidth, 100);
    ComboBox14->SetStyle(csDropDownList);
    ComboBox14->Items()->Add("Female");
    ComboBox14->Items()->Add("Male");
    ComboBox14->SetItemIndex(0);
    top += kRowHeight;
    PlaceLabel(owner, personal, "", "Date of Birth:", 10, top, labelWidth);
    DateTimePicker1 = Place<TDateTimePicker>(owner, personal, "DateTimePicker1", 10 + labelWidth, top, 186, kFieldHeight);
    top += kRowHeight;
    Label61 = PlaceLabel(owner, personal, "Label61", "", 10 + labelWidth, top - 5, fieldWidth);
    top += kRowHeight - 8;
    const FieldRow place[] = {{"Edit3", "Town:"}, {"Edit4", "State:"}, {"Edit5", "E-Mail:"}, {"Edit6", "Web Site:"}};
    for (const auto& row : place) {
        PlaceEditRow(owner, personal, row, top, labelWidth, fieldWidth);
        top += kRowHeight;
    }

    auto* medium = Place<TGroupBox>(owner, sheet, "GroupBox2", 8, 244, 292, 90);
    medium->SetCaption(" Medium ");
    const FieldRow media[] = {{"CheckBox1", "Catwalk:"}, {"CheckBox2", "Photographic:"},
                              {"CheckBox3", "Film / Video:"}, {"CheckBox4", "Television:"},
                              {"CheckBox5", "Promotions:"}};
    PlaceChecks(owner, medium, media, 5, 2, 140);

    auto* interests = Place<TGroupBox>(owner, sheet, "GroupBox4", 8, 340, 292, 158);
    interests->SetCaption(" Interested In ");
    const FieldRow styles[] = {{"CheckBox18", "Glamour:"}, {"CheckBox19", "Fashion:"},
                               {"CheckBox20", "Swimwear:"}, {"CheckBox21", "Underwear:"},
                               {"CheckBox22", "Lingerie:"}, {"CheckBox23", "Sheer:"},
                               {"CheckBox24", "Implied Nudity:"}, {"CheckBox25", "Art Nude:"},
                               {"CheckBox26", "Topless:"}, {"CheckBox27", "Plus Model:"},
                               {"CheckBox28", "Other:"}};
    PlaceChecks(owner, interests, styles, 11, 2, 140);

    // Middle column: the vital statistics and Save.
    auto* vital = Place<TGroupBox>(owner, sheet, "GroupBox3", 308, 6, 276, 492);
    vital->SetCaption(" Vital Statistics ");
    constexpr int vitalLabel = 84, vitalField = 170;
    top = kGroupTop;
    ComboBox1 = PlaceComboRow(owner, vital, "ComboBox1", "Build Type:", top, vitalLabel, vitalField);
    ComboBox1->SetSorted(true);
    for (const char* item : {"Large", "Medium", "Medium to Large", "Slim", "Slim / Petite", "Slim to Medium"})
        ComboBox1->Items()->Add(item);
    top += kRowHeight;
    const FieldRow looks[] = {{"Edit2", "Complection:"}, {"Edit7", "Hieght:"}, {"Edit8", "Hair Colour:"}};
    for (const auto& row : looks) {
        PlaceEditRow(owner, vital, row, top, vitalLabel, vitalField);
        top += kRowHeight;
    }
    ComboBox2 = PlaceComboRow(owner, vital, "ComboBox2", "Hair Length:", top, vitalLabel, vitalField);
    for (const char* item : {"Short and Straight", "Short and Curly", "Short and Wavy", "Medium and Straight",
                             "Medium and Curly", "Medium and Wavy", "Long and Straight", "Long and Curly",
                             "Long and Wavy"})
        ComboBox2->Items()->Add(item);
    top += kRowHeight;
    const FieldRow measures[] = {{"Edit9", "Eye Colour:"}, {"Edit10", "Chest:"}, {"Edit11", "Hips:"},
                                 {"Edit12", "Waist:"}};
    for (const auto& row : measures) {
        PlaceEditRow(owner, vital, row, top, vitalLabel, vitalField);
        top += kRowHeight;
    }
    BraSizeLabel = PlaceLabel(owner, vital, "BraSizeLabel", "Bra Size:", 10, top, vitalLabel);
    Edit13 = Place<TEdit>(owner, vital, "Edit13", 10 + vitalLabel, top, vitalField, kFieldHeight);
    top += kRowHeight;
    const FieldRow marks[] = {{"Edit14", "Shoe Size:"}, {"Edit15", "Piercings:"}, {"Edit16", "Tattoos:"}};
    for (const auto& row : marks) {
        PlaceEditRow(owner, vital, row, top, vitalLabel, vitalField);
        top += kRowHeight;
    }
    auto* unitHint = Place<TLabel>(owner, vital, "UnitHintLabel", 10, top + 2, 256, 48);
    unitHint->SetWordWrap(true);
    unitHint->SetCaption("When specifying measurments make sure you also specify the unit type, such as Inches, "
                         "or Centimeters.");
    Button1 = Place<TButton>(owner, vital, "Button1", 186, 454, 80, 26);
    Button1->SetCaption("Save");

    // Right column: the comments employers read, and the look of the program.
    auto* comments = Place<TGroupBox>(owner, sheet, "GroupBox5", 592, 6, 272, 350);
    comments->SetCaption(kCommentsCaption);
    CommentsGroup = comments;
    RichEdit4 = Place<TRichEdit>(owner, comments, "RichEdit4", 10, kGroupTop, 252, 320);
    RichEdit4->SetWantTabs(true);
    RichEdit4->SetHint("Will be shown to prospective employers.");
    RichEdit4->SetShowHint(true);

    auto* look = Place<TGroupBox>(owner, sheet, "GroupBox6", 592, 362, 272, 78);
    look->SetCaption(" Appearance ");
    CheckBox7 = Place<TCheckBox>(owner, look, "CheckBox7", 10, kGroupTop, 150, 19);
    CheckBox7->SetCaption("Enable Skins");
    // The slider is never skinned: it takes the colour of the group it stands on.
    Slider1 = Place<controls::TSlider>(owner, look, "Slider1", 4, kGroupTop + 22, 264, 25);
    Slider1->SetMaxValue(5);
    Slider1->SetIncrement(1);
    Slider1->SetEdgeSize(1);
    Slider1->SetParentColor(true);
    Slider1->SetHint("Drag the slider left to right to change the appearance of Vantrell.  The change you make "
                     "here will not affect what the potential employer sees.");
    Slider1->SetShowHint(true);

    auto* note = Place<TLabel>(owner, sheet, "Label63", 592, 446, 272, 52);
    note->SetWordWrap(true);
    note->SetCaption("You should fill out every field and tick every option that applies to you.  The more "
                     "accurate the information you give to prospective employers the better your chances.");

    DateTimePicker1->OnChange = [this](TObject*) { DateTimePicker1Change(); };
    ComboBox14->OnChange = [this](TObject*) { ComboBox14Change(); };
    Button1->OnClick = [this](TObject*) { if (OnSave) OnSave(); };
}

void BiographyPage::DateTimePicker1Change() {
    Label61->SetCaption(AgeLabel(AgeInYears(forms::Now(), DateTimePicker1->DateTime())));
}

void BiographyPage::LoadComments(editor::PortfolioFiles& files, const std::string& path) {
    bool unread = false;
    try {
        if (files.FileExists(path)) RichEdit4->LoadRtfOrText(files.ReadFile(path));
    } catch (const std::exception&) {
        // Saved from an empty box, her comments would be lost.
        RichEdit4->Clear();
        unread = true;
    }
    ShowCommentsUnread(unread);
}

std::optional<std::string> BiographyPage::CommentsToSave() {
    if (commentsUnread_ && RichEdit4->StreamOut(false) == unreadText_) return std::nullopt;
    return RichEdit4->StreamOut(true);
}

void BiographyPage::CommentsSaved() { ShowCommentsUnread(false); }

void BiographyPage::ShowCommentsUnread(bool unread) {
    commentsUnread_ = unread;
    unreadText_ = unread ? RichEdit4->StreamOut(false) : std::string();
    CommentsGroup->SetCaption(unread ? kCommentsUnreadCaption : kCommentsCaption);
}

void BiographyPage::ComboBox14Change() {
    const bool female = ComboBox14->ItemIndex() != 1;
    BraSizeLabel->SetVisible(female);
    Edit13->SetVisible(female);
}

}  // namespace editor
