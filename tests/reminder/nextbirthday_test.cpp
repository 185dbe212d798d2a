#include "reminder/nextbirthday.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::reminder;
using natalis::test::gregorianBirthday;
using natalis::test::lunarBirthday;

namespace {

struct NextRow
{
    const char *situation;
    natalis::store::BirthdayRecord birthday;
    QDate today;
    QDate next; // invalid: none
    int age;
    friend void PrintTo(const NextRow &row, std::ostream *os) { *os << row.situation; }
};

class NextBirthdays : public testing::TestWithParam<NextRow>
{
};

TEST_P(NextBirthdays, ByTheEntrysRule)
{
    const NextRow &row = GetParam();
    const QList<NextBirthday> next = natalis::reminder::NextBirthdays({ row.birthday }, row.today);
    ASSERT_EQ(next.size(), 1);
    EXPECT_EQ(next[0].date, row.next);
    if (row.next.isValid()) {
        EXPECT_EQ(next[0].age, row.age);
    }
    EXPECT_EQ(next[0].lunar, row.birthday.blnIsGL == u"按农历提醒");
}

const QDate May1st2025(2025, 5, 1);

INSTANTIATE_TEST_SUITE_P(Occurrences, NextBirthdays,
    testing::Values(
        NextRow { "later this year", gregorianBirthday(u"甲"_qs, u"公历1980年 05月03日"_qs),
            May1st2025, QDate(2025, 5, 3), 45 },
        NextRow { "today counts", gregorianBirthday(u"甲"_qs, u"公历1980年 05月01日"_qs),
            May1st2025, May1st2025, 45 },
        NextRow { "passed this year", gregorianBirthday(u"甲"_qs, u"公历1980年 04月30日"_qs),
            May1st2025, QDate(2026, 4, 30), 46 },
        NextRow { "29 February in a common year",
            gregorianBirthday(u"甲"_qs, u"公历2000年 02月29日"_qs), QDate(2025, 3, 1),
            QDate(2026, 2, 28), 26 },
        NextRow { "born after today", gregorianBirthday(u"甲"_qs, u"公历2030年 01月01日"_qs),
            May1st2025, QDate(), 0 },
        NextRow { "malformed date", gregorianBirthday(u"甲"_qs, u"1980-05-03"_qs), May1st2025,
            QDate(), 0 },
        NextRow { "lunar leap month in a year without it",
            lunarBirthday(u"乙"_qs, u"农历2006年闰07月15日"_qs), May1st2025, QDate(2025, 9, 6),
            19 },
        NextRow { "lunar passed this lunar year", lunarBirthday(u"乙"_qs, u"农历1980年 01月15日"_qs),
            May1st2025, QDate(2026, 3, 3), 46 },
        NextRow { "lunar twelfth month before the Gregorian new year",
            lunarBirthday(u"乙"_qs, u"农历1980年 12月20日"_qs), QDate(2025, 1, 10),
            QDate(2025, 1, 19), 44 }),
    natalis::test::BySituation());

} // namespace
