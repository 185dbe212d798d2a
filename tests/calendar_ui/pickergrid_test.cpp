#include "calendar_ui/pickergrid.h"
#include "support/casename.h"

#include <gtest/gtest.h>

namespace natalis::calendar_ui {
namespace {

const QDate FixedToday(2006, 5, 1);

TEST(PickGregorianDay, GivesBothTextsOfTheDay)
{
    const auto picked = PickGregorianDay(1976, 2, 25);
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(picked->gregorian, QStringLiteral("公历1976年 02月25日"));
    EXPECT_EQ(picked->lunar, QStringLiteral("农历1976年 01月26日"));
}

TEST(PickGregorianDay, RefusesDaysBeforeMarch1901)
{
    EXPECT_FALSE(PickGregorianDay(1901, 2, 25).has_value());
    EXPECT_TRUE(PickGregorianDay(1901, 3, 1).has_value());
    EXPECT_TRUE(PickGregorianDay(2100, 12, 31).has_value());
}

TEST(PickLunarDay, LeapMonthDayGivesItsGregorianDay)
{
    const auto picked = PickLunarDay(2006, QStringLiteral("闰07"), 15);
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(picked->lunar, QStringLiteral("农历2006年闰07月15日"));
    EXPECT_EQ(picked->gregorian, QStringLiteral("公历2006年 09月07日"));
}

TEST(PickLunarDay, RefusesADayPastTheEndOfTheMonth)
{
    // The leap seventh month of 2006 has 29 days (闰7月小).
    EXPECT_FALSE(PickLunarDay(2006, QStringLiteral("闰07"), 30).has_value());
}

TEST(GregorianPickerGrid, JanuaryStartingOnSundayWithSpringFestival)
{
    // 1 January 2006 was a Sunday; 29 January 2006 was the lunar new year.
    const PickerGrid cells = BuildGregorianPickerGrid(2006, 1, FixedToday);
    EXPECT_EQ(cells[0].largeText, QStringLiteral("1"));
    EXPECT_EQ(cells[28].largeText, QStringLiteral("29"));
    EXPECT_EQ(cells[28].smallText, QStringLiteral("春节"));
    EXPECT_EQ(cells[28].smallColour, CellColour::Marked);
    EXPECT_EQ(cells[30].day, 31);
    EXPECT_EQ(cells[31].day, 0);
}

TEST(GregorianPickerGrid, MarksTodayOnly)
{
    // 1 May 2006 was a Monday.
    const PickerGrid cells = BuildGregorianPickerGrid(2006, 5, FixedToday);
    EXPECT_EQ(cells[1].largeColour, CellColour::Today);
    EXPECT_EQ(cells[2].largeColour, CellColour::Day);
}

TEST(GregorianPickerGrid, OffersNoMonthOutsideTheRange)
{
    for (const PickerCell &cell : BuildGregorianPickerGrid(1901, 2, FixedToday))
        EXPECT_EQ(cell.day, 0);
    for (const PickerCell &cell : BuildGregorianPickerGrid(2101, 1, FixedToday))
        EXPECT_EQ(cell.day, 0);
}

TEST(LunarPickerGrid, LeapSeventhMonthOf2006)
{
    // Day 1 of the leap seventh month of 2006 was Thursday 24 August 2006; the month has 29 days.
    const PickerGrid cells = BuildLunarPickerGrid(2006, QStringLiteral("闰07"), FixedToday);
    EXPECT_EQ(cells[3].day, 0);
    EXPECT_EQ(cells[4].largeText, QStringLiteral("初一"));
    EXPECT_EQ(cells[4].smallText, QStringLiteral("24"));
    EXPECT_EQ(cells[4 + 8].smallText, QStringLiteral("9月")); // 1 September
    EXPECT_EQ(cells[4 + 20].largeText, QStringLiteral("二一"));
    EXPECT_EQ(cells[4 + 28].largeText, QStringLiteral("二九"));
    EXPECT_EQ(cells[4 + 29].day, 0);
}

TEST(LunarPickerGrid, FestivalUnderTheLunarDay)
{
    // Lunar 2006-08-15, the mid-autumn festival, was 6 October 2006.
    const PickerGrid cells = BuildLunarPickerGrid(2006, QStringLiteral(" 08"), FixedToday);
    const auto festival = std::find_if(
        cells.begin(), cells.end(), [](const PickerCell &cell) { return cell.day == 15; });
    ASSERT_NE(festival, cells.end());
    EXPECT_EQ(festival->smallText, QStringLiteral("中秋节"));
    EXPECT_EQ(festival->smallColour, CellColour::Marked);
}

TEST(LunarPickerGrid, MonthTheYearLacksIsEmpty)
{
    for (const PickerCell &cell : BuildLunarPickerGrid(2007, QStringLiteral("闰07"), FixedToday))
        EXPECT_EQ(cell.day, 0);
}

} // namespace
} // namespace natalis::calendar_ui
