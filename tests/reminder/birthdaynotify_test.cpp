#include "reminder/birthdaynotify.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::reminder;
using natalis::store::BirthdayRecord;
using natalis::test::gregorianBirthday;
using natalis::test::lunarBirthday;

namespace {

struct NotifyRow
{
    const char *situation;
    QList<BirthdayRecord> birthdays;
    QDate today;
    QString oneLine;
    QString multiLine;
    friend void PrintTo(const NotifyRow &row, std::ostream *os) { *os << row.situation; }
};

class BirthNotify : public testing::TestWithParam<NotifyRow>
{
};

TEST_P(BirthNotify, Texts)
{
    const NotifyRow &row = GetParam();
    EXPECT_EQ(GetBirthNotifyText(row.birthdays, row.today, false), row.oneLine);
    EXPECT_EQ(GetBirthNotifyText(row.birthdays, row.today, true), row.multiLine);
}

QString txt(const char16_t *text)
{
    return QString::fromUtf16(text);
}

BirthdayRecord in(BirthdayRecord record, const char16_t *category, const char16_t *tel)
{
    record.Type = QString::fromUtf16(category);
    record.Tel = QString::fromUtf16(tel);
    return record;
}

INSTANTIATE_TEST_SUITE_P(Due, BirthNotify,
    testing::Values(NotifyRow { "empty list", {}, QDate(2025, 5, 1), {}, {} },
        NotifyRow { "due in five days",
            { in(gregorianBirthday(txt(u"张三"), txt(u"公历1980年 05月06日"), 7), u"朋友",
                u"13912345678") },
            QDate(2025, 5, 1), txt(u"张三生日还有5天[朋友,13912345678]"),
            txt(u"张三生日还有5天[朋友,13912345678]") },
        NotifyRow { "today", { gregorianBirthday(txt(u"张三"), txt(u"公历1980年 05月01日"), 0) },
            QDate(2025, 5, 1), txt(u"今天是张三生日[朋友,13800000000]"),
            txt(u"今天是张三生日[朋友,13800000000]") },
        NotifyRow { "advance 0 is due only on the day",
            { gregorianBirthday(txt(u"张三"), txt(u"公历1980年 05月02日"), 0) }, QDate(2025, 5, 1),
            {}, {} },
        NotifyRow { "name ending in 生日 is not doubled",
            { gregorianBirthday(txt(u"妈妈生日"), txt(u"公历1950年 05月03日")),
                gregorianBirthday(txt(u"爸爸生日"), txt(u"公历1950年 05月01日")) },
            QDate(2025, 5, 1),
            txt(u"今天是爸爸生日[朋友,13800000000] 妈妈生日还有2天[朋友,13800000000]"),
            txt(u"今天是爸爸生日[朋友,13800000000]\r妈妈生日还有2天[朋友,13800000000]") },
        NotifyRow { "window end inclusive, one past is not due",
            { gregorianBirthday(txt(u"甲"), txt(u"公历1980年 05月04日"), 3),
                gregorianBirthday(txt(u"乙"), txt(u"公历1980年 05月05日"), 3) },
            QDate(2025, 5, 1), txt(u"甲生日还有3天[朋友,13800000000]"),
            txt(u"甲生日还有3天[朋友,13800000000]") },
        NotifyRow { "passed this year is not due",
            { gregorianBirthday(txt(u"甲"), txt(u"公历1980年 04月30日"), 14) }, QDate(2025, 5, 1),
            {}, {} },
        NotifyRow { "31 December reaches 2 January of next year",
            { gregorianBirthday(txt(u"甲"), txt(u"公历1990年 01月02日"), 3) }, QDate(2025, 12, 31),
            txt(u"甲生日还有2天[朋友,13800000000]"), txt(u"甲生日还有2天[朋友,13800000000]") },
        NotifyRow { "before lunar new year the coming new year is next year's occurrence",
            { lunarBirthday(txt(u"乙"), txt(u"农历1980年 01月01日"), 14) }, QDate(2004, 1, 10),
            txt(u"乙生日还有12天[朋友,13800000000]"), txt(u"乙生日还有12天[朋友,13800000000]") },
        NotifyRow { "born in a future year is not due",
            { gregorianBirthday(txt(u"甲"), txt(u"公历2030年 05月02日"), 3) }, QDate(2025, 5, 1),
            {}, {} },
        NotifyRow { "29 February reminded on the 28th in a common year",
            { gregorianBirthday(txt(u"甲"), txt(u"公历2000年 02月29日"), 0) }, QDate(2025, 2, 28),
            txt(u"今天是甲生日[朋友,13800000000]"), txt(u"今天是甲生日[朋友,13800000000]") },
        NotifyRow { "ordered by days left, then list order",
            { gregorianBirthday(txt(u"甲"), txt(u"公历1980年 05月03日"), 7),
                lunarBirthday(txt(u"乙"), txt(u"农历1980年 04月05日"), 7),
                gregorianBirthday(txt(u"丙"), txt(u"公历1980年 05月01日"), 7),
                gregorianBirthday(txt(u"丁"), txt(u"公历1980年 05月03日"), 7) },
            QDate(2025, 5, 1),
            txt(u"今天是丙生日[朋友,13800000000] 乙生日还有1天[朋友,13800000000] "
                u"甲生日还有2天[朋友,13800000000] 丁生日还有2天[朋友,13800000000]"),
            txt(u"今天是丙生日[朋友,13800000000]\r乙生日还有1天[朋友,13800000000]\r"
                u"甲生日还有2天[朋友,13800000000]\r丁生日还有2天[朋友,13800000000]") },
        NotifyRow { "more than 14 days ahead is never listed",
            { gregorianBirthday(txt(u"甲"), txt(u"公历1980年 05月16日"), 30) }, QDate(2025, 5, 1),
            {}, {} },
        NotifyRow {
            "blank record of an empty table", { BirthdayRecord {} }, QDate(2025, 5, 1), {}, {} }),
    natalis::test::BySituation());

} // namespace
