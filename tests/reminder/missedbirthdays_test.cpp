#include "reminder/missedbirthdays.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::reminder;
using natalis::store::BirthdayRecord;
using natalis::test::gregorianBirthday;
using natalis::test::lunarBirthday;

namespace {

QString txt(const char16_t *text)
{
    return QString::fromUtf16(text);
}

struct MissedRow
{
    const char *situation;
    QList<BirthdayRecord> birthdays;
    QDate lastRun;
    QDate today;
    QStringList items;
    friend void PrintTo(const MissedRow &row, std::ostream *os) { *os << row.situation; }
};

class Missed : public testing::TestWithParam<MissedRow>
{
};

TEST_P(Missed, Items)
{
    const MissedRow &row = GetParam();
    EXPECT_EQ(MissedBirthdayItems(row.birthdays, row.lastRun, row.today), row.items);
}

const BirthdayRecord Zhang = gregorianBirthday(txt(u"张三"), txt(u"公历1980年 06月15日"));
const BirthdayRecord Li = gregorianBirthday(txt(u"李四"), txt(u"公历1990年 06月17日"));
const BirthdayRecord Mum = gregorianBirthday(txt(u"妈妈生日"), txt(u"公历1960年 12月31日"));

INSTANTIATE_TEST_SUITE_P(Cases, Missed,
    testing::Values(MissedRow { "yesterday", { Zhang }, QDate(2026, 6, 10), QDate(2026, 6, 16),
                        { txt(u"昨天是张三生日") } },
        MissedRow { "several days ago, most recent first", { Zhang, Li }, QDate(2026, 6, 10),
            QDate(2026, 6, 18), { txt(u"昨天是李四生日"), txt(u"3天前是张三生日") } },
        MissedRow {
            "the last run saw the day", { Zhang }, QDate(2026, 6, 15), QDate(2026, 6, 17), {} },
        MissedRow {
            "the program ran yesterday", { Zhang }, QDate(2026, 6, 15), QDate(2026, 6, 16), {} },
        MissedRow {
            "today is due, not missed", { Zhang }, QDate(2026, 6, 1), QDate(2026, 6, 15), {} },
        MissedRow { "seven days back is the limit", { Zhang }, QDate(2026, 1, 1),
            QDate(2026, 6, 22), { txt(u"7天前是张三生日") } },
        MissedRow {
            "eight days back is forgotten", { Zhang }, QDate(2026, 1, 1), QDate(2026, 6, 23), {} },
        MissedRow { "first run of a new database", { Zhang }, QDate(), QDate(2026, 6, 16), {} },
        MissedRow { "across new year, the name says 生日 already", { Mum }, QDate(2026, 12, 20),
            QDate(2027, 1, 2), { txt(u"2天前是妈妈生日") } },
        MissedRow { "lunar new year's day 2026 fell on 17 February",
            { lunarBirthday(txt(u"乙"), txt(u"农历1980年 01月01日")) }, QDate(2026, 2, 10),
            QDate(2026, 2, 19), { txt(u"2天前是乙生日") } },
        MissedRow { "a clock set back leaves nothing", { Zhang }, QDate(2026, 6, 20),
            QDate(2026, 6, 16), {} }));

} // namespace
