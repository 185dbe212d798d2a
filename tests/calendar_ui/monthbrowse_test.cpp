#include "calendar_ui/monthbrowse.h"

#include <gtest/gtest.h>

namespace natalis::calendar_ui {
namespace {

TEST(MonthBrowse, MovesWithinMarch1901ToDecember2100)
{
    const struct
    {
        const char *situation;
        YearMonth (*browse)(YearMonth);
        YearMonth from, expected;
    } rows[] = {
        { "next month from December 2100 stays", nextMonth, { 2100, 12 }, { 2100, 12 } },
        { "next month from December goes to January", nextMonth, { 2006, 12 }, { 2007, 1 } },
        { "previous month from March 1901 stays", previousMonth, { 1901, 3 }, { 1901, 3 } },
        { "previous month from January to December", previousMonth, { 2007, 1 }, { 2006, 12 } },
        { "previous year from February 1902 shows March 1901", previousYear, { 1902, 2 },
            { 1901, 3 } },
        { "previous year in 1901 stays", previousYear, { 1901, 7 }, { 1901, 7 } },
        { "next year keeps the month", nextYear, { 2006, 2 }, { 2007, 2 } },
        { "next year in 2100 stays", nextYear, { 2100, 5 }, { 2100, 5 } },
        { "1901 with January chosen shows March", clampToShownRange, { 1901, 1 }, { 1901, 3 } },
        { "year before the range", clampToShownRange, { 1850, 6 }, { 1901, 3 } },
        { "year after the range", clampToShownRange, { 2101, 1 }, { 2100, 12 } },
    };
    for (const auto &row : rows) {
        const YearMonth result = row.browse(row.from);
        EXPECT_EQ(result.year * 100 + result.month, row.expected.year * 100 + row.expected.month)
            << row.situation;
    }
}

} // namespace
} // namespace natalis::calendar_ui
