// The file-open dialogs and the message-box helpers. Both reach the system through
// replaceable calls, so that tests answer them in-process.
#pragma once
#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/portable/component.h"
#include "forms/portable/string_list.h"

namespace forms {

// GetOpenFileNameA; tests put their own answer into the structure's buffer.
using OpenFileNameFunction = std::function<BOOL(OPENFILENAMEA& ofn)>;
extern OpenFileNameFunction GetOpenFileNameCall;
BOOL RealGetOpenFileName(OPENFILENAMEA& ofn);

enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofAllowMultiSelect = 1u << 4,
    ofPathMustExist = 1u << 5,
    ofFileMustExist = 1u << 6,
    ofShareAware = 1u << 7,
    ofNoReadOnlyReturn = 1u << 8,
    ofEnableSizing = 1u << 9,
    ofDontAddToRecent = 1u << 10,
    ofForceShowHidden = 1u << 11,
};
using TOpenOptions = unsigned;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner);
    ~TOpenDialog() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // "Description|*.ext|Description|*.a;*.b"
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& v) { filter_ = v; }
    // 1-based, as the dialog counts.
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int v) { filterIndex_ = v; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& v) { initialDir_ = v; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v) { title_ = v; }
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& v) { defaultExt_ = v; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions v) { options_ = v; }
    // The first file chosen (full path).
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& v) { fileName_ = v; }
    // Every file chosen, full paths, in the dialog's order.
    TStringList* Files() const { return files_.get(); }

    // Shows the dialog; true when the user confirmed.
    virtual bool Execute();

    // The room for the names of a multiple choice (hundreds of files).
    static constexpr size_t kMultiSelectBuffer = 256 * 1024;

protected:
    virtual DWORD Flags() const;

private:
    std::string filter_;
    int filterIndex_ = 1;
    std::string initialDir_;
    std::string title_;
    std::string defaultExt_;
    TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
    std::string fileName_;
    std::unique_ptr<TStringList> files_;
};

// The dialog components executing on this thread now, innermost last (the skin engine leaves
// the system dialogs of those whose Tag says so alone).
const std::vector<const TComponent*>& ExecutingDialogs();

// The open dialog with a filter for the picture formats we read.
class TOpenPictureDialog : public TOpenDialog {
public:
    explicit TOpenPictureDialog(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
};

// Splits what the dialog wrote into its buffer: one full path, or a folder followed by
// names (NUL-separated, ending in two NULs). Exposed for tests.
void ParseOpenFileNames(const char* buffer, size_t size, TStrings& files);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
};
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// A message box of the type's caption and icon with the nearest system set of buttons;
// the modal result of the button pressed (mrYes, mrNo...).
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
// An OK box captioned with the application's title.
void ShowMessage(const std::string& text);
// The MessageBoxA type for a dialog type and buttons (for tests and callers that need it).
UINT MessageDlgFlags(TMsgDlgType type, TMsgDlgButtons buttons);

}  // namespace forms
