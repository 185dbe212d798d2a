#include "reminder/birthdaynotify.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

// When a birthday occurs is CalcGlBirthDates' and CalcNlBirthDates' (birthdayoccurrences_test);
// here which occurrences are due and how the text lists them.

using namespace natalis::reminder;
using natalis::store::BirthdayRecord;
using namespace Qt::StringLiterals;

namespace {

BirthdayRecord gl(const char16_t *name, const char16_t *date, qint16 days)
{
    return natalis::test::gregorianBirthday(
        QString::fromUtf16(name), QString::fromUtf16(date), days);
}

TEST(BirthNotify, DueItemsInOrderOnOneLineOrOnePerLine)
{
    const QDate may1(2025, 5, 1);
    const struct
    {
        const char *situation;
        QList<BirthdayRecord> birthdays;
        QDate today;
        QStringList items; // each followed by the builder's "[朋友,13800000000]"
    } rows[] = {
        { "empty list", {}, may1, {} },
        { "today", { gl(u"张三", u"公历1980年 05月01日", 0) }, may1, { u"今天是张三生日"_s } },
        { "name ending in 生日 is not doubled",
            { gl(u"妈妈生日", u"公历1950年 05月03日", 3),
                gl(u"爸爸生日", u"公历1950年 05月01日", 3) },
            may1, { u"今天是爸爸生日"_s, u"妈妈生日还有2天"_s } },
        { "window end inclusive, one past is not due",
            { gl(u"甲", u"公历1980年 05月04日", 3), gl(u"乙", u"公历1980年 05月05日", 3) }, may1,
            { u"甲生日还有3天"_s } },
        { "passed this year is not due", { gl(u"甲", u"公历1980年 04月30日", 14) }, may1, {} },
        { "31 December reaches 2 January of next year", { gl(u"甲", u"公历1990年 01月02日", 3) },
            QDate(2025, 12, 31), { u"甲生日还有2天"_s } },
        { "before lunar new year the coming new year is next year's occurrence",
            { natalis::test::lunarBirthday(u"乙"_s, u"农历1980年 01月01日"_s, 14) },
            QDate(2004, 1, 10), { u"乙生日还有12天"_s } },
        { "ordered by days left, then list order",
            { gl(u"甲", u"公历1980年 05月03日", 7),
                natalis::test::lunarBirthday(u"乙"_s, u"农历1980年 04月05日"_s, 7),
                gl(u"丙", u"公历1980年 05月01日", 7), gl(u"丁", u"公历1980年 05月03日", 7) },
            may1,
            { u"今天是丙生日"_s, u"乙生日还有1天"_s, u"甲生日还有2天"_s, u"丁生日还有2天"_s } },
        { "more than 14 days ahead is never listed", { gl(u"甲", u"公历1980年 05月16日", 30) },
            may1, {} },
        { "blank record of an empty table", { BirthdayRecord {} }, may1, {} },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        QStringList items;
        for (const QString &item : row.items)
            items << item + u"[朋友,13800000000]"_s;
        EXPECT_EQ(GetBirthNotifyText(row.birthdays, row.today, false), items.join(u' '));
        EXPECT_EQ(GetBirthNotifyText(row.birthdays, row.today, true), items.join(u'\r'));
    }
}

BirthdayRecord entry(
    const char16_t *name, const char16_t *kind, BirthdayRecord record, const char16_t *days = u"")
{
    record.About = QString::fromUtf16(name);
    record.Kind = QString::fromUtf16(kind);
    record.Days = QString::fromUtf16(days);
    return record;
}

// Several days remind on exactly those days; a 忌日 or 纪念日 says what it is, its day by its own
// calendar and its years, never a birthday's wording. 清明 2025 is 4 April (农历三月初七).
TEST(BirthNotify, KindsAndSeveralDays)
{
    const BirthdayRecord memorial = entry(
        u"奶奶", u"忌日", natalis::test::lunarBirthday({}, u"农历2005年 03月07日"_s), u"7,1,0");
    const BirthdayRecord wedding =
        entry(u"结婚", u"纪念日", gl({}, u"公历2015年 04月04日", 0), u"3,0");
    const struct
    {
        const char *situation;
        BirthdayRecord entry;
        QDate today;
        QString text;
    } rows[] = {
        { "a 忌日 a week ahead", memorial, QDate(2025, 3, 28),
            u"7天后是奶奶的忌日(农历三月初七,逝世20周年)"_s },
        { "between its days it is quiet", memorial, QDate(2025, 3, 30), {} },
        { "on the day", memorial, QDate(2025, 4, 4),
            u"今天是奶奶的忌日(农历三月初七,逝世20周年)"_s },
        { "a 纪念日 by the Gregorian rule", wedding, QDate(2025, 4, 1),
            u"3天后是结婚的纪念日(公历4月4日,10周年)"_s },
        { "a name that says its kind", entry(u"结婚纪念日", u"纪念日", wedding), QDate(2025, 4, 4),
            u"今天是结婚纪念日(公历4月4日,10周年)"_s },
        { "without a year, no years", entry(u"结婚", u"纪念日", gl({}, u"公历0000年 04月04日", 0)),
            QDate(2025, 4, 4), u"今天是结婚的纪念日(公历4月4日)"_s },
        { "a birthday with several days keeps its wording",
            entry(u"张三", u"生日", gl({}, u"公历1990年 04月04日", 7), u"7,2"), QDate(2025, 4, 2),
            u"张三生日还有2天[朋友,13800000000]"_s },
        { "several days across the year's end",
            entry(u"张三", u"生日", gl({}, u"公历0000年 01月02日", 7), u"14,3"),
            QDate(2025, 12, 30), u"张三生日还有3天[朋友,13800000000]"_s },
    };
    for (const auto &row : rows)
        EXPECT_EQ(GetBirthNotifyText({ row.entry }, row.today, false), row.text) << row.situation;
}

} // namespace
