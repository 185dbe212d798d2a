#include "reminder/missedbirthdays.h"
#include "reminder/reminderitems.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::reminder;
using natalis::store::BirthdayRecord;
using natalis::test::gregorianBirthday;
using namespace Qt::StringLiterals;

namespace {

TEST(Missed, BirthdaysBetweenTheLastRunAndTodayMostRecentFirst)
{
    const BirthdayRecord zhang = gregorianBirthday(u"张三"_s, u"公历1980年 06月15日"_s);
    const BirthdayRecord li = gregorianBirthday(u"李四"_s, u"公历1990年 06月17日"_s);
    const struct
    {
        const char *situation;
        QList<BirthdayRecord> birthdays;
        QDate lastRun, today;
        QStringList items;
    } rows[] = {
        { "yesterday", { zhang }, QDate(2026, 6, 10), QDate(2026, 6, 16), { u"昨天是张三生日"_s } },
        { "several days ago, most recent first", { zhang, li }, QDate(2026, 6, 10),
            QDate(2026, 6, 18), { u"昨天是李四生日"_s, u"3天前是张三生日"_s } },
        { "the last run saw the day", { zhang }, QDate(2026, 6, 15), QDate(2026, 6, 17), {} },
        { "the program ran yesterday", { zhang }, QDate(2026, 6, 15), QDate(2026, 6, 16), {} },
        { "today is due, not missed", { zhang }, QDate(2026, 6, 1), QDate(2026, 6, 15), {} },
        { "seven days back is the limit", { zhang }, QDate(2026, 1, 1), QDate(2026, 6, 22),
            { u"7天前是张三生日"_s } },
        { "eight days back is forgotten", { zhang }, QDate(2026, 1, 1), QDate(2026, 6, 23), {} },
        { "first run of a new database", { zhang }, QDate(), QDate(2026, 6, 16), {} },
        { "across new year, the name says 生日 already",
            { gregorianBirthday(u"妈妈生日"_s, u"公历1960年 12月31日"_s) }, QDate(2026, 12, 20),
            QDate(2027, 1, 2), { u"2天前是妈妈生日"_s } },
        { "lunar new year's day 2026 fell on 17 February",
            { natalis::test::lunarBirthday(u"乙"_s, u"农历1980年 01月01日"_s) }, QDate(2026, 2, 10),
            QDate(2026, 2, 19), { u"2天前是乙生日"_s } },
        { "a clock set back leaves nothing", { zhang }, QDate(2026, 6, 20), QDate(2026, 6, 16),
            {} },
    };
    for (const auto &row : rows)
        EXPECT_EQ(missedBirthdayItems(row.birthdays, row.lastRun, row.today), row.items)
            << row.situation;
}

TEST(Missed, ItemPutOffIntoALaterDayIsWordedForThatDay)
{
    const struct
    {
        const char *situation;
        QString item;
        int days;
        QString later;
    } rows[] = {
        { "today's birthday, the next day", u"今天是张三生日[同事,139]"_s, 1, u"昨天是张三生日"_s },
        { "coming tomorrow is today's", u"李四生日还有1天[朋友,]"_s, 1,
            u"今天是李四生日[朋友,]"_s },
        { "coming and passed", u"李四生日还有1天[朋友,]"_s, 3, u"2天前是李四生日"_s },
        { "missed, further back", u"昨天是妈妈生日"_s, 1, u"2天前是妈妈生日"_s },
        { "a 忌日 ahead comes to its day", u"3天后是奶奶的忌日(农历三月初五)"_s, 3,
            u"今天是奶奶的忌日(农历三月初五)"_s },
        { "a 纪念日 ahead, one day on", u"3天后是结婚的纪念日(公历5月1日,10周年)"_s, 1,
            u"2天后是结婚的纪念日(公历5月1日,10周年)"_s },
        { "another wording is kept", u"备份提醒"_s, 1, u"备份提醒"_s },
    };
    for (const auto &row : rows)
        EXPECT_EQ(itemDaysLater(row.item, row.days), row.later) << row.situation;
}

} // namespace
