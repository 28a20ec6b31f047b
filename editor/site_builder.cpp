#include "editor/site_builder.h"

#include "editor/control_factory.h"
#include "editor/portable/portfolio_name.h"
#include "editor/portable/program_layout.h"
#include "editor/portfolio_files_win.h"
#include "editor/record_store_win.h"

#include "controls/special_progress.h"

#include "forms/application.h"
#include "forms/check_box.h"
#include "forms/dialogs.h"
#include "forms/form.h"
#include "forms/ini_file.h"

namespace editor {
namespace {

using namespace forms;

constexpr const char* kNoTemplate = "Please select an HTML Template before building your Portfolio!";

// The "Progress:" caption and the painted bar, both shown only while a build runs. The build
// lets no messages run, so the bar paints itself at once.
class BarProgressView : public BuildProgressView {
public:
    BarProgressView(TLabel* caption, controls::TSpecialProgress* bar) : caption_(caption), bar_(bar) {}
    void SetVisible(bool visible) override {
        caption_->SetVisible(visible);
        bar_->SetVisible(visible);
        if (visible) bar_->Repaint();
    }
    void SetPosition(int position) override {
        bar_->SetPosition(position);
        bar_->Repaint();
    }

private:
    TLabel* caption_;
    controls::TSpecialProgress* bar_;
};

}  // namespace

SiteBuilder::SiteBuilder(TForm& form, EditorState& state, FinishPage& finish)
    : form_(form), state_(state), finish_(finish) {
    auto* group = finish.Memo1->Parent();
    ProgressLabel = PlaceLabel(&form, group, "ProgressLabel", "Progress:", 14, 463, 130);
    ProgressLabel->SetVisible(false);
    prog = PlaceProgressBar(&form, group, "prog", 144, 460, 690);
    prog->SetMinimum(0);
    prog->SetMaximum(100);
    prog->SetVisible(false);
    progress_ = std::make_unique<BarProgressView>(ProgressLabel, prog);
    comments_ = std::make_unique<RichEditCommentText>(&form, group);
    finish.Button3->OnClick = [this](TObject*) { Button3Click(); };
}

SiteBuilder::~SiteBuilder() = default;

SiteContent SiteBuilder::BiographyContent() const {
    SiteContent content;
    for (const auto& k : BiographyKeywords()) {
        auto* component = form_.FindComponent(std::string(k.control));
        std::string value;
        if (auto* box = dynamic_cast<TCheckBox*>(component)) value = box->Checked() ? "Yes" : "No";
        else if (auto* control = dynamic_cast<TControl*>(component)) value = control->Text();
        content.biography[std::string(k.keyword)] = value;
    }
    return content;
}

bool SiteBuilder::buildhtml(const std::string& name) {
    const std::string templateName = finish_.ComboBox13->Text();
    auto* log = finish_.Memo1->Lines();
    progress_->SetPosition(0);
    progress_->SetVisible(true);
    try {
        SiteContent content = BiographyContent();
        WinRecordStore records(state_.ProgramFolder);
        ReadSiteRecords(records, *comments_, content);
        WinPortfolioFiles files;
        SiteBuild build(files, state_.ProgramFolder);
        build.OnLog = [log](const std::string& line) { log->Add(line); };
        build.OnProgress = [this](int position) { progress_->SetPosition(position); };
        build.Run(templateName, name, content);
    } catch (const std::exception& e) {
        progress_->SetVisible(false);
        log->Add(std::string("Build failed: ") + e.what());
        Application->HandleException(e);
        return false;
    }
    progress_->SetVisible(false);
    return true;
}

bool SiteBuilder::Button3Click() {
    if (finish_.ComboBox13->ItemIndex() < 0) {
        ShowMessage(kNoTemplate);
        return false;
    }
    const std::string name = TrimPortfolioName(finish_.Edit29->Text());
    if (const std::string problem = PortfolioNameProblem(name, state_.ProgramFolder, NameText::Ansi); !problem.empty()) {
        ShowMessage(problem);
        return false;
    }
    if (!buildhtml(name)) return false;
    auto* portfolios = finish_.ComboBox12->Items();
    int index = portfolios->IndexOf(name);
    if (index < 0) index = portfolios->Add(name);
    finish_.ComboBox12->SetItemIndex(index);
    finish_.ComboBox12Change();
    finish_.Button4->SetEnabled(true);
    try {
        state_.LastTemplate = finish_.ComboBox13->Text();
        TIniFile ini(state_.Path(std::string(kSettingsFile)));
        ini.WriteString("HTML", "LastUsed", state_.LastTemplate);
        ini.UpdateFile();
    } catch (const std::exception& e) {
        Application->HandleException(e);
    }
    finish_.Button3->SetEnabled(false);
    finish_.Button2->SetEnabled(false);
    finish_.Edit29->SetText("");
    return true;
}

}  // namespace editor
