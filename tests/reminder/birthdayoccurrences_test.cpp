#include "reminder/birthdayoccurrences.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::reminder;
using natalis::store::BirthdayRecord;

namespace {

BirthdayRecord gl(const char16_t *date, const char16_t *rule = u"按公历提醒")
{
    BirthdayRecord record =
        natalis::test::gregorianBirthday(QStringLiteral("张三"), QString::fromUtf16(date));
    record.blnIsGL = QString::fromUtf16(rule);
    return record;
}

BirthdayRecord nl(const char16_t *date)
{
    return natalis::test::lunarBirthday(QStringLiteral("李四"), QString::fromUtf16(date));
}

// Both functions run on every row: the one of the other rule must leave the record alone.
// Lunar months of 2006 (new year 29 January): 1:30 2:29 3:30 4:29 5:30 6:29 7:30 闰7:29 …;
// 2007 (new year 18 February) has no leap month; 2009 (new year 26 January) leaps the 5th.
TEST(Occurrences, ThisYearAndNextYearByTheRecordsRule)
{
    const struct
    {
        const char *situation;
        BirthdayRecord birthday;
        int year; // Gregorian year for the Gregorian rule, lunar year for the lunar rule
        QDate thisYear, nextYear; // invalid: no occurrence
        qint16 thisAge, nextAge;
    } rows[] = {
        { "29 February in a leap year and the common year after", gl(u"公历2000年 02月29日"), 2024,
            QDate(2024, 2, 29), QDate(2025, 2, 28), 24, 25 },
        { "29 February in 2100 falls on the 28th", gl(u"公历2000年 02月29日"), 2099,
            QDate(2099, 2, 28), QDate(2100, 2, 28), 99, 100 },
        { "nothing after 2100", gl(u"公历1976年 02月25日"), 2100, QDate(2100, 2, 25), QDate(), 124,
            0 },
        { "born next year", gl(u"公历2026年 05月01日"), 2025, QDate(), QDate(2026, 5, 1), 0, 0 },
        { "padded field", gl(u"公历1976年 02月25日      "), 2025, QDate(2025, 2, 25),
            QDate(2026, 2, 25), 49, 50 },
        { "30 February in a hand-edited file", gl(u"公历1976年 02月30日"), 2025, QDate(), QDate(),
            0, 0 },
        { "unknown rule text", gl(u"公历1976年 02月25日", u"按阴历提醒"), 2025, QDate(), QDate(), 0,
            0 },
        { "padded rule text", gl(u"公历1976年 02月25日", u"按公历提醒 "), 2025, QDate(2025, 2, 25),
            QDate(2026, 2, 25), 49, 50 },
        { "lunar rule reads only the lunar text", gl(u"公历1976年 02月25日", u"按农历提醒"), 2025,
            QDate(), QDate(), 0, 0 },
        { "day 30 in a 29-day month falls on day 29", nl(u"农历1990年 02月30日"), 2006,
            QDate(2006, 3, 28), QDate(2007, 4, 16), 16, 17 },
        { "leap 5th month in a year that leaps the 5th", nl(u"农历1903年闰05月01日"), 2008,
            QDate(2008, 6, 4), QDate(2009, 6, 23), 105, 106 },
        { "leap 5th month in a year that leaps another month", nl(u"农历1903年闰05月01日"), 2006,
            QDate(2006, 5, 27), QDate(2007, 6, 15), 103, 104 },
        { "regular 5th month in a year that leaps the 5th", nl(u"农历1990年 05月01日"), 2009,
            QDate(2009, 5, 24), QDate(2010, 6, 12), 19, 20 },
        { "new year", nl(u"农历1980年 01月01日"), 2003, QDate(2003, 2, 1), QDate(2004, 1, 22), 23,
            24 },
        { "lunar 2100 is the last year", nl(u"农历1980年 01月01日"), 2100, QDate(2100, 2, 9),
            QDate(), 120, 0 },
        { "born in the next lunar year", nl(u"农历2007年 03月03日"), 2006, QDate(),
            QDate(2007, 4, 19), 0, 0 },
        { "malformed lunar text", nl(u"农历1980年 13月01日"), 2006, QDate(), QDate(), 0, 0 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        BirthOccurrences occurrences(1);
        CalcGlBirthDates({ row.birthday }, row.year, occurrences);
        CalcNlBirthDates({ row.birthday }, row.year, occurrences);
        EXPECT_EQ(occurrences.ThisYearDates[0], row.thisYear);
        EXPECT_EQ(occurrences.NextYearDates[0], row.nextYear);
        EXPECT_EQ(occurrences.ThisYearAges[0], row.thisAge);
        EXPECT_EQ(occurrences.NextYearAges[0], row.nextAge);
    }
}

} // namespace
