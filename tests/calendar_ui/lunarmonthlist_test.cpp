#include "calendar/lunaryeartable.h"
#include "calendar_ui/lunarmonthlist.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace natalis::calendar_ui {
namespace {

// "2006闰07": the year and the month's entry in the picker's list.
QString shown(LunarMonthChoice choice)
{
    return QString::number(choice.year) + lunarMonthTexts(choice.year).value(choice.position);
}

TEST(lunarMonthTexts, TheLeapMonthFollowsItsRegularMonth)
{
    EXPECT_EQ(lunarMonthTexts(2006).join(u'|'),
        QStringLiteral(" 01| 02| 03| 04| 05| 06| 07|闰07| 08| 09| 10| 11| 12"));
    EXPECT_TRUE(lunarMonthTexts(1900).isEmpty());
}

TEST(changeLunarYear, KeepsThePositionWithinTheRange)
{
    const struct
    {
        const char *situation;
        LunarMonthChoice chosen;
        int newYear;
        const char16_t *expected;
    } rows[] = {
        { "2006 leap seventh to 2007 keeps position 7", { 2006, 7 }, 2007, u"2007 08" },
        { "2006 twelfth to 2007 takes the last entry", { 2006, 12 }, 2007, u"2007 12" },
        { "first month of 1902 to 1901 gives the second", { 1902, 0 }, 1901, u"1901 02" },
        { "twelfth of 2099 to 2100 gives the eleventh", { 2099, 11 }, 2100, u"2100 11" },
        { "year before 1901 is refused", { 1901, 5 }, 1900, u"1901 06" },
    };
    for (const auto &row : rows)
        EXPECT_EQ(shown(changeLunarYear(row.chosen, row.newYear)), QString::fromUtf16(row.expected))
            << row.situation;
}

TEST(lunarMonthOfText, OpensTheMonthOfTheTextWithinTheRange)
{
    const auto opened = [](const char16_t *text) {
        return shown(lunarMonthOfText(QString::fromUtf16(text)).value_or(LunarMonthChoice {}));
    };
    EXPECT_EQ(opened(u"农历1976年 01月26日      "), QStringLiteral("1976 01")) << "padded";
    EXPECT_EQ(opened(u"农历2007年闰07月01日"), QStringLiteral("2007 07")) << "no such leap month";
    EXPECT_EQ(opened(u"农历2100年 12月05日"), QStringLiteral("2100 11")) << "beyond the range";
}

// Both browse buttons, from one end of the range to the other.
TEST(LunarMonthBrowse, WalksEveryMonthOfTheRangeBothWaysExceptTheTwoRefused)
{
    QList<LunarMonthChoice> forwards { clampLunarMonth({ 1901, 0 }) };
    for (LunarMonthChoice next; (next = nextLunarMonth(forwards.last())) != forwards.last();)
        forwards.append(next);
    QList<LunarMonthChoice> backwards { forwards.last() };
    for (LunarMonthChoice next;
         (next = previousLunarMonth(backwards.first())) != backwards.first();)
        backwards.prepend(next);
    EXPECT_EQ(backwards, forwards);
    EXPECT_EQ(shown(forwards.first()) + shown(forwards.last()), QStringLiteral("1901 022100 11"));
    int months = 0;
    for (int year = 1901; year <= 2100; ++year)
        months += calendar::LoadLunarYearTable().monthCount(year);
    ASSERT_EQ(forwards.size(), months - 2);
    for (qsizetype i = 1; i < forwards.size(); ++i) {
        const LunarMonthChoice &before = forwards[i - 1], &after = forwards[i];
        ASSERT_TRUE(after.year == before.year
                ? after.position == before.position + 1
                : after.year == before.year + 1 && after.position == 0);
    }
}

} // namespace
} // namespace natalis::calendar_ui
