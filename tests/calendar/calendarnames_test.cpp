#include "calendar/calendarnames.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::calendar;

namespace {

TEST(CalendarNames, DescriptionAndPickerDifferOnlyInTheTwenties)
{
    for (int day = 1; day <= 30; ++day)
        EXPECT_EQ(LunarDayName(day) == PickerLunarDayName(day), day < 21 || day > 29) << day;
    EXPECT_EQ(LunarDayName(21) + PickerLunarDayName(21), QStringLiteral("廿一二一"));
    EXPECT_EQ(LunarDayName(20) + LunarDayName(30), QStringLiteral("二十三十"));
    EXPECT_EQ(LunarDayName(31), QString());
}

TEST(CalendarNames, ZodiacAndWeekdays)
{
    EXPECT_EQ(ZodiacOfLunarYear(1901) + ZodiacOfLunarYear(1976) + ZodiacOfLunarYear(1984)
            + ZodiacOfLunarYear(2100),
        QStringLiteral("牛龙鼠猴"));
    EXPECT_EQ(WeekdayName(1) + WeekdayName(7), QStringLiteral("星期日星期六"));
    EXPECT_EQ(WeekdayName(0), QString());
}

} // namespace
