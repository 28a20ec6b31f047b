// What our libraries do before the first window and after the last: every utility unit
// registers its version record in the process's unit-version registry (and its module's
// entry is removed again at the end), the processor's features are read for the image
// routines, and the ANSI code page's replacement character is read. Each program's entry
// point starts it first and stops it last; nothing here runs from a static constructor.
#pragma once
#include <windows.h>

#include <span>
#include <string>

#include "forms/portable/cpu_features.h"
#include "forms/unit_versioning.h"

namespace forms {

// The records of our utility units: each names its source file, with the project's
// revision and the date of that revision.
std::span<const TUnitVersionInfo> UtilityUnitRecords();

// The default character of a code page; raises "Failed to get ANSI replacement character"
// when the system cannot say it.
std::string CodePageReplacementChar(UINT codePage);

class LibraryStartup {
public:
    explicit LibraryStartup(HINSTANCE module);
    ~LibraryStartup();  // stops, when started
    LibraryStartup(const LibraryStartup&) = delete;
    LibraryStartup& operator=(const LibraryStartup&) = delete;

    // Raises when the replacement character cannot be read or the registry's mutex cannot
    // be made.
    void Start();
    // Unregisters the module and shuts the registry down; never raises.
    void Stop() noexcept;

    UnitVersioningClient& Versioning() { return versioning_; }

private:
    UnitVersioningClient versioning_;
    bool started_ = false;
};

// Starts the libraries; when that fails, says why in a message box titled `program` and
// returns false (the program then ends).
bool StartLibraryOrSay(LibraryStartup& library, const std::string& program);

// Set by Start: what the processor offers, and the ANSI code page's replacement character.
const ProcessorFeatures& StartupProcessorFeatures();
const std::string& AnsiReplacementChar();

}  // namespace forms
