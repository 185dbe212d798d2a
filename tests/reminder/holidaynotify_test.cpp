#include "reminder/holidaynotify.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::reminder;
using natalis::store::SettingsRecord;

namespace {

// Every festival switched on (a new database's settings), reminded `days` ahead.
SettingsRecord window(quint8 days)
{
    SettingsRecord settings;
    settings.intNums = days;
    return settings;
}

// Only the one festival switched on.
SettingsRecord only(quint8 SettingsRecord::*flag, quint8 days)
{
    SettingsRecord settings = window(days);
    for (quint8 *f : { &settings.intDw, &settings.intZq, &settings.intCy, &settings.intJs,
             &settings.intMq, &settings.intFq, &settings.intFl, &settings.intEt, &settings.intQx,
             &settings.intQr, &settings.intSd })
        *f = 0;
    if (flag)
        settings.*flag = 1;
    return settings;
}

// 2006: 端午节 31 May, 儿童节 1 June, 中秋节 6 October, 重阳节 30 October; 2022: 中秋节 on
// 教师节 (10 September).
TEST(HolidayNotify, FestivalsWithinTheWindowByDaysThenList)
{
    const struct
    {
        const char *situation;
        SettingsRecord settings;
        QDate today;
        const char16_t *oneLine;
    } rows[] = {
        { "all flags off", only(nullptr, 7), QDate(2006, 5, 31), u"" },
        { "today and tomorrow", window(0), QDate(2006, 5, 31), u"今天是端午节 儿童节还有1天" },
        { "window 0 still names tomorrow", window(0), QDate(2006, 5, 30), u"端午节还有1天" },
        { "window 0 stops after tomorrow", window(0), QDate(2006, 5, 29), u"" },
        { "window 3 names four days ahead", window(3), QDate(2006, 10, 2), u"中秋节还有4天" },
        { "window 2 does not", window(2), QDate(2006, 10, 2), u"" },
        { "window 7 names eight days ahead", window(7), QDate(2006, 9, 28), u"中秋节还有8天" },
        { "days ahead first", window(7), QDate(2006, 5, 30), u"端午节还有1天 儿童节还有2天" },
        { "two festivals on one day in list order", window(0), QDate(2022, 9, 10),
            u"今天是中秋节 今天是教师节" },
        { "christmas five days ahead", window(7), QDate(2006, 12, 20), u"圣诞节还有5天" },
        { "mother's day", only(&SettingsRecord::intMq, 7), QDate(2006, 5, 8), u"母亲节还有6天" },
        { "father's day", only(&SettingsRecord::intFq, 3), QDate(2006, 6, 17), u"父亲节还有1天" },
        { "switched-off festival", only(&SettingsRecord::intMq, 7), QDate(2006, 5, 31), u"" },
        { "festivals never reminded", window(7), QDate(2006, 1, 28), u"" },
        { "qixi", window(7), QDate(2006, 7, 30), u"七夕节还有1天" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        QString oneLine = QString::fromUtf16(row.oneLine);
        EXPECT_EQ(GetHolidayNotifyText(row.settings, row.today, false), oneLine);
        EXPECT_EQ(
            GetHolidayNotifyText(row.settings, row.today, true), oneLine.replace(u' ', u'\r'));
    }
}

} // namespace
