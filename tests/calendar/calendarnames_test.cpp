#include "calendar/calendarnames.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::calendar;

namespace {

TEST(CalendarNames, DescriptionAndPickerDifferOnlyInTheTwenties)
{
    for (int day = 1; day <= 30; ++day)
        EXPECT_EQ(lunarDayName(day) == pickerLunarDayName(day), day < 21 || day > 29) << day;
    EXPECT_EQ(lunarDayName(21) + pickerLunarDayName(21), QStringLiteral("廿一二一"));
    EXPECT_EQ(lunarDayName(20) + lunarDayName(30), QStringLiteral("二十三十"));
    EXPECT_EQ(lunarDayName(31), QString());
}

TEST(CalendarNames, ZodiacAndWeekdays)
{
    EXPECT_EQ(zodiacOfLunarYear(1901) + zodiacOfLunarYear(1976) + zodiacOfLunarYear(1984)
            + zodiacOfLunarYear(2100),
        QStringLiteral("牛龙鼠猴"));
    EXPECT_EQ(weekdayName(1) + weekdayName(7), QStringLiteral("星期日星期六"));
    EXPECT_EQ(weekdayName(0), QString());
}

} // namespace
