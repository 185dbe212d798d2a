#include "calendar/lunaryeartable.h"
#include "support/calendarprinters.h"

#include <gtest/gtest.h>
#include <numeric>

using namespace natalis::calendar;

namespace {

// What the bits of particular years decode to is pinned by the conversions of known days
// (lunarconversion_test); here the month a year lacks and the table as a whole.

TEST(LunarYearTable, MonthLengthOfAMonthTheYearLacks)
{
    const LunarYearTable &table = LoadLunarYearTable();
    EXPECT_EQ(table.monthLength(2007, 7, true), std::nullopt) << "2007 has no leap month";
    EXPECT_EQ(table.monthLength(2006, 6, true), std::nullopt) << "2006 leaps the 7th month";
    EXPECT_EQ(table.monthLength(2006, 7, true), 29);
    EXPECT_EQ(table.monthLength(2006, 13, false), std::nullopt);
    EXPECT_EQ(table.monthLength(2006, 0, false), std::nullopt);
}

TEST(LunarYearTable, EveryYearIsConsistent)
{
    const LunarYearTable &table = LoadLunarYearTable();
    for (int year = LunarYearTable::FirstYear; year <= LunarYearTable::LastYear; ++year) {
        SCOPED_TRACE(year);
        const QList<LunarMonth> months = table.months(year);
        const bool hasLeap = table.leapMonth(year) != 0;
        EXPECT_EQ(months.size(), hasLeap ? 13 : 12);
        EXPECT_LE(table.leapMonth(year), 11);
        const int days = std::accumulate(months.begin(), months.end(), 0,
            [](int sum, const LunarMonth &m) { return sum + m.days; });
        EXPECT_EQ(table.yearLength(year), days);
        EXPECT_GE(days, hasLeap ? 383 : 353);
        EXPECT_LE(days, hasLeap ? 385 : 355);
        EXPECT_EQ(table.daysBeforeYear(year + 1) - table.daysBeforeYear(year), days);
        // Lunar new year is always the second new moon after the winter solstice.
        const QDate newYear = LunarYearTable::anchor().addDays(table.daysBeforeYear(year));
        EXPECT_GE(newYear, QDate(year, 1, 21));
        EXPECT_LE(newYear, QDate(year, 2, 20));
    }
}

} // namespace
