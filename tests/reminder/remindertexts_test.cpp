#include "reminder/remindertexts.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::reminder;

namespace {

struct CutRow
{
    const char *situation;
    QString text;
    bool multiLine;
    bool doubleClick;
    QString cut;
    friend void PrintTo(const CutRow &row, std::ostream *os) { *os << row.situation; }
};

class Cut : public testing::TestWithParam<CutRow>
{
};

TEST_P(Cut, FirstThreeItems)
{
    const CutRow &row = GetParam();
    EXPECT_EQ(CutNotifyText(row.text, row.multiLine, row.doubleClick), row.cut);
}

INSTANTIATE_TEST_SUITE_P(Texts, Cut,
    testing::Values(CutRow { "empty", {}, false, false, {} },
        CutRow { "one item", QStringLiteral("a"), false, false, QStringLiteral("a") },
        CutRow { "three items one-line", QStringLiteral("a b c"), false, false,
            QStringLiteral("a b c") },
        CutRow { "four items one-line", QStringLiteral("a b c d"), false, false,
            QStringLiteral("a b c 更多请见生日提醒窗口...") },
        CutRow { "four items multi-line", QStringLiteral("a\rb\rc\rd"), true, false,
            QStringLiteral("a\rb\rc\r更多请见生日提醒窗口...") },
        CutRow { "three items multi-line", QStringLiteral("a\rb\rc"), true, false,
            QStringLiteral("a\rb\rc") },
        CutRow { "four items for the calendar tip", QStringLiteral("a b c d"), false, true,
            QStringLiteral("a b c 更多请双击...") },
        CutRow { "multi-line text cut as one line keeps its breaks", QStringLiteral("a\rb"), false,
            false, QStringLiteral("a\rb") }),
    natalis::test::BySituation());

TEST(DayHeading, GregorianWeekdayLunarAndTerm)
{
    EXPECT_EQ(DayHeading(QDate(2006, 1, 29)),
        QStringLiteral("公历2006年01月29日(星期日) 农历2006年(狗)01月01日 "));
    EXPECT_EQ(DayHeading(QDate(2026, 6, 5)),
        QStringLiteral("公历2026年06月05日(星期五) 农历2026年(马)04月20日 芒种"));
    EXPECT_EQ(DayHeading(QDate(2006, 8, 26)),
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
    const ReminderTexts texts = BuildReminderTexts(birthdays, settings, QDate(2006, 5, 31));
    EXPECT_EQ(texts.oneLine,
        QStringLiteral("今天是张三生日[朋友,13800000000] "
                       "李四生日还有1天[朋友,13800000000] "
                       "今天是端午节 儿童节还有1天"));
    EXPECT_EQ(texts.multiLine,
        QStringLiteral("今天是张三生日[朋友,13800000000]\r"
                       "李四生日还有1天[朋友,13800000000]\r"
                       "今天是端午节\r儿童节还有1天"));

    EXPECT_EQ(BuildReminderTexts({}, settings, QDate(2006, 5, 31)).oneLine,
        QStringLiteral("今天是端午节 儿童节还有1天"));
    EXPECT_EQ(BuildReminderTexts(birthdays, settings, QDate(2006, 5, 20)).oneLine, QString());
    EXPECT_TRUE(BuildReminderTexts(birthdays, settings, QDate(2006, 5, 20)).isEmpty());
}

} // namespace
