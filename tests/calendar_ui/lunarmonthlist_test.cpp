#include "calendar/lunaryeartable.h"
#include "calendar_ui/lunarmonthlist.h"
#include "support/casename.h"

#include <gtest/gtest.h>

namespace natalis::calendar_ui {
namespace {

QString textOf(LunarMonthChoice choice)
{
    return LunarMonthTexts(choice.year).value(choice.position);
}

TEST(LunarMonthTexts, LeapSeventhMonthOf2006FollowsTheSeventh)
{
    const QStringList texts = LunarMonthTexts(2006);
    ASSERT_EQ(texts.size(), 13);
    EXPECT_EQ(texts.first(), QStringLiteral(" 01"));
    EXPECT_EQ(texts[6], QStringLiteral(" 07"));
    EXPECT_EQ(texts[7], QStringLiteral("闰07"));
    EXPECT_EQ(texts.last(), QStringLiteral(" 12"));
}

TEST(LunarMonthTexts, YearWithoutLeapMonthHasTwelve)
{
    EXPECT_EQ(LunarMonthTexts(2007).size(), 12);
    EXPECT_TRUE(LunarMonthTexts(1900).isEmpty());
}

struct ChoiceRow
{
    const char *situation;
    LunarMonthChoice chosen;
    int newYear; // 0: browse by month instead
    int step; // +1 next month, -1 previous month, 0 none
    int expectedYear;
    const char *expectedText;

    friend void PrintTo(const ChoiceRow &row, std::ostream *out) { *out << row.situation; }
};

class LunarMonthChoiceRules : public testing::TestWithParam<ChoiceRow>
{
};

TEST_P(LunarMonthChoiceRules, SelectsTheExpectedEntry)
{
    const ChoiceRow &row = GetParam();
    LunarMonthChoice result = ClampLunarMonth(row.chosen);
    if (row.newYear != 0)
        result = ChangeLunarYear(result, row.newYear);
    if (row.step > 0)
        result = NextLunarMonth(result);
    if (row.step < 0)
        result = PreviousLunarMonth(result);
    EXPECT_EQ(result.year, row.expectedYear);
    EXPECT_EQ(textOf(result), QString::fromUtf8(row.expectedText));
}

INSTANTIATE_TEST_SUITE_P(Rules, LunarMonthChoiceRules,
    testing::Values(ChoiceRow { "2006 leap seventh to 2007 keeps position 7", { 2006, 7 }, 2007, 0,
                        2007, " 08" },
        ChoiceRow {
            "2006 twelfth to 2007 takes the last entry", { 2006, 12 }, 2007, 0, 2007, " 12" },
        ChoiceRow {
            "first month of 1902 to 1901 gives the second", { 1902, 0 }, 1901, 0, 1901, " 02" },
        ChoiceRow { "twelfth month of 2099 to 2100 gives the eleventh", { 2099, 11 }, 2100, 0, 2100,
            " 11" },
        ChoiceRow { "year before 1901 is refused", { 1901, 5 }, 1900, 0, 1901, " 06" },
        ChoiceRow { "choosing month 1 of 1901", { 1901, 0 }, 0, 0, 1901, " 02" },
        ChoiceRow { "choosing month 12 of 2100", { 2100, 11 }, 0, 0, 2100, " 11" },
        ChoiceRow { "next month from the seventh of 2006 is the leap seventh", { 2006, 6 }, 0, 1,
            2006, "闰07" },
        ChoiceRow {
            "next month from the last entry opens the next year", { 2006, 12 }, 0, 1, 2007, " 01" },
        ChoiceRow { "previous month from the first entry opens the last of the year before",
            { 2007, 0 }, 0, -1, 2006, " 12" },
        ChoiceRow {
            "previous month from the second month of 1901 stays", { 1901, 1 }, 0, -1, 1901, " 02" },
        ChoiceRow {
            "next month from the eleventh month of 2100 stays", { 2100, 10 }, 0, 1, 2100, " 11" }),
    test::BySituation());

struct TextRow
{
    const char *situation;
    const char *lunarText;
    int expectedYear;
    const char *expectedText;

    friend void PrintTo(const TextRow &row, std::ostream *out) { *out << row.situation; }
};

class LunarMonthOfTextRules : public testing::TestWithParam<TextRow>
{
};

TEST_P(LunarMonthOfTextRules, OpensTheMonthOfTheText)
{
    const TextRow &row = GetParam();
    const auto choice = LunarMonthOfText(QString::fromUtf8(row.lunarText));
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->year, row.expectedYear);
    EXPECT_EQ(textOf(*choice), QString::fromUtf8(row.expectedText));
}

INSTANTIATE_TEST_SUITE_P(Texts, LunarMonthOfTextRules,
    testing::Values(TextRow { "leap month", "农历2006年闰07月15日", 2006, "闰07" },
        TextRow { "regular month padded", "农历1976年 01月26日      ", 1976, " 01" },
        TextRow { "leap month the year lacks", "农历2007年闰07月01日", 2007, " 07" },
        TextRow { "first month of 1901", "农历1901年 01月05日", 1901, " 02" },
        TextRow { "last month of 2100", "农历2100年 12月05日", 2100, " 11" }),
    test::BySituation());

TEST(LunarMonthOfText, RefusesAnEmptyText)
{
    EXPECT_FALSE(LunarMonthOfText(QString()).has_value());
}

TEST(LunarMonthBrowse, WalksEveryMonthOfTheRangeExceptTheTwoRefused)
{
    LunarMonthChoice choice = ClampLunarMonth({ 1901, 0 });
    int shown = 1;
    for (;;) {
        const LunarMonthChoice next = NextLunarMonth(choice);
        if (next == choice)
            break;
        ASSERT_TRUE(next.year > choice.year || next.position == choice.position + 1);
        choice = next;
        ++shown;
    }
    EXPECT_EQ(choice.year, 2100);
    EXPECT_EQ(textOf(choice), QStringLiteral(" 11"));
    int months = 0;
    for (int year = 1901; year <= 2100; ++year)
        months += calendar::LoadLunarYearTable().monthCount(year);
    EXPECT_EQ(shown, months - 2);
}

} // namespace
} // namespace natalis::calendar_ui
