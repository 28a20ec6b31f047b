// The three record lists (work history, photographers, web sites): their files, keys,
// defaults and choice items, and the rules for record names, comment-file names and the
// addresses "Visit Web Site" may open. The pages over them stay thin.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

enum class RecordList { WorkHistory, Photographers, WebSites };

enum class RecordFieldKind {
    Text,    // an edit box
    Choice,  // a drop-down list without free text
    Flag,    // a check box, stored "1" / "0"
};

struct RecordField {
    std::string_view key;  // spelled as stored files have it
    RecordFieldKind kind;
    std::string_view control;  // Name of the bound control
    std::string_view caption;  // its label; empty for a check box (the caption is its own)
    // What a missing key reads as. A record never shows what the previous one showed.
    std::string_view readDefault;
    // What Add puts in the field.
    std::string_view newValue;
    std::span<const std::string_view> items;  // Choice only
};

struct RecordSchema {
    RecordList list;
    std::string_view fileName;     // in ProgramFolder
    std::string_view noun;         // "Work Item", "Photographer", "Web Site"
    std::string_view placeholder;  // the name Add shows; empty when Add shows none
    std::span<const RecordField> fields;
};

inline constexpr std::string_view kCommentFileKey = "Comment File";
inline constexpr std::string_view kCommentFolder = "Comment Files";
inline constexpr std::string_view kWebSitePlaceholder = "Enter Web Site name here...";

const RecordSchema& Schema(RecordList list);
std::span<const RecordList> AllRecordLists();
const RecordField* FindField(const RecordSchema& schema, std::string_view key);

// The item equal to stored without regard to case, -1 when none is.
int MatchChoice(std::span<const std::string_view> items, std::string_view stored);

// Blanks (spaces, tabs) removed at both ends.
std::string TrimBlanks(std::string_view text);

// Empty when name (already trimmed) can be given to a new record of the schema's list;
// otherwise the message telling the user why not. existing: the list's names, matched
// without regard to case as the INI functions match sections.
std::string NewRecordNameProblem(const RecordSchema& schema, std::string_view name,
                                 const std::vector<std::string>& existing);

// Seconds since the start of the month for a day (1..31) and time of day.
unsigned SecondsIntoMonth(unsigned day, unsigned hour, unsigned minute, unsigned second);
// "<n>.rtf" for the first n from start on that taken() refuses; taken gets the candidate.
std::string FreeCommentFileName(unsigned start, const std::function<bool(const std::string&)>& taken);

// A stored Comment File value is used only when it names a file directly inside the comment
// folder: no folder separators, drive, "." or "..", device name, wildcard or control character.
bool IsBareFileName(std::string_view name);
// The program's own naming: decimal digits followed by ".rtf" (any case).
bool IsOwnCommentFileName(std::string_view name);
// Names match as the file system matches them (ASCII letters folded).
bool SameFileName(std::string_view a, std::string_view b);

// A web address as typed into a field, judged once for "Visit Web Site" and the site.
struct AddressKind {
    enum Kind {
        None,   // empty, or only "http://" / "https://"
        Web,    // http or https; a bare host gets "http://" in front
        Mail,   // mailto:
        Other,  // another scheme ("javascript:", "data:", "file:"...) or not an address
    } kind = None;
    std::string address;  // Web and Mail: the address to link to, trimmed
};
AddressKind ClassifyAddress(std::string_view text);

// What "Visit Web Site" does with the URL field's text.
struct VisitDecision {
    enum Action { Nothing, Open, Refuse } action = Nothing;
    std::string address;  // Open: what the shell is given
    std::string message;  // Refuse: what the user is told
};
VisitDecision DecideVisit(std::string_view urlField);

}  // namespace editor
