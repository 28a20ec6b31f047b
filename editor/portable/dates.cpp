#include "editor/portable/dates.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

namespace editor {
namespace {

std::optional<int> ParseField(std::string_view text) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

SerialDate DefaultDateOfBirth(SerialDate now) { return now - kDefaultAgeDays; }

int AgeInYears(SerialDate now, SerialDate birth) {
    return static_cast<int>(std::fabs(now - birth) / 365.25);
}

std::string AgeLabel(int years) { return std::to_string(years) + " Years Of age."; }

std::string FormatDateOfBirth(SerialDate date, char separator) {
    int year, month, day;
    forms::DecodeDate(date, year, month, day);
    char text[32];
    std::snprintf(text, sizeof text, "%02d%c%02d%c%04d", day, separator, month, separator, year);
    return text;
}

std::optional<SerialDate> ParseDateOfBirth(std::string_view text, char separator) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    // Files written under another system's date settings use another separator.
    const std::string separators = std::string("/.-") + separator;
    const auto first = text.find_first_of(separators);
    if (first == std::string_view::npos) return std::nullopt;
    const auto second = text.find_first_of(separators, first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    auto day = ParseField(text.substr(0, first));
    const auto month = ParseField(text.substr(first + 1, second - first - 1));
    auto year = ParseField(text.substr(second + 1));
    // Four digits in front: the year comes first ("1990-03-15").
    if (first == 4) std::swap(day, year);
    if (!day || !month || !year) return std::nullopt;
    if (!forms::IsValidDate(*year, *month, *day)) return std::nullopt;
    return forms::EncodeDate(*year, *month, *day);
}

}  // namespace editor
