#include "forms/dialogs.h"

#include <cstring>
#include <vector>

#include "forms/application.h"
#include "forms/platform_calls.h"
#include "forms/portable/properties.h"

namespace forms {

BOOL RealGetOpenFileName(OPENFILENAMEA& ofn) { return GetOpenFileNameA(&ofn); }

OpenFileNameFunction GetOpenFileNameCall = &RealGetOpenFileName;

namespace {

// The window a dialog belongs to: the active form, else the main form.
HWND DialogOwner() {
    if (Screen != nullptr) {
        if (TForm* form = Screen->ActiveForm(); form != nullptr && form->HandleAllocated()) return form->WindowHandle();
    }
    if (Application != nullptr && Application->MainForm() != nullptr && Application->MainForm()->HandleAllocated()) {
        return Application->MainForm()->WindowHandle();
    }
    return nullptr;
}

// "a|b|c|d" as the dialog wants it: "a\0b\0c\0d\0\0".
std::string FilterPairs(const std::string& filter) {
    std::string out = filter;
    for (char& c : out) {
        if (c == '|') c = '\0';
    }
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder.push_back('\\');
    return folder;
}

}  // namespace

void ParseOpenFileNames(const char* buffer, size_t size, TStrings& files) {
    files.Clear();
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < size && buffer[i] != '\0') {
        size_t len = strnlen(buffer + i, size - i);
        parts.emplace_back(buffer + i, len);
        i += len + 1;
    }
    if (parts.empty()) return;
    if (parts.size() == 1) {
        files.Add(parts[0]);
        return;
    }
    std::string folder = WithBackslash(parts[0]);
    for (size_t k = 1; k < parts.size(); ++k) files.Add(folder + parts[k]);
}

const TClassInfo& TOpenDialog::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TOpenDialog>("TOpenDialog", &TComponent::StaticClass())
                                       .Str("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter)
                                       .Int("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex)
                                       .Str("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir)
                                       .Str("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle)
                                       .Str("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt)
                                       .Str("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName)
                                       .Done();
    return info;
}

const TClassInfo& TOpenPictureDialog::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TOpenPictureDialog>("TOpenPictureDialog", &TOpenDialog::StaticClass()).Done();
    return info;
}

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

DWORD TOpenDialog::Flags() const {
    struct Entry {
        TOpenOption option;
        DWORD flag;
    };
    static constexpr Entry kFlags[] = {
        {ofReadOnly, OFN_READONLY},           {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
        {ofHideReadOnly, OFN_HIDEREADONLY},   {ofNoChangeDir, OFN_NOCHANGEDIR},
        {ofAllowMultiSelect, OFN_ALLOWMULTISELECT}, {ofPathMustExist, OFN_PATHMUSTEXIST},
        {ofFileMustExist, OFN_FILEMUSTEXIST}, {ofShareAware, OFN_SHAREAWARE},
        {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN}, {ofEnableSizing, OFN_ENABLESIZING},
        {ofDontAddToRecent, OFN_DONTADDTORECENT}, {ofForceShowHidden, OFN_FORCESHOWHIDDEN},
    };
    DWORD flags = OFN_EXPLORER;
    for (const Entry& e : kFlags) {
        if (options_ & e.option) flags |= e.flag;
    }
    return flags;
}

namespace {

std::vector<const TComponent*>& Executing() {
    thread_local std::vector<const TComponent*> executing;
    return executing;
}

struct ExecutingScope {
    explicit ExecutingScope(const TComponent* dialog) { Executing().push_back(dialog); }
    ~ExecutingScope() { Executing().pop_back(); }
};

}  // namespace

const std::vector<const TComponent*>& ExecutingDialogs() { return Executing(); }

bool TOpenDialog::Execute() {
    const ExecutingScope executing(this);
    size_t bufferSize = (options_ & ofAllowMultiSelect) ? kMultiSelectBuffer : MAX_PATH * 2;
    std::vector<char> buffer(bufferSize, '\0');
    std::strncpy(buffer.data(), fileName_.c_str(), bufferSize - 1);
    std::string filter = FilterPairs(filter_);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = DialogOwner();
    ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex_);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(bufferSize);
    ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
    ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
    ofn.Flags = Flags();
    if (!GetOpenFileNameCall(ofn)) return false;
    filterIndex_ = static_cast<int>(ofn.nFilterIndex);
    ParseOpenFileNames(buffer.data(), buffer.size(), *files_);
    fileName_ = files_->Count() > 0 ? files_->Get(0) : std::string();
    if (ofn.Flags & OFN_READONLY) options_ |= ofReadOnly;
    else options_ &= ~static_cast<unsigned>(ofReadOnly);
    return true;
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) {
    SetFilter("All pictures (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|JPEG Image File (*.jpg)|*.jpg|"
              "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp");
}

UINT MessageDlgFlags(TMsgDlgType type, TMsgDlgButtons buttons) {
    static constexpr UINT kIcons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
    // The system's sets, the richest first: the first set holding every button asked for.
    struct Set {
        TMsgDlgButtons buttons;
        UINT flags;
    };
    static constexpr Set kSets[] = {
        {mbOK, MB_OK},
        {mbOKCancel, MB_OKCANCEL},
        {mbYesNo, MB_YESNO},
        {mbYesNoCancel, MB_YESNOCANCEL},
        {mbRetry | mbCancel, MB_RETRYCANCEL},
        {mbAbortRetryIgnore, MB_ABORTRETRYIGNORE},
    };
    UINT flags = MB_OK;
    for (const Set& s : kSets) {
        if ((buttons & ~s.buttons) == 0 && buttons != 0) {
            flags = s.flags;
            break;
        }
    }
    return flags | kIcons[type];
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
    static const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirm", nullptr};
    std::string caption = kCaptions[type] != nullptr ? kCaptions[type]
                          : Application != nullptr   ? Application->Title()
                                                     : std::string();
    return ShowMessageBox(DialogOwner(), text, caption, MessageDlgFlags(type, buttons));
}

void ShowMessage(const std::string& text) {
    std::string caption = Application != nullptr ? Application->Title() : std::string();
    ShowMessageBox(DialogOwner(), text, caption, MB_OK);
}

}  // namespace forms
