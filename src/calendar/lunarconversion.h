#pragma once

#include "lunardate.h"

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>

namespace natalis::calendar {

// The lunar date of a Gregorian day from 19 February 1901 (lunar 1901-01-01) to 28 January
// 2101 (the last day of lunar 2100); nullopt outside that range. Windows go through
// DescribeDay, which also names the day; this is the bare conversion beneath it.
std::optional<LunarDate> solarToLunar(QDate date);

// The Gregorian day of a lunar date of the years 1901..2100; nullopt for another year, a month
// outside 1..12 or a day outside 1..30. A leap flag on a month that is not the year's leap
// month is ignored (the regular month is meant), and a day past the end of its month runs on
// into the next month: day 30 of a 29-day month is the first day of the month after. Callers
// that need an existing day clamp it first.
std::optional<QDate> lunarToSolar(const LunarDate &date);

// lunarToSolar on the stored texts: a lunar text in, the Gregorian text of the same day out;
// nullopt when the text is malformed or names a year outside 1901..2100.
std::optional<QString> LunarToSolarText(QStringView lunarText);

} // namespace natalis::calendar
