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

// A day kept without a year, typed as month and day ("4-15", lunar "闰3-5") or as a full date
// whose year is then dropped: the text with year 0000 ("公历0000年 04月15日",
// "农历0000年闰03月05日"). nullopt for a malformed text or a day no year has (a full date is held
// to the pickers' range as above; 29 February and lunar day 30 are taken).
std::optional<QString> typedGregorianMonthDay(const QString &text);
std::optional<QString> typedLunarMonthDay(const QString &text);

// Both texts of a picked day with their years dropped: the month and day of each calendar.
PickedTexts withoutYear(const PickedTexts &texts);

} // namespace natalis::calendar_ui
