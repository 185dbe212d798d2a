#include "reminder/remindertexts.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::reminder;

namespace {

TEST(CutNotifyText, FirstThreeItemsAndANote)
{
    const struct
    {
        const char *situation;
        const char *text;
        bool multiLine, doubleClick;
        const char *cut;
    } rows[] = {
        { "empty", "", false, false, "" },
        { "three items one-line", "a b c", false, false, "a b c" },
        { "four items one-line", "a b c d", false, false, "a b c 更多请见生日提醒窗口..." },
        { "three items multi-line", "a\rb\rc", true, false, "a\rb\rc" },
        { "four items multi-line", "a\rb\rc\rd", true, false, "a\rb\rc\r更多请见生日提醒窗口..." },
        { "four items for the calendar tip", "a b c d", false, true, "a b c 更多请双击..." },
        { "multi-line text cut as one line keeps its breaks", "a\rb", false, false, "a\rb" },
    };
    for (const auto &row : rows)
        EXPECT_EQ(CutNotifyText(QString::fromUtf8(row.text), row.multiLine, row.doubleClick),
            QString::fromUtf8(row.cut))
            << row.situation;
}

TEST(dayHeading, GregorianWeekdayLunarAndTerm)
{
    EXPECT_EQ(dayHeading(QDate(2026, 6, 5)),
        QStringLiteral("公历2026年06月05日(星期五) 农历2026年(马)04月20日 芒种"));
    EXPECT_EQ(dayHeading(QDate(2006, 8, 26)),
        QStringLiteral("公历2006年08月26日(星期六) 农历2006年(狗)闰07月03日 "));
}

TEST(ReminderTexts, BirthdaysThenFestivals)
{
    natalis::store::SettingsRecord settings;
    settings.intNums = 0;
    const QList<natalis::store::BirthdayRecord> birthdays {
        natalis::test::gregorianBirthday(
            QStringLiteral("张三"), QStringLiteral("公历1980年 05月31日"), 3),
        natalis::test::gregorianBirthday(
            QStringLiteral("李四"), QStringLiteral("公历1980年 06月01日"), 3),
    };
    const ReminderTexts texts = buildReminderTexts(birthdays, settings, QDate(2006, 5, 31));
    const QStringList items { QStringLiteral("今天是张三生日[朋友,13800000000]"),
        QStringLiteral("李四生日还有1天[朋友,13800000000]"), QStringLiteral("今天是端午节"),
        QStringLiteral("儿童节还有1天") };
    EXPECT_EQ(texts.oneLine, items.join(u' '));
    EXPECT_EQ(texts.multiLine, items.join(u'\r'));
    EXPECT_EQ(buildReminderTexts({}, settings, QDate(2006, 5, 31)).oneLine,
        QStringLiteral("今天是端午节 儿童节还有1天"));
    EXPECT_TRUE(buildReminderTexts(birthdays, settings, QDate(2006, 5, 20)).isEmpty());
}

} // namespace
