#include "editor/portable/portfolio_name.h"

#include "forms/portable/text_case.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace editor {
namespace {

constexpr std::string_view kPortfoliosPath = "Distributable\\";
// The deepest file of fixed name a build writes below the portfolio's folder.
constexpr std::string_view kDeepestBuiltFile = "\\files\\biography.html";

constexpr std::array<std::string_view, 22> kDeviceNames = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
};

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsForbidden(char c) {
    return static_cast<unsigned char>(c) < ' ' || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
}

bool IsDeviceName(std::string_view name) {
    return std::any_of(kDeviceNames.begin(), kDeviceNames.end(), [&](std::string_view d) { return forms::SameTextAscii(d, name); });
}

std::string Quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

// The platform's path limit counts UTF-16 units: one per code page letter, one per UTF-8
// sequence, two for a sequence of four bytes (a surrogate pair).
size_t PathUnits(std::string_view s, NameText text) {
    if (text == NameText::Ansi) return s.size();
    size_t units = 0;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80) units += b >= 0xF0 ? 2 : 1;
    }
    return units;
}

struct NameRule {
    bool (*refuses)(std::string_view name, std::string_view programFolder, NameText text);
    std::string (*message)(std::string_view name);
};

// In order: the first rule that refuses gives the message.
const NameRule kRules[] = {
    {[](std::string_view n, std::string_view, NameText) { return n.empty(); },
     [](std::string_view) { return std::string("Please name your Portfolio first."); }},
    {[](std::string_view n, std::string_view, NameText) { return n == "." || n == ".."; },
     [](std::string_view n) { return Quoted(n) + " cannot be the name of a Portfolio."; }},
    {[](std::string_view n, std::string_view, NameText) { return std::any_of(n.begin(), n.end(), IsForbidden); },
     [](std::string_view) {
         return std::string("A Portfolio name cannot contain any of \\ / : * ? \" < > | or control characters.");
     }},
    {[](std::string_view n, std::string_view, NameText) { return n.back() == '.' || n.back() == ' '; },
     [](std::string_view) { return std::string("A Portfolio name cannot end in a dot or a blank."); }},
    {[](std::string_view n, std::string_view, NameText) { return IsDeviceName(n); },
     [](std::string_view n) { return Quoted(n) + " is a device name of Windows and cannot be the name of a Portfolio."; }},
    // A dotted folder would not be listed again at the next start.
    {[](std::string_view n, std::string_view, NameText) { return n.find('.') != std::string_view::npos; },
     [](std::string_view) { return std::string("A Portfolio name cannot contain a dot."); }},
    {[](std::string_view n, std::string_view folder, NameText text) {
         return PathUnits(folder, text) + kPortfoliosPath.size() + PathUnits(n, text) + kDeepestBuiltFile.size() >
                kPathLimit;
     },
     [](std::string_view) {
         return std::string("The Portfolio name is too long: the paths of its files would pass the limit of Windows.");
     }},
};

}  // namespace

std::string TrimPortfolioName(std::string_view typed) {
    while (!typed.empty() && IsBlankOrControl(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && IsBlankOrControl(typed.back())) typed.remove_suffix(1);
    return std::string(typed);
}

std::string PortfolioNameProblem(std::string_view name, std::string_view programFolder, NameText text) {
    for (const auto& rule : kRules)
        if (rule.refuses(name, programFolder, text)) return rule.message(name);
    return {};
}

std::string PortfolioFolder(std::string_view programFolder, std::string_view name) {
    return std::string(programFolder) + std::string(kPortfoliosPath) + std::string(name);
}

bool SitsDirectlyInside(std::string_view path, std::string_view folder) {
    while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
    if (folder.empty() || path.size() <= folder.size() + 1) return false;
    if (!forms::SameTextAscii(path.substr(0, folder.size()), folder) || path[folder.size()] != '\\') return false;
    const std::string_view entry = path.substr(folder.size() + 1);
    return entry.find('\\') == std::string_view::npos && entry != "." && entry != "..";
}

std::string BurnParameter(std::string_view name) {
    return name.find(' ') == std::string_view::npos ? std::string(name) : Quoted(name);
}

}  // namespace editor
