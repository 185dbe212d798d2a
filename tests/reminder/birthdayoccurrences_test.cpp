#include "reminder/birthdayoccurrences.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::reminder;
using natalis::test::gregorianBirthday;
using natalis::test::lunarBirthday;

namespace {

struct OccurrenceRow
{
    const char *situation;
    natalis::store::BirthdayRecord birthday;
    int year; // Gregorian year for the Gregorian rule, lunar year for the lunar rule
    QDate thisYear; // invalid: no occurrence
    QDate nextYear;
    qint16 thisAge;
    qint16 nextAge;
    friend void PrintTo(const OccurrenceRow &row, std::ostream *os) { *os << row.situation; }
};

class Occurrences : public testing::TestWithParam<OccurrenceRow>
{
};

TEST_P(Occurrences, ThisYearAndNextYear)
{
    const OccurrenceRow &row = GetParam();
    const QList<natalis::store::BirthdayRecord> birthdays { row.birthday };
    BirthOccurrences occurrences(1);
    CalcGlBirthDates(birthdays, row.year, occurrences);
    CalcNlBirthDates(birthdays, row.year, occurrences);
    EXPECT_EQ(occurrences.ThisYearDates[0], row.thisYear);
    EXPECT_EQ(occurrences.NextYearDates[0], row.nextYear);
    EXPECT_EQ(occurrences.ThisYearAges[0], row.thisAge);
    EXPECT_EQ(occurrences.NextYearAges[0], row.nextAge);
}

QString text(const char16_t *t)
{
    return QString::fromUtf16(t);
}

INSTANTIATE_TEST_SUITE_P(Gregorian, Occurrences,
    testing::Values(OccurrenceRow { "29 February in a leap year and the common year after",
                        gregorianBirthday(text(u"闰日"), text(u"公历2000年 02月29日")), 2024,
                        QDate(2024, 2, 29), QDate(2025, 2, 28), 24, 25 },
        OccurrenceRow { "29 February in 2100 falls on the 28th",
            gregorianBirthday(text(u"闰日"), text(u"公历2000年 02月29日")), 2099,
            QDate(2099, 2, 28), QDate(2100, 2, 28), 99, 100 },
        OccurrenceRow { "nothing after 2100",
            gregorianBirthday(text(u"张三"), text(u"公历1976年 02月25日")), 2100,
            QDate(2100, 2, 25), QDate(), 124, 0 },
        OccurrenceRow { "born next year",
            gregorianBirthday(text(u"张三"), text(u"公历2026年 05月01日")), 2025, QDate(),
            QDate(2026, 5, 1), 0, 0 },
        OccurrenceRow { "born after next year",
            gregorianBirthday(text(u"张三"), text(u"公历2030年 05月01日")), 2025, QDate(), QDate(),
            0, 0 },
        OccurrenceRow { "padded field",
            gregorianBirthday(text(u"  张三  "), text(u"公历1976年 02月25日      ")), 2025,
            QDate(2025, 2, 25), QDate(2026, 2, 25), 49, 50 },
        OccurrenceRow { "30 February in a hand-edited file",
            gregorianBirthday(text(u"张三"), text(u"公历1976年 02月30日")), 2025, QDate(), QDate(),
            0, 0 },
        OccurrenceRow { "empty date text", gregorianBirthday(text(u"张三"), QString()), 2025,
            QDate(), QDate(), 0, 0 },
        OccurrenceRow { "garbage date text", gregorianBirthday(text(u"张三"), text(u"明天")), 2025,
            QDate(), QDate(), 0, 0 }),
    natalis::test::BySituation());

natalis::store::BirthdayRecord withRule(natalis::store::BirthdayRecord record, const char16_t *rule)
{
    record.blnIsGL = QString::fromUtf16(rule);
    return record;
}

INSTANTIATE_TEST_SUITE_P(Rules, Occurrences,
    testing::Values(
        OccurrenceRow { "unknown rule text",
            withRule(gregorianBirthday(text(u"张三"), text(u"公历1976年 02月25日")), u"按阴历提醒"),
            2025, QDate(), QDate(), 0, 0 },
        OccurrenceRow { "padded rule text",
            withRule(
                gregorianBirthday(text(u"张三"), text(u"公历1976年 02月25日")), u"按公历提醒 "),
            2025, QDate(2025, 2, 25), QDate(2026, 2, 25), 49, 50 },
        OccurrenceRow { "lunar rule reads only the lunar text",
            withRule(gregorianBirthday(text(u"张三"), text(u"公历1976年 02月25日")), u"按农历提醒"),
            2025, QDate(), QDate(), 0, 0 }),
    natalis::test::BySituation());

// Lunar months of 2006 (new year 29 January): 1:30 2:29 3:30 4:29 5:30 6:29 7:30 闰7:29 …;
// 2007 (new year 18 February) has no leap month; 2009 (new year 26 January) leaps the 5th.
INSTANTIATE_TEST_SUITE_P(Lunar, Occurrences,
    testing::Values(OccurrenceRow { "day 30 in a 29-day month falls on day 29",
                        lunarBirthday(text(u"李四"), text(u"农历1990年 02月30日")), 2006,
                        QDate(2006, 3, 28), QDate(2007, 4, 16), 16, 17 },
        OccurrenceRow { "leap 5th month in a year that leaps the 5th",
            lunarBirthday(text(u"李四"), text(u"农历1903年闰05月01日")), 2008, QDate(2008, 6, 4),
            QDate(2009, 6, 23), 105, 106 },
        OccurrenceRow { "leap 5th month in a year that leaps another month",
            lunarBirthday(text(u"李四"), text(u"农历1903年闰05月01日")), 2006, QDate(2006, 5, 27),
            QDate(2007, 6, 15), 103, 104 },
        OccurrenceRow { "regular 5th month in a year that leaps the 5th",
            lunarBirthday(text(u"李四"), text(u"农历1990年 05月01日")), 2009, QDate(2009, 5, 24),
            QDate(2010, 6, 12), 19, 20 },
        OccurrenceRow { "new year", lunarBirthday(text(u"李四"), text(u"农历1980年 01月01日")),
            2003, QDate(2003, 2, 1), QDate(2004, 1, 22), 23, 24 },
        OccurrenceRow { "lunar 2100 is the last year",
            lunarBirthday(text(u"李四"), text(u"农历1980年 01月01日")), 2100, QDate(2100, 2, 9),
            QDate(), 120, 0 },
        OccurrenceRow { "born in the next lunar year",
            lunarBirthday(text(u"李四"), text(u"农历2007年 03月03日")), 2006, QDate(),
            QDate(2007, 4, 19), 0, 0 },
        OccurrenceRow { "malformed lunar text",
            lunarBirthday(text(u"李四"), text(u"农历1980年 13月01日")), 2006, QDate(), QDate(), 0,
            0 },
        OccurrenceRow { "lunar text in a Gregorian layout",
            lunarBirthday(text(u"李四"), text(u"公历1980年 01月01日")), 2006, QDate(), QDate(), 0,
            0 }),
    natalis::test::BySituation());

TEST(Occurrences, OnlyTheEntriesOfTheRuleAreTouched)
{
    const QList<natalis::store::BirthdayRecord> birthdays {
        gregorianBirthday(QStringLiteral("a"), QStringLiteral("公历1976年 02月25日")),
        lunarBirthday(QStringLiteral("b"), QStringLiteral("农历1976年 01月26日")),
    };
    BirthOccurrences occurrences(2);
    CalcGlBirthDates(birthdays, 2025, occurrences);
    EXPECT_TRUE(occurrences.ThisYearDates[0].isValid());
    EXPECT_FALSE(occurrences.ThisYearDates[1].isValid());
    CalcNlBirthDates(birthdays, 2025, occurrences);
    EXPECT_EQ(occurrences.ThisYearDates[0], QDate(2025, 2, 25));
    EXPECT_TRUE(occurrences.ThisYearDates[1].isValid());
}

} // namespace
