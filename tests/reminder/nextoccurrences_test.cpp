#include "reminder/entryages.h"
#include "reminder/nextoccurrences.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

// The dates the rules give over several years: year-less entries, the leap-month rule, 29
// February and 腊月三十 across year ends. Lunar days are those of the conversion, which is checked
// day by day on its own; here which year and month each rule picks.

using namespace natalis::reminder;
using natalis::store::BirthdayRecord;
using namespace Qt::StringLiterals;

namespace {

BirthdayRecord gl(const QString &date)
{
    return natalis::test::gregorianBirthday(u"张三"_s, date);
}

BirthdayRecord nl(const QString &date, const QString &leapRule = u"平月"_s)
{
    BirthdayRecord record = natalis::test::lunarBirthday(u"李四"_s, date);
    record.LeapRule = leapRule;
    return record;
}

struct Row
{
    const char *situation;
    BirthdayRecord entry;
    QDate from;
    QList<QDate> dates;
    std::optional<int> firstFullAge = std::nullopt, firstNominalAge = std::nullopt;
};

TEST(NextOccurrences, ByEachRule)
{
    const Row rows[] = {
        { "29 February without a year, across leap years", gl(u"公历0000年 02月29日"_s),
            QDate(2027, 3, 1), { QDate(2028, 2, 29), QDate(2029, 2, 28) } },
        { "born before lunar new year: 虚岁 counts from the lunar year before",
            gl(u"公历1990年 01月20日"_s), QDate(2025, 1, 1), { QDate(2025, 1, 20) }, 35, 36 },
        { "腊月三十 falls on 除夕 of a short 腊月", nl(u"农历0000年 12月30日"_s),
            QDate(2024, 12, 1), { QDate(2025, 1, 28), QDate(2026, 2, 16) } },
        { "lunar new year with a year: 周岁 by lunar years", nl(u"农历1990年 01月01日"_s),
            QDate(2024, 2, 10), { QDate(2024, 2, 10) }, 34, 35 },
        { "闰二月 of 2023 kept by the regular month", nl(u"农历2023年闰02月10日"_s),
            QDate(2023, 3, 1), { QDate(2023, 3, 31), QDate(2024, 3, 19) }, 0, 1 },
        { "闰二月 of 2023 skipped in years without it", nl(u"农历2023年闰02月10日"_s, u"跳过"_s),
            QDate(2023, 3, 1), { QDate(2023, 3, 31), QDate(2042, 3, 31) }, 0, 1 },
        { "闰六月 of 2025 without a year, skipped", nl(u"农历0000年闰06月01日"_s, u"跳过"_s),
            QDate(2025, 1, 1), { QDate(2025, 7, 25), QDate(2036, 7, 23) } },
        { "闰五月 of 2028 kept by the regular month", nl(u"农历0000年闰05月15日"_s),
            QDate(2027, 7, 1), { QDate(2028, 7, 7) } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.situation);
        const QList<Occurrence> occurrences =
            nextOccurrences(row.entry, row.from, int(row.dates.size()) + 1);
        QList<QDate> dates;
        for (const Occurrence &occurrence : occurrences)
            dates << occurrence.date;
        EXPECT_EQ(dates.mid(0, row.dates.size()), row.dates);
        EXPECT_EQ(occurrences[0].fullAge, row.firstFullAge);
        EXPECT_EQ(occurrences[0].nominalAge, row.firstNominalAge);
    }
}

TEST(NominalAge, GrowsAtLunarNewYear)
{
    EXPECT_EQ(nominalAgeOn(1990, QDate(2024, 2, 9)), 34); // 除夕
    EXPECT_EQ(nominalAgeOn(1990, QDate(2024, 2, 10)), 35); // 春节
    EXPECT_EQ(nominalAgeOn(2024, QDate(2024, 2, 9)), std::nullopt); // not yet born
    EXPECT_EQ(entryZodiac(gl(u"公历1990年 01月20日"_s)), u"蛇"_s); // lunar 1989
    EXPECT_EQ(entryZodiac(gl(u"公历0000年 01月20日"_s)), QString());
}

} // namespace
