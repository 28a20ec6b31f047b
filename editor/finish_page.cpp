#include "editor/finish_page.h"

#include "editor/control_factory.h"
#include "editor/portable/program_layout.h"
#include "forms/group_box.h"

namespace editor {
namespace {

using namespace forms;

TButton* PlaceButton(TComponent* owner, TWinControl* parent, const char* name, const char* caption, int left, int top) {
    auto* button = Place<TButton>(owner, parent, name, left, top, 96, 25);
    button->SetCaption(caption);
    return button;
}

}  // namespace

FinishPage::FinishPage(TComponent* owner, TTabSheet* sheet) {
    auto* group = Place<TGroupBox>(owner, sheet, "GroupBox7", 8, 6, 856, 492);
    group->SetCaption(" Build Distributable Porfolio ");
    auto* intro = Place<TLabel>(owner, group, "Label70", 14, 22, 826, 36);
    intro->SetWordWrap(true);
    intro->SetShowAccelChar(false);
    intro->SetCaption("You are ready to distribute your Portfolio.  There is only one thing left to do and that is "
                      "press the \"Build Portfolio\" button.  Optionally you can \"Build & Burn\" which builds the "
                      "portfolio and burns it to a CD or DVD in one go.");

    constexpr int labelWidth = 130, field = 14 + labelWidth;
    PlaceLabel(owner, group, "", "HTML Template:", 14, 70, labelWidth);
    ComboBox13 = Place<TComboBox>(owner, group, "ComboBox13", field, 70, 240, 21);
    ComboBox13->SetStyle(csDropDownList);

    PlaceLabel(owner, group, "", "Name Your Portfolio:", 14, 102, labelWidth);
    Edit29 = Place<TEdit>(owner, group, "Edit29", field, 102, 240, 21);
    Button3 = PlaceButton(owner, group, "Button3", "&Build", field + 252, 100);
    Button3->SetDefault(true);
    Button3->SetEnabled(false);
    Button2 = PlaceButton(owner, group, "Button2", "Build && B&urn", field + 356, 100);
    Button2->SetEnabled(false);
    Button2->SetVisible(false);

    PlaceLabel(owner, group, "", "Existing Portfolios:", 14, 140, labelWidth);
    ComboBox12 = Place<TComboBox>(owner, group, "ComboBox12", field, 140, 240, 21);
    ComboBox12->SetStyle(csDropDownList);
    Button4 = PlaceButton(owner, group, "Button4", "&View", field + 252, 138);
    Button7 = PlaceButton(owner, group, "Button7", "&Delete", field + 356, 138);
    Button5 = PlaceButton(owner, group, "Button5", "Bur&n", field + 460, 138);
    for (auto* b : {Button4, Button7, Button5}) b->SetEnabled(false);
    Button5->SetVisible(false);

    PlaceLabel(owner, group, "", "Log:", 14, 180, labelWidth);
    Memo1 = Place<TMemo>(owner, group, "Memo1", field, 180, 690, 274);
    Memo1->SetReadOnly(true);
    Memo1->SetBorderStyle(bsNone);
    Memo1->SetScrollBars(ssVertical);
    Memo1->SetTabStop(false);

    Edit29->OnChange = [this](TObject*) { Edit29Change(); };
    ComboBox12->OnChange = [this](TObject*) { ComboBox12Change(); };
}

void FinishPage::ShowBurnButtons(bool show) {
    Button2->SetVisible(show);
    Button5->SetVisible(show);
}

void FinishPage::FillLists(const std::vector<std::string>& templates, const std::vector<std::string>& portfolios,
                           const std::string& lastTemplate) {
    ComboBox12->Items()->Clear();
    for (const auto& name : portfolios) ComboBox12->Items()->Add(name);
    ComboBox13->Items()->Clear();
    for (const auto& name : templates) ComboBox13->Items()->Add(name);
    // Folder names compare without regard to case, as the file system does.
    int chosen = ComboBox13->Items()->IndexOf(lastTemplate);
    if (chosen < 0) chosen = ComboBox13->Items()->IndexOf(std::string(kDefaultTemplate));
    ComboBox13->SetItemIndex(chosen);
}

void FinishPage::Edit29Change() {
    const bool named = !Edit29->Text().empty();
    Button3->SetEnabled(named);
    Button2->SetEnabled(named);
}

void FinishPage::ComboBox12Change() {
    const bool chosen = ComboBox12->ItemIndex() >= 0;
    for (auto* b : {Button4, Button7, Button5}) b->SetEnabled(chosen);
}

}  // namespace editor
