#include "reminder/holidaynotify.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::reminder;
using natalis::store::SettingsRecord;

namespace {

SettingsRecord window(quint8 days)
{
    SettingsRecord settings;
    settings.intNums = days;
    return settings;
}

SettingsRecord allOff()
{
    SettingsRecord settings;
    for (quint8 *flag : { &settings.intDw, &settings.intZq, &settings.intCy, &settings.intJs,
             &settings.intMq, &settings.intFq, &settings.intFl, &settings.intEt, &settings.intQx,
             &settings.intQr, &settings.intSd })
        *flag = 0;
    settings.intNums = 7;
    return settings;
}

struct HolidayRow
{
    const char *situation;
    SettingsRecord settings;
    QDate today;
    QString oneLine;
    friend void PrintTo(const HolidayRow &row, std::ostream *os) { *os << row.situation; }
};

class HolidayNotify : public testing::TestWithParam<HolidayRow>
{
};

TEST_P(HolidayNotify, OneLineAndMultiLine)
{
    const HolidayRow &row = GetParam();
    EXPECT_EQ(GetHolidayNotifyText(row.settings, row.today, false), row.oneLine);
    QString multiLine = row.oneLine;
    EXPECT_EQ(GetHolidayNotifyText(row.settings, row.today, true), multiLine.replace(u' ', u'\r'));
}

SettingsRecord only(quint8 SettingsRecord::*flag, quint8 days)
{
    SettingsRecord settings = allOff();
    settings.*flag = 1;
    settings.intNums = days;
    return settings;
}

QString txt(const char16_t *text)
{
    return QString::fromUtf16(text);
}

// 2006: 端午节 31 May, 中秋节 6 October, 重阳节 30 October; 2022: 中秋节 on 教师节 (10 September).
INSTANTIATE_TEST_SUITE_P(Windows, HolidayNotify,
    testing::Values(HolidayRow { "all flags off", allOff(), QDate(2006, 5, 31), {} },
        HolidayRow { "today and tomorrow", window(0), QDate(2006, 5, 31),
            txt(u"今天是端午节 儿童节还有1天") },
        HolidayRow {
            "window 0 still names tomorrow", window(0), QDate(2006, 5, 30), txt(u"端午节还有1天") },
        HolidayRow { "window 0 stops after tomorrow", window(0), QDate(2006, 5, 29), {} },
        HolidayRow { "window 3 names four days ahead", window(3), QDate(2006, 10, 2),
            txt(u"中秋节还有4天") },
        HolidayRow { "window 2 does not", window(2), QDate(2006, 10, 2), {} },
        HolidayRow { "two festivals on one day in list order", window(0), QDate(2022, 9, 10),
            txt(u"今天是中秋节 今天是教师节") },
        HolidayRow {
            "christmas five days ahead", window(7), QDate(2006, 12, 20), txt(u"圣诞节还有5天") },
        HolidayRow { "mother's day", only(&SettingsRecord::intMq, 7), QDate(2006, 5, 8),
            txt(u"母亲节还有6天") },
        HolidayRow { "father's day", only(&SettingsRecord::intFq, 3), QDate(2006, 6, 17),
            txt(u"父亲节还有1天") },
        HolidayRow {
            "switched-off festival", only(&SettingsRecord::intMq, 7), QDate(2006, 5, 31), {} },
        HolidayRow { "festivals never reminded", window(7), QDate(2006, 1, 28), {} },
        HolidayRow { "qixi", window(7), QDate(2006, 7, 30), txt(u"七夕节还有1天") }),
    natalis::test::BySituation());

TEST(HolidayNotify, OrderedByDaysThenList)
{
    // 2006-10-01: 中秋节 in 5 days; with a week's window 重阳节 is too far.
    SettingsRecord settings = window(7);
    EXPECT_EQ(
        GetHolidayNotifyText(settings, QDate(2006, 9, 28), false), QStringLiteral("中秋节还有8天"));
    // 1 June 2006 is 儿童节, 31 May 端午节: days first.
    EXPECT_EQ(GetHolidayNotifyText(settings, QDate(2006, 5, 30), false),
        QStringLiteral("端午节还有1天 儿童节还有2天"));
}

} // namespace
