#include "reminder/upcomingbirthdays.h"
#include "support/birthdaybuilder.h"

#include <gtest/gtest.h>

// The dates and ages themselves are nextBirthdays' (nextbirthday_test); here which birthdays
// come up and in what order.

using namespace natalis::reminder;
using namespace Qt::StringLiterals;
using natalis::store::BirthdayRecord;
using natalis::test::gregorianBirthday;
using natalis::test::lunarBirthday;

namespace {

TEST(upcomingBirthdays, TodayAndTheNextThirtyDaysSoonestFirst)
{
    const QDate may1(2025, 5, 1);
    const struct
    {
        const char *situation;
        BirthdayRecord birthday;
        int daysLeft; // -1: not in the list
    } rows[] = {
        { "day thirty is in", gregorianBirthday(u"末"_s, u"公历1990年 05月31日"_s), 30 },
        { "day thirty-one is out", gregorianBirthday(u"外"_s, u"公历1990年 06月01日"_s), -1 },
        { "yesterday waits a year", gregorianBirthday(u"昨"_s, u"公历1990年 04月30日"_s), -1 },
        { "lunar by its Gregorian day", lunarBirthday(u"农"_s, u"农历1990年 04月10日"_s), 6 },
        { "no date at all", gregorianBirthday(u"空"_s, QString()), -1 },
        { "today first", gregorianBirthday(u"今"_s, u"公历1990年 05月01日"_s), 0 },
        { "same day keeps the array order", gregorianBirthday(u"同"_s, u"公历1980年 05月31日"_s),
            30 },
    };
    QList<BirthdayRecord> birthdays;
    for (const auto &row : rows)
        birthdays.append(row.birthday);
    const QList<UpcomingBirthday> upcoming = upcomingBirthdays(birthdays, may1);

    QStringList names, expected;
    for (const UpcomingBirthday &entry : upcoming) {
        names << birthdays[entry.index].About;
        EXPECT_EQ(entry.daysLeft, may1.daysTo(entry.next.date)) << entry.index;
    }
    for (int left : { 0, 6, 30 }) {
        for (const auto &row : rows) {
            if (row.daysLeft == left)
                expected << row.birthday.About;
        }
    }
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(upcoming.value(1).next.lunar);
}

} // namespace
