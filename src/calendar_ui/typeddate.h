#pragma once

#include "calendar_ui/pickergrid.h"

#include <QString>
#include <optional>

namespace natalis::calendar_ui {

// A date typed into a date box instead of picked, held to the pickers' own range and rules.
// Gregorian: "YYYY-MM-DD" with or without leading zeros ("1976-2-25"). Lunar: the import
// layout, the month optionally marked leap ("2006-闰7-15"). Both texts of the day, or nullopt
// for a malformed text or a day the pickers do not offer (a leap month the year lacks, day 30 of
// a short month, a date outside March 1901 … 2100).
std::optional<PickedTexts> typedGregorianDate(const QString &text);
std::optional<PickedTexts> typedLunarDate(const QString &text);

} // namespace natalis::calendar_ui
