#include "editor/portable/record_model.h"

#include "forms/portable/strings.h"
#include "forms/portable/text_case.h"

#include <array>
#include <cstdint>

namespace editor {
namespace {

using K = RecordFieldKind;

constexpr std::string_view kPaymentMethods[] = {"TFP (Time for Prints)", "TFCD (Time for CD)", "Paid Work"};
constexpr std::string_view kPaymentTypes[] = {"Set Hourly Rate", "Half Day Rate", "Full Day Rate",
                                              "Set Assignment Fee"};
constexpr std::string_view kPlaces[] = {"Studio", "On Location", "Location and Studio"};

// Work history and photographers keep the same keys; only their controls differ. Add
// empties the text fields and puts the choices back to their layout defaults.
constexpr RecordField kWorkFields[] = {
    {"Phone Number", K::Text, "Edit17", "Phone:", "", "", {}},
    {"E-mail", K::Text, "Edit18", "E-Mail:", "", "", {}},
    {"Web Address", K::Text, "Edit19", "Web Site:", "http://", "", {}},
    {"Type Of Work", K::Text, "Edit20", "Type of Work:", "Glamour / Fashion", "", {}},
    {"Payment Method", K::Choice, "ComboBox7", "Payment Method:", "Paid Work", "Paid Work", kPaymentMethods},
    {"Payment Type", K::Choice, "ComboBox5", "Payment Type:", "Set Assignment Fee", "Set Assignment Fee", kPaymentTypes},
    {"Where", K::Choice, "ComboBox6", "Where:", "Location And Studio", "Location and Studio", kPlaces},
};

constexpr RecordField kPhotographerFields[] = {
    {"Phone Number", K::Text, "Edit21", "Phone:", "", "", {}},
    {"E-mail", K::Text, "Edit22", "E-Mail:", "", "", {}},
    {"Web Address", K::Text, "Edit23", "Web Site:", "http://", "", {}},
    {"Type Of Work", K::Text, "Edit24", "Type of Work:", "Glamour / Fashion", "", {}},
    {"Payment Method", K::Choice, "ComboBox9", "Payment Method:", "Paid Work", "Paid Work", kPaymentMethods},
    {"Payment Type", K::Choice, "ComboBox10", "Payment Type:", "Set Assignment Fee", "Set Assignment Fee", kPaymentTypes},
    {"Where", K::Choice, "ComboBox8", "Where:", "Location And Studio", "Location and Studio", kPlaces},
};

constexpr RecordField kWebSiteFields[] = {
    {"URL", K::Text, "Edit25", "Full URL (Web Address):", "http://", "http://", {}},
    {"NeedPassword", K::Flag, "CheckBox9", "", "0", "0", {}},
    {"Username", K::Text, "Edit27", "Username:", "", "", {}},
    {"Password", K::Text, "Edit28", "Password:", "", "", {}},
};

constexpr RecordSchema kSchemas[] = {
    {RecordList::WorkHistory, "workhistory.ini", "Work Item", "", kWorkFields},
    {RecordList::Photographers, "photographers.ini", "Photographer", "", kPhotographerFields},
    {RecordList::WebSites, "websites.ini", "Web Site", kWebSitePlaceholder, kWebSiteFields},
};

constexpr RecordList kLists[] = {RecordList::WorkHistory, RecordList::Photographers, RecordList::WebSites};

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }


bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "mailto:", "file:", "C:" and the like; "host:8080" is an address with a port.
bool HasOtherScheme(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !IsAlpha(text[0])) return false;
    for (size_t i = 1; i < colon; ++i)
        if (!IsAlpha(text[i]) && !IsDigit(text[i]) && text[i] != '+' && text[i] != '-' && text[i] != '.') return false;
    return colon + 1 >= text.size() || !IsDigit(text[colon + 1]);
}

}  // namespace

const RecordSchema& Schema(RecordList list) { return kSchemas[static_cast<int>(list)]; }

std::span<const RecordList> AllRecordLists() { return kLists; }

const RecordField* FindField(const RecordSchema& schema, std::string_view key) {
    for (const auto& field : schema.fields)
        if (field.key == key) return &field;
    return nullptr;
}

int MatchChoice(std::span<const std::string_view> items, std::string_view stored) {
    for (size_t i = 0; i < items.size(); ++i)
        if (forms::SameTextAscii(items[i], stored)) return static_cast<int>(i);
    return -1;
}

std::string TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::string NewRecordNameProblem(const RecordSchema& schema, std::string_view name,
                                 const std::vector<std::string>& existing) {
    const std::string noun(schema.noun);
    if (name.empty() || (!schema.placeholder.empty() && forms::SameTextAscii(name, schema.placeholder)))
        return "You must give the " + noun + " a name!";
    // A bracket or a line break would cut the section's header line in the file.
    for (char c : name)
        if (IsControl(c) || c == '[' || c == ']')
            return "A " + noun + " name cannot hold \"[\", \"]\" or control characters.";
    for (const auto& other : existing)
        if (forms::SameTextAscii(other, name))
            return "There is already a " + noun + " named \"" + other + "\".";
    return {};
}

unsigned SecondsIntoMonth(unsigned day, unsigned hour, unsigned minute, unsigned second) {
    return (((day - 1) * 24 + hour) * 60 + minute) * 60 + second;
}

std::string FreeCommentFileName(unsigned start, const std::function<bool(const std::string&)>& taken) {
    for (std::uint64_t n = start;; ++n) {
        std::string name = std::to_string(n) + ".rtf";
        if (!taken(name)) return name;
    }
}

bool IsBareFileName(std::string_view name) {
    constexpr size_t kMaxName = 255;
    if (name.empty() || name.size() > kMaxName || name == "." || name == "..") return false;
    for (char c : name)
        if (IsControl(c) || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
    // The file system drops trailing dots and blanks, so such a name is another file's.
    if (name.back() == '.' || name.back() == ' ') return false;
    // Device names open the device, whatever folder or extension they come with.
    std::string base(name.substr(0, name.find('.')));
    base = TrimBlanks(base);
    base = forms::UpperAscii(base);
    static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (auto device : kDevices)
        if (base == device) return false;
    if (base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && IsDigit(base[3])) return false;
    return true;
}

bool IsOwnCommentFileName(std::string_view name) {
    constexpr std::string_view kExtension = ".rtf";
    if (name.size() <= kExtension.size()) return false;
    const std::string_view digits = name.substr(0, name.size() - kExtension.size());
    for (char c : digits)
        if (!IsDigit(c)) return false;
    return forms::SameTextAscii(name.substr(digits.size()), kExtension);
}

bool SameFileName(std::string_view a, std::string_view b) { return forms::SameTextAscii(a, b); }

AddressKind ClassifyAddress(std::string_view text) {
    const std::string url = TrimBlanks(text);
    if (url.empty() || forms::SameTextAscii(url, "http://") || forms::SameTextAscii(url, "https://"))
        return {};
    for (char c : url)
        if (IsControl(c) || c == ' ' || c == '\\') return {AddressKind::Other, {}};
    if (forms::StartsWithTextAscii(url, "http://") || forms::StartsWithTextAscii(url, "https://")) return {AddressKind::Web, url};
    if (forms::StartsWithTextAscii(url, "mailto:")) return {AddressKind::Mail, url};
    if (HasOtherScheme(url) || url.find("://") != std::string::npos) return {AddressKind::Other, {}};
    return {AddressKind::Web, (url.starts_with("//") ? "http:" : "http://") + url};
}

VisitDecision DecideVisit(std::string_view urlField) {
    const AddressKind address = ClassifyAddress(urlField);
    switch (address.kind) {
    case AddressKind::None: return {};
    case AddressKind::Web: return {VisitDecision::Open, address.address, {}};
    case AddressKind::Mail: break;
    case AddressKind::Other: {
        const std::string url = TrimBlanks(urlField);
        for (char c : url)
            if (IsControl(c) || c == ' ' || c == '\\')
                return {VisitDecision::Refuse, {}, "\"" + url + "\" is not a web address that can be visited."};
        break;
    }
    }
    return {VisitDecision::Refuse, {}, "Only web addresses beginning \"http://\" or \"https://\" can be visited."};
}

}  // namespace editor
