#include "editor/portable/dates.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace editor {
namespace {

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's civil algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

CivilDate CivilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr long long kSerialEpochFromUnix = 25569;  // 1970-01-01 as a serial day

std::optional<int> ParseField(std::string_view text) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

bool IsValidDate(const CivilDate& date) {
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) return false;
    return ToCivil(ToSerial({date.year, date.month, 1}) + date.day - 1).month == date.month;
}

SerialDate ToSerial(const CivilDate& date) {
    return static_cast<double>(DaysFromCivil(date.year, date.month, date.day) + kSerialEpochFromUnix);
}

CivilDate ToCivil(SerialDate serial) {
    return CivilFromDays(static_cast<long long>(std::floor(serial)) - kSerialEpochFromUnix);
}

SerialDate DefaultDateOfBirth(SerialDate now) { return now - kDefaultAgeDays; }

int AgeInYears(SerialDate now, SerialDate birth) {
    return static_cast<int>(std::fabs(now - birth) / 365.25);
}

std::string AgeLabel(int years) { return std::to_string(years) + " Years Of age."; }

std::string FormatDateOfBirth(SerialDate date, char separator) {
    const CivilDate c = ToCivil(date);
    char text[32];
    std::snprintf(text, sizeof text, "%02d%c%02d%c%04d", c.day, separator, c.month, separator, c.year);
    return text;
}

std::optional<SerialDate> ParseDateOfBirth(std::string_view text, char separator) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    const auto first = text.find(separator);
    if (first == std::string_view::npos) return std::nullopt;
    const auto second = text.find(separator, first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const auto day = ParseField(text.substr(0, first));
    const auto month = ParseField(text.substr(first + 1, second - first - 1));
    const auto year = ParseField(text.substr(second + 1));
    if (!day || !month || !year) return std::nullopt;
    const CivilDate date{*year, *month, *day};
    if (!IsValidDate(date)) return std::nullopt;
    return ToSerial(date);
}

}  // namespace editor
