#include "calendar_ui/pickergrid.h"

#include <gtest/gtest.h>

// What a picked or typed day gives is checked through the typed dates (typeddate_test).

namespace natalis::calendar_ui {
namespace {

bool empty(const PickerGrid &cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const PickerCell &c) { return c.day == 0; });
}

TEST(GregorianPickerGrid, JanuaryStartingOnSundayWithSpringFestivalAndToday)
{
    // 1 January 2006 was a Sunday; 29 January 2006 was the lunar new year.
    const PickerGrid cells = buildGregorianPickerGrid(2006, 1, QDate(2006, 1, 2));
    EXPECT_EQ(cells[28].smallText, QStringLiteral("春节"));
    EXPECT_EQ(cells[28].smallColour, CellColour::Marked);
    EXPECT_EQ(cells[30].day, 31);
    EXPECT_EQ(cells[31].day, 0);
    EXPECT_EQ(cells[1].largeColour, CellColour::Today);
    EXPECT_EQ(cells[2].largeColour, CellColour::Day);
    EXPECT_TRUE(empty(buildGregorianPickerGrid(1901, 2, QDate(2006, 1, 2))));
    EXPECT_TRUE(empty(buildGregorianPickerGrid(2101, 1, QDate(2006, 1, 2))));
}

TEST(LunarPickerGrid, EighthMonthOf2006)
{
    // Day 1 was Friday 22 September 2006, day 10 was 1 October, day 15 the mid-autumn festival;
    // the month has 30 days.
    const PickerGrid cells = buildLunarPickerGrid(2006, QStringLiteral(" 08"), QDate(2006, 10, 6));
    EXPECT_EQ(cells[4].day, 0);
    EXPECT_EQ(cells[5].largeText, QStringLiteral("初一"));
    EXPECT_EQ(cells[5].smallText, QStringLiteral("22"));
    EXPECT_EQ(cells[5 + 9].smallText, QStringLiteral("10月"));
    EXPECT_EQ(cells[5 + 14].smallText, QStringLiteral("中秋节"));
    EXPECT_EQ(cells[5 + 14].smallColour, CellColour::Marked);
    EXPECT_EQ(cells[5 + 14].largeColour, CellColour::Today);
    EXPECT_EQ(cells[5 + 20].largeText, QStringLiteral("二一"));
    EXPECT_EQ(cells[5 + 29].largeText, QStringLiteral("三十"));
    EXPECT_EQ(cells[5 + 30].day, 0);
    EXPECT_TRUE(empty(buildLunarPickerGrid(2007, QStringLiteral("闰07"), QDate(2006, 10, 6))));
    EXPECT_FALSE(pickLunarDay(2006, QStringLiteral("闰07"), 30)) << "the leap seventh has 29 days";
}

} // namespace
} // namespace natalis::calendar_ui
