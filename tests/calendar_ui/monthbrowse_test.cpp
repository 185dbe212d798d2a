#include "calendar_ui/monthbrowse.h"
#include "support/casename.h"

#include <gtest/gtest.h>

namespace natalis::calendar_ui {
namespace {

enum class Browse { Clamp, NextMonth, PreviousMonth, NextYear, PreviousYear };

struct BrowseRow
{
    const char *situation;
    Browse browse;
    YearMonth from;
    YearMonth expected;

    friend void PrintTo(const BrowseRow &row, std::ostream *out) { *out << row.situation; }
};

YearMonth apply(Browse browse, YearMonth from)
{
    switch (browse) {
    case Browse::Clamp:
        return ClampToShownRange(from);
    case Browse::NextMonth:
        return NextMonth(from);
    case Browse::PreviousMonth:
        return PreviousMonth(from);
    case Browse::NextYear:
        return NextYear(from);
    case Browse::PreviousYear:
        return PreviousYear(from);
    }
    return from;
}

class MonthBrowse : public testing::TestWithParam<BrowseRow>
{
};

TEST_P(MonthBrowse, MovesWithinMarch1901ToDecember2100)
{
    const BrowseRow &row = GetParam();
    const YearMonth result = apply(row.browse, row.from);
    EXPECT_EQ(result.year, row.expected.year);
    EXPECT_EQ(result.month, row.expected.month);
}

INSTANTIATE_TEST_SUITE_P(Rules, MonthBrowse,
    testing::Values(BrowseRow { "next month from December 2100 stays", Browse::NextMonth,
                        { 2100, 12 }, { 2100, 12 } },
        BrowseRow { "next month from December goes to January", Browse::NextMonth, { 2006, 12 },
            { 2007, 1 } },
        BrowseRow { "previous month from March 1901 stays", Browse::PreviousMonth, { 1901, 3 },
            { 1901, 3 } },
        BrowseRow { "previous month from January goes to December", Browse::PreviousMonth,
            { 2007, 1 }, { 2006, 12 } },
        BrowseRow {
            "previous month from April 1901", Browse::PreviousMonth, { 1901, 4 }, { 1901, 3 } },
        BrowseRow { "previous year from February 1902 shows March 1901", Browse::PreviousYear,
            { 1902, 2 }, { 1901, 3 } },
        BrowseRow { "previous year from January 1902 shows March 1901", Browse::PreviousYear,
            { 1902, 1 }, { 1901, 3 } },
        BrowseRow { "previous year in 1901 stays", Browse::PreviousYear, { 1901, 7 }, { 1901, 7 } },
        BrowseRow { "next year keeps the month", Browse::NextYear, { 2006, 2 }, { 2007, 2 } },
        BrowseRow { "next year in 2100 stays", Browse::NextYear, { 2100, 5 }, { 2100, 5 } },
        BrowseRow {
            "1901 with January chosen shows March", Browse::Clamp, { 1901, 1 }, { 1901, 3 } },
        BrowseRow {
            "1901 with February chosen shows March", Browse::Clamp, { 1901, 2 }, { 1901, 3 } },
        BrowseRow { "year before the range", Browse::Clamp, { 1850, 6 }, { 1901, 3 } },
        BrowseRow { "year after the range", Browse::Clamp, { 2101, 1 }, { 2100, 12 } }),
    test::BySituation());

} // namespace
} // namespace natalis::calendar_ui
