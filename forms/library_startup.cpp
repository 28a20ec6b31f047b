#include "forms/library_startup.h"

#include "forms/platform_calls.h"
#include "forms/portable/exceptions.h"
#include "source_revision.h"

namespace forms {

namespace {

#define UTILITY_UNIT(file) {file, VANTRELL_REVISION, VANTRELL_REVISION_DATE, "", "", nullptr}

// The units that play the part of utility units: system information, strings, files and
// streams, settings, dates, graphics and image routines, and this registry's own.
constexpr TUnitVersionInfo kUtilityUnits[] = {
    UTILITY_UNIT("forms/portable/cpu_features.cpp"),   UTILITY_UNIT("forms/platform_calls.cpp"),
    UTILITY_UNIT("forms/system_error.cpp"),            UTILITY_UNIT("forms/portable/strings.cpp"),
    UTILITY_UNIT("forms/portable/text_case.cpp"),      UTILITY_UNIT("forms/portable/string_list.cpp"),
    UTILITY_UNIT("forms/unit_versioning.cpp"),         UTILITY_UNIT("forms/portable/streams.cpp"),
    UTILITY_UNIT("forms/portable/atomic_file.cpp"),    UTILITY_UNIT("forms/ini_file.cpp"),
    UTILITY_UNIT("forms/portable/ini_rules.cpp"),      UTILITY_UNIT("forms/portable/date_time.cpp"),
    UTILITY_UNIT("forms/portable/rounding.cpp"),       UTILITY_UNIT("forms/graphics.cpp"),
    UTILITY_UNIT("forms/bitmap.cpp"),                  UTILITY_UNIT("forms/portable/pixels.cpp"),
    UTILITY_UNIT("forms/portable/picture_turns.cpp"),  UTILITY_UNIT("forms/portable/jpeg_codec.cpp"),
    UTILITY_UNIT("controls/graphics_utils.cpp"),       UTILITY_UNIT("controls/ctl_utils.cpp"),
    UTILITY_UNIT("controls/portable/resample.cpp"),
};

#undef UTILITY_UNIT

ProcessorFeatures processor;
std::string replacementChar;

}  // namespace

std::span<const TUnitVersionInfo> UtilityUnitRecords() { return kUtilityUnits; }

std::string CodePageReplacementChar(UINT codePage) {
    CPINFO info{};
    if (!KernelCalls.getCPInfo(codePage, info)) throw Exception("Failed to get ANSI replacement character");
    std::string text;
    for (BYTE b : info.DefaultChar)
        if (b != 0) text.push_back(static_cast<char>(b));
        else break;
    return text;
}

const ProcessorFeatures& StartupProcessorFeatures() { return processor; }
const std::string& AnsiReplacementChar() { return replacementChar; }

LibraryStartup::LibraryStartup(HINSTANCE module) : versioning_(module) {}

LibraryStartup::~LibraryStartup() { Stop(); }

void LibraryStartup::Start() {
    processor = ReadProcessorFeatures();
    replacementChar = CodePageReplacementChar(CP_ACP);
    started_ = true;
    for (const TUnitVersionInfo& record : kUtilityUnits) versioning_.RegisterUnitVersion(record);
}

void LibraryStartup::Stop() noexcept {
    if (!started_) return;
    started_ = false;
    try {
        versioning_.UnregisterModule();
    } catch (...) {
        // The registry goes with the process in any case.
    }
    versioning_.Shutdown();
}

bool StartLibraryOrSay(LibraryStartup& library, const std::string& program) {
    try {
        library.Start();
        return true;
    } catch (const std::exception& e) {
        ShowMessageBox(nullptr, e.what(), program, MB_OK | MB_ICONERROR);
        return false;
    }
}

}  // namespace forms
