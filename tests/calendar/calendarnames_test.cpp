#include "calendar/calendarnames.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::calendar;

namespace {

TEST(CalendarNames, DescriptionAndPickerDifferOnlyInTheTwenties)
{
    for (int day = 1; day <= 30; ++day) {
        SCOPED_TRACE(day);
        const bool twenties = day >= 21 && day <= 29;
        EXPECT_EQ(LunarDayName(day) == PickerLunarDayName(day), !twenties);
    }
    EXPECT_EQ(LunarDayName(21), QStringLiteral("廿一"));
    EXPECT_EQ(PickerLunarDayName(21), QStringLiteral("二一"));
    EXPECT_EQ(LunarDayName(20), QStringLiteral("二十"));
    EXPECT_EQ(LunarDayName(30), QStringLiteral("三十"));
    EXPECT_EQ(LunarDayName(31), QString());
}

TEST(CalendarNames, ZodiacFollowsTheSexagenaryCycle)
{
    EXPECT_EQ(ZodiacOfLunarYear(1976), QStringLiteral("龙"));
    EXPECT_EQ(ZodiacOfLunarYear(1984), QStringLiteral("鼠"));
    EXPECT_EQ(ZodiacOfLunarYear(2006), QStringLiteral("狗"));
    EXPECT_EQ(ZodiacOfLunarYear(1901), QStringLiteral("牛"));
    EXPECT_EQ(ZodiacOfLunarYear(2100), QStringLiteral("猴"));
}

TEST(CalendarNames, WeekdaysStartOnSunday)
{
    EXPECT_EQ(WeekdayName(1), QStringLiteral("星期日"));
    EXPECT_EQ(WeekdayName(7), QStringLiteral("星期六"));
    EXPECT_EQ(WeekdayName(0), QString());
}

} // namespace
