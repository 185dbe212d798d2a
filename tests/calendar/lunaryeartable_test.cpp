#include "calendar/lunarconversion.h"
#include "calendar/lunaryeartable.h"
#include "support/calendarprinters.h"
#include "support/casename.h"

#include <gtest/gtest.h>
#include <numeric>

using namespace natalis::calendar;

namespace {

struct YearRow
{
    const char *situation;
    int year;
    std::int32_t entry;
    QList<LunarMonth> months;
    int days;
    friend void PrintTo(const YearRow &row, std::ostream *os) { *os << row.situation; }
};

LunarMonth regular(int number, int days)
{
    return { number, false, days };
}

LunarMonth leap(int number, int days)
{
    return { number, true, days };
}

class LunarYearRows : public testing::TestWithParam<YearRow>
{
};

TEST_P(LunarYearRows, MonthsInCalendarOrder)
{
    const YearRow &row = GetParam();
    const LunarYearTable &table = LoadLunarYearTable();
    EXPECT_EQ(table.entry(row.year), row.entry);
    EXPECT_EQ(table.months(row.year), row.months);
    EXPECT_EQ(table.yearLength(row.year), row.days);
    for (const LunarMonth &month : row.months)
        EXPECT_EQ(table.monthLength(row.year, month.number, month.isLeap), month.days);
}

INSTANTIATE_TEST_SUITE_P(TellingYears, LunarYearRows,
    testing::Values(YearRow { "first year, no leap month", 1901, 0x004AE,
                        { regular(1, 29), regular(2, 30), regular(3, 29), regular(4, 29),
                            regular(5, 30), regular(6, 29), regular(7, 30), regular(8, 29),
                            regular(9, 30), regular(10, 30), regular(11, 30), regular(12, 29) },
                        354 },
        YearRow { "leap fifth month", 1903, 0x50A4D,
            { regular(1, 29), regular(2, 30), regular(3, 29), regular(4, 30), regular(5, 29),
                leap(5, 29), regular(6, 30), regular(7, 29), regular(8, 29), regular(9, 30),
                regular(10, 30), regular(11, 29), regular(12, 30) },
            383 },
        YearRow { "leap seventh month", 2006, 0x7155B,
            { regular(1, 30), regular(2, 29), regular(3, 30), regular(4, 29), regular(5, 30),
                regular(6, 29), regular(7, 30), leap(7, 29), regular(8, 30), regular(9, 30),
                regular(10, 29), regular(11, 30), regular(12, 30) },
            385 },
        YearRow { "last year", 2100, 0x00D52,
            { regular(1, 30), regular(2, 30), regular(3, 29), regular(4, 30), regular(5, 29),
                regular(6, 30), regular(7, 29), regular(8, 30), regular(9, 29), regular(10, 29),
                regular(11, 30), regular(12, 29) },
            354 }),
    natalis::test::BySituation());

TEST(LunarYearTable, MonthLengthOfAMonthTheYearLacks)
{
    const LunarYearTable &table = LoadLunarYearTable();
    EXPECT_EQ(table.monthLength(2007, 7, true), std::nullopt) << "2007 has no leap month";
    EXPECT_EQ(table.monthLength(2006, 6, true), std::nullopt) << "2006 leaps the 7th month";
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

TEST(LunarYearTable, NewYearsFallWhereTheCalendarSays)
{
    const LunarYearTable &table = LoadLunarYearTable();
    const auto newYear = [&](int year) {
        return LunarYearTable::anchor().addDays(table.daysBeforeYear(year));
    };
    EXPECT_EQ(LunarYearTable::anchor(), QDate(1901, 2, 19));
    EXPECT_EQ(newYear(1976), QDate(1976, 1, 31));
    EXPECT_EQ(newYear(2000), QDate(2000, 2, 5));
    EXPECT_EQ(newYear(2006), QDate(2006, 1, 29));
    EXPECT_EQ(newYear(2025), QDate(2025, 1, 29));
    EXPECT_EQ(newYear(2101).addDays(-1), QDate(2101, 1, 28)) << "last day of lunar 2100";
}

} // namespace
