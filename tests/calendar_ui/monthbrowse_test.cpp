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
        { "next month from December 2100 stays", NextMonth, { 2100, 12 }, { 2100, 12 } },
        { "next month from December goes to January", NextMonth, { 2006, 12 }, { 2007, 1 } },
        { "previous month from March 1901 stays", PreviousMonth, { 1901, 3 }, { 1901, 3 } },
        { "previous month from January to December", PreviousMonth, { 2007, 1 }, { 2006, 12 } },
        { "previous year from February 1902 shows March 1901", PreviousYear, { 1902, 2 },
            { 1901, 3 } },
        { "previous year in 1901 stays", PreviousYear, { 1901, 7 }, { 1901, 7 } },
        { "next year keeps the month", NextYear, { 2006, 2 }, { 2007, 2 } },
        { "next year in 2100 stays", NextYear, { 2100, 5 }, { 2100, 5 } },
        { "1901 with January chosen shows March", ClampToShownRange, { 1901, 1 }, { 1901, 3 } },
        { "year before the range", ClampToShownRange, { 1850, 6 }, { 1901, 3 } },
        { "year after the range", ClampToShownRange, { 2101, 1 }, { 2100, 12 } },
    };
    for (const auto &row : rows) {
        const YearMonth result = row.browse(row.from);
        EXPECT_EQ(result.year * 100 + result.month, row.expected.year * 100 + row.expected.month)
            << row.situation;
    }
}

} // namespace
} // namespace natalis::calendar_ui
