#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace natalis::calendar_ui {

// The months of a lunar year as the lunar picker lists them, three characters each as they stand
// in a lunar date text: " 01" … " 12", the leap month "闰07" right after " 07". Empty for a year
// outside 1901..2100.
QStringList lunarMonthTexts(int lunarYear);

// A month of the lunar picker: a lunar year of 1901..2100 and a position in its month list.
struct LunarMonthChoice
{
    int year = 0;
    int position = 0; // 0-based

    friend bool operator==(const LunarMonthChoice &, const LunarMonthChoice &) = default;
};

// Keeps the choice to months whose every day lies in March 1901 … December 2100: the position
// into the year's list, lunar month 1 of 1901 giving way to month 2, lunar month 12 of 2100 to
// month 11.
LunarMonthChoice clampLunarMonth(LunarMonthChoice choice);

// The month a lunar text names ("农历2006年闰07月15日"), clamped as above; a leap month the year
// lacks gives the regular month. nullopt when the text is not a lunar date text.
std::optional<LunarMonthChoice> lunarMonthOfText(const QString &lunarText);

// The browse buttons of the lunar picker. A year change keeps the list position (the last entry
// when the new list is shorter); at the ends of the range nothing changes.
LunarMonthChoice nextLunarMonth(LunarMonthChoice choice);
LunarMonthChoice previousLunarMonth(LunarMonthChoice choice);
LunarMonthChoice changeLunarYear(LunarMonthChoice choice, int newYear);

} // namespace natalis::calendar_ui
