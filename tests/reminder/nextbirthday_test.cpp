#include "reminder/nextbirthday.h"
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

// The occurrences themselves are CalcGlBirthDates' and CalcNlBirthDates'
// (birthdayoccurrences_test); here which of them is the next one.

using namespace natalis::reminder;
using namespace Qt::StringLiterals;
using natalis::test::gregorianBirthday;
using natalis::test::lunarBirthday;

namespace {

TEST(nextBirthdays, TheFirstOccurrenceOnOrAfterToday)
{
    const QDate may1(2025, 5, 1);
    const struct
    {
        const char *situation;
        natalis::store::BirthdayRecord birthday;
        QDate today;
        QDate next; // invalid: none
        int age;
    } rows[] = {
        { "later this year", gregorianBirthday(u"甲"_s, u"公历1980年 05月03日"_s), may1,
            QDate(2025, 5, 3), 45 },
        { "today counts", gregorianBirthday(u"甲"_s, u"公历1980年 05月01日"_s), may1, may1, 45 },
        { "passed this year", gregorianBirthday(u"甲"_s, u"公历1980年 04月30日"_s), may1,
            QDate(2026, 4, 30), 46 },
        { "lunar passed this lunar year", lunarBirthday(u"乙"_s, u"农历1980年 01月15日"_s), may1,
            QDate(2026, 3, 3), 46 },
        { "lunar twelfth month before the Gregorian new year",
            lunarBirthday(u"乙"_s, u"农历1980年 12月20日"_s), QDate(2025, 1, 10),
            QDate(2025, 1, 19), 44 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        const QList<NextBirthday> next = nextBirthdays({ row.birthday }, row.today);
        ASSERT_EQ(next.size(), 1);
        EXPECT_EQ(next[0].date, row.next);
        EXPECT_EQ(next[0].age, row.age);
        EXPECT_EQ(next[0].lunar, row.birthday.blnIsGL == u"按农历提醒");
    }
}

// A loaded list holds a repeated date text once; each date is reckoned once per pass, and the
// rows that share the text but not the leap-month rule must still fall apart.
TEST(nextBirthdays, SharedDateTextsReckonAsTextsOfTheirOwn)
{
    const QDate today(2025, 5, 1);
    natalis::store::BirthdayList own;
    natalis::test::TempDatabase files;
    auto db = files.create();
    for (const auto &[name, rule] :
        { std::pair { u"甲"_s, u"平月"_s }, { u"乙"_s, u"跳过"_s }, { u"丙"_s, u"平月"_s } }) {
        natalis::store::BirthdayRecord leap = lunarBirthday(name, u"农历2023年闰02月10日"_s);
        leap.LeapRule = rule;
        own.append(leap);
        natalis::store::AddBirthToMdb(db, leap, natalis::test::EnteredAt);
    }
    const QList<NextBirthday> next = nextBirthdays(own, today);
    const QList<NextBirthday> loaded =
        nextBirthdays(natalis::store::LoadBirthdays(db).Birthdays, today);
    ASSERT_EQ(loaded.size(), 3);
    EXPECT_NE(next[0].date, next[1].date);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(loaded[i].date, next[i].date) << i;
}

} // namespace
