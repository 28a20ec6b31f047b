#include "controls/shell_file_operation.h"

#include "controls/ctl_types.h"
#include "forms/platform_calls.h"
#include "forms/portable/properties.h"
#include "forms/win_control.h"

#include <shellapi.h>
#include <winnetwk.h>

#include <vector>

namespace controls {
namespace {

using namespace forms;

// The block a name-mapping handle points to.
struct NameMappings {
    UINT count;
    SHNAMEMAPPINGW* records;
};

std::string Narrow(const WCHAR* text, int length) {
    if (text == nullptr || length <= 0) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

std::string SystemMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 && text != nullptr ? std::string(text, length) : std::string();
    if (text != nullptr) LocalFree(text);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    return message;
}

// Looked up at run time: the network library is needed only for paths on network drives.
std::string UniversalName(const std::string& path) {
    using Function = DWORD(WINAPI*)(LPCSTR, DWORD, LPVOID, LPDWORD);
    HMODULE mpr = LoadLibraryA("mpr.dll");
    if (mpr == nullptr) return path;
    struct Unload {
        HMODULE m;
        ~Unload() { FreeLibrary(m); }
    } unload{mpr};
    auto get = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(mpr, "WNetGetUniversalNameA")));
    if (get == nullptr) return path;
    alignas(UNIVERSAL_NAME_INFOA) char buffer[sizeof(UNIVERSAL_NAME_INFOA) + MAX_PATH * 4] = {};
    DWORD size = sizeof buffer;
    if (get(path.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer, &size) != NO_ERROR) return path;
    const auto* info = reinterpret_cast<const UNIVERSAL_NAME_INFOA*>(buffer);
    return info->lpUniversalName != nullptr ? std::string(info->lpUniversalName) : path;
}

std::vector<std::string> Entries(const TStrings& list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list.Count(); ++i) entries.push_back(list.Get(i));
    return entries;
}

}  // namespace

const TClassInfo& TShellFileOperation::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TShellFileOperation>("TShellFileOperation", &TComponent::StaticClass())
            .Enum("Operation", {"foCopy", "foDelete", "foMove", "foRename"}, &TShellFileOperation::Operation,
                  &TShellFileOperation::SetOperation)
            .Str("Title", &TShellFileOperation::Title, &TShellFileOperation::SetTitle)
            .Done();
    return info;
}

TShellFileOperation::TShellFileOperation(TComponent* owner)
    : TComponent(owner), source_(std::make_unique<TStringList>()), dest_(std::make_unique<TStringList>()) {}

TShellFileOperation::~TShellFileOperation() = default;

HWND TShellFileOperation::OwnerWindow() const {
    if (auto* control = dynamic_cast<TWinControl*>(Owner()); control != nullptr && control->HandleAllocated())
        return control->WindowHandle();
    return GetForegroundWindow();
}

void TShellFileOperation::NotifyFileMapping(const std::string& oldFileName, const std::string& newFileName) {
    if (OnFileMapping) OnFileMapping(this, oldFileName, newFileName);
}

bool TShellFileOperation::Execute() {
    const std::string from = DoubleNulList(Entries(*source_), [this](const std::string& entry) {
        std::string path = WithoutTrailingBackslash(ExpandShellFileName(entry));
        // A slip in a caller's list must never empty a drive or the program's own folder.
        if (operation_ == foDelete && (NamesARelativeFolder(entry) || IsRootPath(entry) || IsRootPath(path) ||
                                       IsRootWildcard(entry) || IsRootWildcard(path)))
            throw EControlsException(Format("Cannot delete \"%s\": a whole drive or share, \".\" and \"..\" are never deleted",
                                            entry.c_str()));
        return path;
    });
    if (from.size() <= 1) throw EControlsException("No files specified to TShellFileOperation Execute function");
    const std::string to = DoubleNulList(Entries(*dest_), ExpandShellFileName);

    SHFILEOPSTRUCTA op{};
    op.hwnd = OwnerWindow();
    op.wFunc = ShellFunctionCode(operation_);
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = ShellOptionFlags(options_);
    op.lpszProgressTitle = title_.c_str();

    lastError_.clear();
    const int code = ShellFileOperationCall ? ShellFileOperationCall(op) : RealShellFileOperation(op);
    if (code != 0) {
        const DWORD error = GetLastError();
        lastError_ = error != 0 ? SystemMessage(error) : std::string();
        // The shell's own codes do not always leave a system error behind.
        if (lastError_.empty()) lastError_ = "The shell file operation failed (code " + std::to_string(code) + ").";
    }
    const bool result = code == 0 && !op.fAnyOperationsAborted;

    if (op.hNameMappings != nullptr) {
        struct Release {
            HANDLE h;
            ~Release() { SHFreeNameMappings(h); }
        } release{op.hNameMappings};
        ForEachNameMapping(op.hNameMappings,
                           [this](const std::string& o, const std::string& n) { NotifyFileMapping(o, n); });
    }
    return result;
}

std::string ExpandShellFileName(const std::string& name) {
    char full[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
    std::string path = length > 0 && length < sizeof full ? std::string(full, length) : name;
    if (path.size() >= 2 && path[1] == ':') {
        const std::string root = path.substr(0, 2) + "\\";
        if (GetDriveTypeA(root.c_str()) == DRIVE_REMOTE) path = UniversalName(path);
    }
    return path;
}

void ForEachNameMapping(const void* mappings, const std::function<void(const std::string&, const std::string&)>& each) {
    if (mappings == nullptr) return;
    const auto* block = static_cast<const NameMappings*>(mappings);
    if (block->records == nullptr) return;
    for (UINT i = 0; i < block->count; ++i) {
        const SHNAMEMAPPINGW& record = block->records[i];
        if (record.cchOldPath <= 0 || record.cchNewPath <= 0) continue;
        each(Narrow(record.pszOldPath, record.cchOldPath), Narrow(record.pszNewPath, record.cchNewPath));
    }
}

}  // namespace controls
