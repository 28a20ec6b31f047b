// vantburn's one window: the portfolio to burn, the recorder and speed to burn with, the log.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "burn/portable/drive_choice.h"
#include "burn/portable/log_queue.h"
#include "burn/win_sources.h"
#include "burn/portable/cd_burner.h"
#include "controls/special_progress.h"
#include "forms/button.h"
#include "forms/combo_box.h"
#include "forms/edit.h"
#include "forms/form.h"
#include "forms/group_box.h"
#include "forms/label.h"
#include "forms/timer.h"
#include "skin/skin_data.h"

namespace burn {

inline constexpr char kBurnWindowCaption[] = "CD Burn Utility";
inline constexpr char kSupportPage[] = "https://vantrell.example.org/support";

class TForm1 : public forms::TForm {
public:
    // args: the command line without the program's path; programFolder: the executable's
    // folder by default. Both in UTF-8, as every path and log line of the window.
    TForm1(forms::TComponent* owner, std::vector<std::string> args, std::string programFolder = {});
    ~TForm1() override;

    void FormCreate();
    void FormShow();
    void cbdrivesChange();
    void cbSpeedDropDown();
    std::uint16_t GetSpeed();
    void bburnClick();
    // The burner's end of a burn, from any thread: handed to the window's thread at once.
    void mcdbWriteDone(const std::string& error);
    void Timer1Timer();
    void Button1Click();

    // The argument count was wrong: the program ends without showing the window.
    bool Terminating() const { return terminating_; }
    // Moves every queued log line into the memo (the window's thread only).
    void FlushLog();

    std::string ProgramFolder, PortfolioName, PortfolioFolder;
    forms::TLabel* Label1;
    forms::TGroupBox* GroupBox1;
    forms::TLabel* Label3;
    forms::TComboBox* cbdrives;
    forms::TLabel* Label4;
    forms::TComboBox* cbSpeed;
    forms::TLabel* Label2;
    forms::TMemo* Memo1;
    forms::TButton* Button1;
    forms::TButton* bburn;
    controls::TSpecialProgress* pcd;
    forms::TTimer* Timer1;
    // Active from the start: the window and every box it shows wear vantburn's one skin.
    skin::TSkinData* SkinData1;
    std::unique_ptr<TCDBurner> mcdb;

protected:
    void WndProc(forms::TMessage& message) override;

private:
    void BuildControls();
    void ShowChoices();
    // On the window's thread: the outcome of a burn, then the drive's last steps after a good one.
    void BurnDone(const std::string& error);
    void EjectDone();
    void SetBurning(bool burning);
    // Lines added at the end of the memo, one append for all of them.
    void AddLogLines(const std::vector<std::string>& lines);

    std::vector<std::string> args_;
    bool terminating_ = false;
    bool portfolioAccepted_ = false;
    // From the Burn click's start of the writer to the end of the eject after it.
    bool burning_ = false;
    LogQueue log_;
    std::unique_ptr<DriveChoice> choice_;
    WinFolderLister folders_;
    WinFileSource files_;
    // Flushes and ejects after a good burn, away from the window's thread.
    std::thread ejector_;
};

}  // namespace burn
