#include "editor/built_portfolios.h"

#include "editor/file_routines.h"
#include "editor/portable/portfolio_name.h"
#include "editor/portable/program_layout.h"
#include "editor/shell_routines.h"

#include "forms/dialogs.h"

namespace editor {
namespace {

using namespace forms;
using controls::TShellFileOperation;

constexpr const char* kFilesMissing = "Cannot launch Distribution Package, some or all files are missing!";
constexpr const char* kNotAPortfolio = "This is not a folder of the Distributable folder and is not deleted:\r\n";

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : std::string();
}

}  // namespace

BuiltPortfolios::BuiltPortfolios(TForm& form, EditorState& state, FinishPage& finish, SiteBuilder& builder)
    : form_(form), state_(state), finish_(finish), builder_(builder) {
    d = new TShellFileOperation(&form);
    d->SetName("d");
    d->SetOperation(controls::foDelete);
    d->SetOptions({controls::fofNoErrorUI});
    d->SetTitle("Deleting");
    finish.ComboBox12->SetSorted(true);
    finish.Button4->OnClick = [this](TObject*) { Button4Click(); };
    finish.Button7->OnClick = [this](TObject*) { Button7Click(); };
    finish.Button2->OnClick = [this](TObject*) { Button2Click(); };
    finish.Button5->OnClick = [this](TObject*) { Button5Click(); };
}

std::string BuiltPortfolios::ChosenName() const {
    if (finish_.ComboBox12->ItemIndex() < 0) return {};
    const std::string name = finish_.ComboBox12->Text();
    if (const std::string problem = PortfolioNameProblem(name, state_.ProgramFolder, NameText::Ansi); !problem.empty()) {
        ShowMessage(problem);
        return {};
    }
    return name;
}

void BuiltPortfolios::Button4Click() {
    const std::string name = ChosenName();
    if (name.empty()) return;
    const std::string folder = PortfolioFolder(state_.ProgramFolder, name) + "\\";
    if (!FileExists(folder + "index.html")) {
        ShowMessage(kFilesMissing);
        return;
    }
    // Shown normally: a hidden browser window would open nothing the user can see.
    MyExecuteFile(form_.Handle(), {folder + "index.html", " ", folder, SW_SHOWNORMAL});
}

void BuiltPortfolios::Button7Click() {
    const std::string name = ChosenName();
    if (name.empty()) return;
    // The shell deletes whatever it is given, with everything in it: only an entry of
    // Distributable itself may reach it.
    const std::string path = FullPath(PortfolioFolder(state_.ProgramFolder, name));
    const std::string portfolios = FullPath(state_.Path("Distributable"));
    if (path.empty() || portfolios.empty() || !SitsDirectlyInside(path, portfolios)) {
        ShowMessage(kNotAPortfolio + path);
        return;
    }
    d->SourceFiles()->Clear();
    d->SourceFiles()->Add(path);
    bool deleted = false;
    try {
        deleted = d->Execute();
    } catch (...) {
        d->SourceFiles()->Clear();
        throw;
    }
    d->SourceFiles()->Clear();
    if (!deleted) return;
    if (FileHasAttr(path, FILE_ATTRIBUTE_DIRECTORY)) RemoveDirectoryA(path.c_str());
    for (auto* b : {finish_.Button4, finish_.Button5, finish_.Button7}) b->SetEnabled(false);
    finish_.ComboBox12->Items()->Delete(finish_.ComboBox12->ItemIndex());
    finish_.ComboBox12->SetItemIndex(-1);
}

void BuiltPortfolios::Button2Click() {
    const std::string name = TrimPortfolioName(finish_.Edit29->Text());
    if (name.empty()) return;
    // vantburn is started only with a site that was built in full.
    if (!builder_.Button3Click()) return;
    StartBurn(name);
}

void BuiltPortfolios::Button5Click() {
    const std::string name = ChosenName();
    if (!name.empty()) StartBurn(name);
}

void BuiltPortfolios::StartBurn(const std::string& name) {
    // By its full path: started from another folder, a bare name would start something else.
    StartViaShell(form_.Handle(), {state_.Path(std::string(kBurnProgram)), BurnParameter(name), state_.ProgramFolder,
                                   SW_SHOWNORMAL});
}

}  // namespace editor
