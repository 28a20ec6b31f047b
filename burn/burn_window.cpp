#include "burn/burn_window.h"

#include "skin/resource_stream.h"

#include <windows.h>

#include "burn/device_layers.h"
#include "burn/portable/burn_outcome.h"
#include "burn/portable/joliet_names.h"
#include "burn/portable/portfolio_tree.h"
#include "burn/portable/start_arguments.h"
#include "burn/portable/tray_load.h"
#include "burn/wide_paths.h"
#include "forms/application.h"

namespace burn {

using namespace forms;

namespace {

// Posted when the log queue goes from empty to holding lines.
constexpr UINT kLogArrived = WM_APP + 0x42;
// Posted by the burner's end of a burn; lParam owns the outcome text.
constexpr UINT kBurnDone = WM_APP + 0x43;
// Posted once the drive's last steps after a good burn are over.
constexpr UINT kEjectDone = WM_APP + 0x44;
constexpr int kClientWidth = 506, kClientHeight = 427;
constexpr unsigned kTimerMs = 500;
constexpr std::uint32_t kSector = 2048;
constexpr std::int64_t kCacheSize = 4194304;

constexpr char kConfirmText[] =
    "Insert a Blank CD-R and click to start burning.\n\r\n\rClick \"Cancel\" to cancel to process.";
constexpr char kBurnAbortedText[] = "Burning Process Aborted.";
constexpr char kClosingText[] = "Closing CD, please wait...";
constexpr char kCloseRefusedText[] = "The burn is still running: the window can be closed once it is done.";
constexpr char kNoRecorderText[] =
    "No CD Burning Device found, so Burn is off. Connect a recorder and start again.";

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
    SkinData1 = new skin::TSkinData(this);
    {
        // Its properties as the form data holds them; Loaded then installs the skin hook and asks
        // for the window to be dressed.
        forms::TLoadingScope loading(*SkinData1);
        SkinData1->SetName("SkinData1");
        SkinData1->SkinFormtype = skin::sfMainform;
        skin::LoadSkinDataResource(GetModuleHandleA(nullptr), *SkinData1);
        SkinData1->SetActive(true);
    }
    BuildControls();
    mcdb = std::make_unique<TCDBurner>(ProcessAspiLayer(), SystemClock(), files_);
    ConnectBurner(*mcdb);
    mcdb->tree.lister = &folders_;
    mcdb->DoDebug = true;
    mcdb->UnderrunProtection = true;
    mcdb->FinalizeDisc = true;
    mcdb->TestWrite = false;
    mcdb->PerformOPC = false;
    mcdb->WritePostGap = true;
    mcdb->SetCacheSize(kCacheSize);
    mcdb->OnWriteDone = [this](TCDBurner&, const std::string& error) { mcdbWriteDone(error); };
    choice_ = std::make_unique<DriveChoice>(*mcdb);
    OnShow = [this](TObject*) { FormShow(); };
    // Closing would free the burner under its writer: refused until the burn is over.
    OnCloseQuery = [this](TObject*, bool& canClose) {
        canClose = !burning_;
        if (!canClose) AddLogLines({kCloseRefusedText});
    };
    FormCreate();
}

TForm1::~TForm1() {
    if (ejector_.joinable()) ejector_.join();
    // The writer reads the files and posts to this window: it ends before either goes.
    mcdb.reset();
}

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
    cbSpeed->OnDropDown = [this](TObject*) { cbSpeedDropDown(); };
    Label2 = Place<TLabel>(this, GroupBox1, "Label2", 12, 68, 100, 16);
    Label2->SetCaption("Log:");
    Memo1 = Place<TMemo>(this, GroupBox1, "Memo1", 12, 86, 466, 216);
    Memo1->SetReadOnly(true);
    Memo1->SetScrollBars(ssVertical);
    Memo1->SetTabStop(false);
    pcd = Place<controls::TSpecialProgress>(this, GroupBox1, "pcd", 12, 308, 466, 20);
    pcd->SetStartColor(clBackground);
    pcd->SetEndColor(clLime);
    pcd->SetGradientBlocks(true);
    pcd->SetSolid(true);
    pcd->SetTextCentered(true);
    pcd->SetTextOption(controls::toPercent);
    Button1 = Place<TButton>(this, this, "Button1", 316, 392, 85, 25);
    Button1->SetCaption("Close");
    Button1->OnClick = [this](TObject*) { Button1Click(); };
    bburn = Place<TButton>(this, this, "bburn", 412, 392, 85, 25);
    bburn->SetCaption("Burn");
    bburn->SetEnabled(false);
    bburn->OnClick = [this](TObject*) { bburnClick(); };
    Timer1 = new TTimer(this);
    Timer1->SetName("Timer1");
    Timer1->SetInterval(kTimerMs);
    Timer1->OnTimer = [this](TObject*) { Timer1Timer(); };
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
    GroupBox1->SetCaption(" " + AnsiText(PortfolioName) + " ");
    mcdb->DebugWindow = nullptr;
    mcdb->ClearFiles();
    if (ProgramFolder.empty()) ProgramFolder = ExecutableFolder();
    // The write thread logs too: the memo's lines go through the queue to this window's thread.
    mcdb->DebugWindow = &log_;
    const StartRequest request = ReadStartArguments(args_, ProgramFolder, IsFolder);
    portfolioAccepted_ = request.Verdict == StartVerdict::Burn;
    PortfolioFolder = request.Folder;
    AddLogLines({AnsiText("Ready to burn: " + PortfolioName), "To start, click \"Burn\".  To exit, click \"Close\"."});
    mcdb->DebugMessage(">>> " + Caption(), 0);
    FlushLog();
    if (!portfolioAccepted_) Application->MessageBox(kNoPortfolioMessage, Application->Title(), MB_ICONERROR | MB_OK);
    if (choice_->Start()) {
        ShowChoices();
        FlushLog();
        Memo1->Lines()->Clear();
        // Empty lists and a disabled Burn say nothing by themselves.
        if (choice_->Choices().Drives.empty()) AddLogLines({kNoRecorderText});
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

void TForm1::bburnClick() {
    if (Application->MessageBox(kConfirmText, Application->Title(), MB_ICONQUESTION | MB_OKCANCEL) != IDOK) {
        Application->MessageBox(kBurnAbortedText, Application->Title(), MB_ICONINFORMATION | MB_OK);
        return;
    }
    // Refused before the drive is touched: nothing whole to burn.
    mcdb->ClearFiles();
    mcdb->tree.now = LocalNow();
    if (const std::string refusal = AddPortfolio(mcdb->tree, Utf16(PortfolioFolder), IsFolder(PortfolioFolder));
        !refusal.empty()) {
        mcdbWriteDone(refusal);
        return;
    }
    // The last burn's count would show this one done before it began.
    mcdb->BytesWritten = 0;
    Timer1->SetEnabled(true);
    // Before any other question: a disc laid on the ejected tray must be in to be asked about.
    LoadTrayWhenOpen(*mcdb);
    mcdb->SetWriteSpeed(GetSpeed());
    mcdb->DebugMessage("Add files / Folders to CD done.", 0);
    mcdb->PrepareImage(mcdb->SelectedDevice(), LocalNow(), StandardBiasMinutes());
    mcdb->DebugMessage("Starting the Burn on: " + cbdrives->Text(), 0);
    std::uint32_t size = 0, free = 0;
    mcdb->ReadBufferCapacity(size, free);
    pcd->SetPosition(0);
    pcd->SetMaximum(static_cast<int>(mcdb->ImageSectors()));
    SetBurning(true);
    mcdb->BurnCD();
}

void TForm1::mcdbWriteDone(const std::string& error) {
    auto text = std::make_unique<std::string>(error);
    if (HandleAllocated() && PostMessageA(WindowHandle(), kBurnDone, 0, reinterpret_cast<LPARAM>(text.get())))
        text.release();  // the message owns it now
}

void TForm1::BurnDone(const std::string& error) {
    // The bar's last step first, so that its closing line comes before the outcome.
    if (Timer1->Enabled()) Timer1Timer();
    Timer1->SetEnabled(false);
    if (!error.empty()) {
        mcdb->DebugMessage(kDoneWithErrorsLog, 0);
        mcdb->DebugMessage(">>> " + error, 0);
        FlushLog();
        SetBurning(false);
        return;
    }
    mcdb->DebugMessage(kBurnCompleteLog, 0);
    FlushLog();
    Application->MessageBox(kBurnCompletedDialog, Application->Title(), MB_ICONINFORMATION | MB_OK);
    // The flush may take minutes: the window keeps answering meanwhile, its buttons off.
    const HWND window = WindowHandle();
    ejector_ = std::thread([this, window] {
        mcdb->DebugMessage(EjectAfterBurn(*mcdb), 0);
        PostMessageA(window, kEjectDone, 0, 0);
    });
}

void TForm1::EjectDone() {
    if (ejector_.joinable()) ejector_.join();
    SetBurning(false);
}

void TForm1::SetBurning(bool burning) {
    burning_ = burning;
    // The writer uses the selected device: no other may be picked while it runs.
    for (TWinControl* c : {static_cast<TWinControl*>(bburn), static_cast<TWinControl*>(Button1),
                           static_cast<TWinControl*>(cbdrives), static_cast<TWinControl*>(cbSpeed)})
        c->SetEnabled(!burning);
}

void TForm1::Timer1Timer() {
    pcd->SetPosition(static_cast<int>(mcdb->BytesWritten.load() / kSector));
    if (pcd->PercentDone() < 100) return;
    FlushLog();
    AddLogLines({kClosingText});
    Timer1->SetEnabled(false);
}

void TForm1::Button1Click() { Application->Terminate(); }

void TForm1::FlushLog() {
    std::vector<std::string> lines;
    for (const auto& line : log_.Drain()) lines.push_back(AnsiText(line.Text));
    AddLogLines(lines);
}

void TForm1::AddLogLines(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    // Appended where the text ends: rewriting the whole memo per line grows with the log and
    // throws the view back to its first line.
    const HWND memo = Memo1->Handle();
    const auto length = static_cast<int>(GetWindowTextLengthW(memo));
    std::string text;
    for (const std::string& line : lines) text += (text.empty() && length == 0 ? "" : "\r\n") + line;
    Memo1->SetSelStart(length);
    SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TForm1::WndProc(TMessage& message) {
    if (message.Msg == kLogArrived) {
        FlushLog();
        return;
    }
    if (message.Msg == kBurnDone) {
        const std::unique_ptr<std::string> error(reinterpret_cast<std::string*>(message.LParam));
        BurnDone(*error);
        return;
    }
    if (message.Msg == kEjectDone) {
        EjectDone();
        return;
    }
    TForm::WndProc(message);
}

}  // namespace burn
