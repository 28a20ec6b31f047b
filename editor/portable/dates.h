// Dates of the biography: serial day numbers, the age label and the stored DOB text.
#pragma once

#include "forms/portable/date_time.h"

#include <optional>
#include <string>
#include <string_view>

namespace editor {

using SerialDate = forms::TDateTime;

// 21 years of 365 days before now.
inline constexpr double kDefaultAgeDays = 7665;
SerialDate DefaultDateOfBirth(SerialDate now);

// Whole years between now and the birth date, counted with 365.25-day years either way
// round (a birth date in the future gives a positive age).
int AgeInYears(SerialDate now, SerialDate birth);
// The age label, which the site build also publishes: "20 Years Of age."
std::string AgeLabel(int years);

// "dd/mm/yyyy" with the system's date separator in place of "/".
std::string FormatDateOfBirth(SerialDate date, char separator);
// Day, month and year in that order (year, month, day when the year leads with four
// digits), split at the separator or at "/", "." or "-"; nothing when the text is not a real
// date (the caller then takes its default).
std::optional<SerialDate> ParseDateOfBirth(std::string_view text, char separator);

}  // namespace editor
