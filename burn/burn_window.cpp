#include "burn/burn_window.h"

#include <windows.h>

#include "burn/device_layers.h"
#include "burn/portable/start_arguments.h"
#include "forms/application.h"

namespace burn {

using namespace forms;

namespace {

// Posted when the log queue goes from empty to holding lines.
constexpr UINT kLogArrived = WM_APP + 0x42;
constexpr int kClientWidth = 506, kClientHeight = 427;

std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

template <class T>
T* Place(TForm1* form, TWinControl* parent, const char* name, int left, int top, int width, int height) {
    auto* control = new T(form);
    control->SetName(name);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

}  // namespace

TForm1::TForm1(TComponent* owner, std::vector<std::string> args, std::string programFolder)
    : TForm(owner), ProgramFolder(std::move(programFolder)), args_(std::move(args)), log_([this] {
          if (HandleAllocated()) PostMessageA(Handle(), kLogArrived, 0, 0);
      }) {
    SetName("Form1");
    SetCaption(kBurnWindowCaption);
    SetBorderStyle(bsSingle);
    SetBorderIcons(0);
    SetFormStyle(fsStayOnTop);
    SetPosition(poDesktopCenter);
    SetClientSize(kClientWidth, kClientHeight);
    BuildControls();
    mcdb = std::make_unique<TSCSIDevice>(ProcessAspiLayer(), SystemClock());
    mcdb->DoDebug = true;
    mcdb->UnderrunProtection = true;
    mcdb->FinalizeDisc = true;
    mcdb->LoadLayer = [](bool preferSpti) { return ProcessAspiLoader().LoadASPILayer(preferSpti); };
    // The write thread logs too: every line goes through the queue to this window's thread.
    mcdb->OnDebugMessage = [this](TSCSIDevice&, const std::string& text, std::uint8_t level) {
        log_.Push(text, level);
    };
    choice_ = std::make_unique<DriveChoice>(*mcdb);
    OnShow = [this](TObject*) { FormShow(); };
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::BuildControls() {
    Label1 = Place<TLabel>(this, this, "Label1", 8, 8, 490, 32);
    // Wrapping first: an auto-sized label without it shrinks to its (empty) text's width.
    Label1->SetWordWrap(true);
    Label1->SetAlignment(taCenter);
    Label1->SetCaption(
        "CD Burning is experimental, if it works then great - If it doesn't then use other burning software.");
    GroupBox1 = Place<TGroupBox>(this, this, "GroupBox1", 8, 44, 490, 340);
    Label3 = Place<TLabel>(this, GroupBox1, "Label3", 12, 20, 300, 16);
    Label3->SetCaption("Select CD Burning Device:");
    cbdrives = Place<TComboBox>(this, GroupBox1, "cbdrives", 12, 38, 340, 21);
    cbdrives->SetStyle(csDropDownList);
    cbdrives->OnChange = [this](TObject*) { cbdrivesChange(); };
    Label4 = Place<TLabel>(this, GroupBox1, "Label4", 364, 20, 100, 16);
    Label4->SetCaption("Speed:");
    cbSpeed = Place<TComboBox>(this, GroupBox1, "cbSpeed", 364, 38, 114, 21);
    cbSpeed->SetStyle(csDropDownList);
    Label2 = Place<TLabel>(this, GroupBox1, "Label2", 12, 68, 100, 16);
    Label2->SetCaption("Log:");
    Memo1 = Place<TMemo>(this, GroupBox1, "Memo1", 12, 86, 466, 240);
    Memo1->SetReadOnly(true);
    Memo1->SetScrollBars(ssVertical);
    Memo1->SetTabStop(false);
    Button1 = Place<TButton>(this, this, "Button1", 316, 392, 85, 25);
    Button1->SetCaption("Close");
    Button1->OnClick = [this](TObject*) { Button1Click(); };
    bburn = Place<TButton>(this, this, "bburn", 412, 392, 85, 25);
    bburn->SetCaption("Burn");
    bburn->SetEnabled(false);
}

void TForm1::FormCreate() {
    if (args_.size() == 1) return;
    terminating_ = true;
    Application->MessageBox(kNotCalledMessage, Application->Title(), MB_ICONERROR | MB_OK);
    Application->Terminate();
}

void TForm1::FormShow() {
    if (terminating_) return;
    PortfolioName = args_[0];
    GroupBox1->SetCaption(" " + PortfolioName + " ");
    if (ProgramFolder.empty()) ProgramFolder = ExecutableFolder();
    const StartRequest request = ReadStartArguments(args_, ProgramFolder, IsFolder);
    portfolioAccepted_ = request.Verdict == StartVerdict::Burn;
    PortfolioFolder = request.Folder;
    Memo1->Lines()->Add("Ready to burn: " + PortfolioName);
    Memo1->Lines()->Add("To start, click \"Burn\".  To exit, click \"Close\".");
    mcdb->DebugMessage(">>> " + Caption(), 0);
    FlushLog();
    if (!portfolioAccepted_) Application->MessageBox(kNoPortfolioMessage, Application->Title(), MB_ICONERROR | MB_OK);
    if (choice_->Start()) {
        ShowChoices();
        FlushLog();
        Memo1->Lines()->Clear();
    } else {
        Application->MessageBox(std::string("Error initializing ASPI Layer, Please visit support page, ") +
                                    kSupportPage + " For more information",
                                Application->Title(), MB_OK);
    }
}

void TForm1::ShowChoices() {
    const DriveChoices& c = choice_->Choices();
    cbdrives->Items()->Clear();
    for (const auto& line : c.Drives) cbdrives->Items()->Add(line);
    cbdrives->SetItemIndex(c.DriveIndex);
    cbdrives->SetHint(c.DriveIndex >= 0 ? c.Drives[c.DriveIndex] : std::string());
    cbSpeed->Items()->Clear();
    for (const auto& line : c.Speeds) cbSpeed->Items()->Add(line);
    cbSpeed->SetItemIndex(c.SpeedIndex);
    bburn->SetEnabled(portfolioAccepted_ && c.BurnEnabled);
}

void TForm1::cbdrivesChange() {
    choice_->SetSpeedIndex(cbSpeed->ItemIndex());
    choice_->PickDrive(cbdrives->ItemIndex());
    ShowChoices();
}

void TForm1::cbSpeedDropDown() {
    choice_->SetSpeedIndex(cbSpeed->ItemIndex());
    choice_->RebuildSpeeds();
    ShowChoices();
}

std::uint16_t TForm1::GetSpeed() {
    choice_->SetSpeedIndex(cbSpeed->ItemIndex());
    const std::uint16_t speed = choice_->ChosenSpeed();
    cbSpeed->SetItemIndex(choice_->Choices().SpeedIndex);
    return speed;
}

void TForm1::Button1Click() { Application->Terminate(); }

void TForm1::FlushLog() {
    for (const auto& line : log_.Drain()) Memo1->Lines()->Add(line.Text);
}

void TForm1::WndProc(TMessage& message) {
    if (message.Msg == kLogArrived) {
        FlushLog();
        return;
    }
    TForm::WndProc(message);
}

}  // namespace burn
