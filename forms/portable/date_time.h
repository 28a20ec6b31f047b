// Serial dates: days since 1899-12-30, the fraction being the time of day.
#pragma once

namespace forms {

using TDateTime = double;

TDateTime EncodeDate(int year, int month, int day);
// The day a serial falls in (its time of day does not count).
void DecodeDate(TDateTime value, int& year, int& month, int& day);
// A real day of the years 1 to 9999.
bool IsValidDate(int year, int month, int day);

}  // namespace forms
