// TShellFileOperation: copies, moves, renames or deletes files and folders through the
// shell's own file operation, with its progress window, confirmations and recycle bin.
#pragma once

#include <windows.h>

#include "controls/portable/shell_file_options.h"
#include "forms/portable/component.h"
#include "forms/portable/string_list.h"

#include <functional>
#include <memory>
#include <string>

namespace controls {

using TShellFileMappingEvent =
    std::function<void(forms::TObject* sender, const std::string& oldFileName, const std::string& newFileName)>;

class TShellFileOperation : public forms::TComponent {
public:
    explicit TShellFileOperation(forms::TComponent* owner);
    ~TShellFileOperation() override;
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();

    // Owned lists; the setters copy.
    forms::TStringList* SourceFiles() const { return source_.get(); }
    void SetSourceFiles(const forms::TStrings& files) { source_->Assign(files); }
    forms::TStringList* DestFiles() const { return dest_.get(); }
    void SetDestFiles(const forms::TStrings& files) { dest_->Assign(files); }
    TShellFileOpType Operation() const { return operation_; }
    void SetOperation(TShellFileOpType v) { operation_ = v; }
    TShellFileOptions Options() const { return options_; }
    void SetOptions(TShellFileOptions v) { options_ = v; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v) { title_ = v; }
    // The system's text for the last failed call; empty after a success or an abort.
    const std::string& LastErrorMessage() const { return lastError_; }

    // Runs the operation on every source entry (expanded to a full path); true when the
    // shell reported success and the user aborted nothing. The lists are left as they are.
    // Raises EControlsException when there is no source entry.
    virtual bool Execute();

    TShellFileMappingEvent OnFileMapping;

protected:
    // The owner's window when the owner is a windowed control, else the foreground window.
    virtual HWND OwnerWindow() const;
    virtual void NotifyFileMapping(const std::string& oldFileName, const std::string& newFileName);

private:
    std::unique_ptr<forms::TStringList> source_;
    std::unique_ptr<forms::TStringList> dest_;
    TShellFileOpType operation_ = foCopy;
    TShellFileOptions options_{fofAllowUndo, fofFilesOnly};
    std::string title_;
    std::string lastError_;
};

// A full path for an entry; a path on a network drive in its network (UNC) form.
std::string ExpandShellFileName(const std::string& name);

// Walks the name mappings the shell hands back (a count, then an array of records of UTF-16
// paths with their lengths in characters), calling each with both paths of every record
// whose lengths are above 0. Exposed for tests.
void ForEachNameMapping(const void* mappings, const std::function<void(const std::string&, const std::string&)>& each);

}  // namespace controls
