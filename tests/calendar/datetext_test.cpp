#include "calendar/datetext.h"
#include "support/calendarprinters.h"
#include "support/casename.h"

#include <gtest/gtest.h>

using namespace natalis::calendar;

namespace {

TEST(DateText, WritesTheFixedLayouts)
{
    EXPECT_EQ(gregorianText(QDate(1976, 2, 25)), QStringLiteral("公历1976年 02月25日"));
    EXPECT_EQ(lunarText({ 1976, 1, 26, false }), QStringLiteral("农历1976年 01月26日"));
    EXPECT_EQ(lunarText({ 2006, 7, 15, true }), QStringLiteral("农历2006年闰07月15日"));
    EXPECT_EQ(lunarLongText({ 1976, 1, 26, false }), QStringLiteral("农历1976年(龙) 01月26日"));
    EXPECT_EQ(lunarLongText({ 2006, 7, 1, true }), QStringLiteral("农历2006年(狗)闰07月01日"));
}

TEST(DateText, NamesAComingDayByMonthDayAndWeekday)
{
    EXPECT_EQ(comingDayText(QDate(2026, 12, 10)), QStringLiteral("12月10日 星期四"));
    EXPECT_EQ(comingDayText(QDate(2026, 3, 1)), QStringLiteral("3月1日 星期日"));
    EXPECT_EQ(comingDayText(QDate(2025, 5, 3)), QStringLiteral("5月3日 星期六"));
    EXPECT_EQ(comingDayText(QDate()), QString());
}

struct ParseRow
{
    const char *situation;
    QStringView text;
    std::optional<QDate> date;
    friend void PrintTo(const ParseRow &row, std::ostream *os) { *os << row.situation; }
};

class GregorianParsing : public testing::TestWithParam<ParseRow>
{
};

TEST_P(GregorianParsing, ReadsByPosition)
{
    EXPECT_EQ(parseGregorianText(GetParam().text), GetParam().date);
}

INSTANTIATE_TEST_SUITE_P(Texts, GregorianParsing,
    testing::Values(ParseRow { "plain", u"公历1976年 02月25日", QDate(1976, 2, 25) },
        ParseRow { "blank padded field", u"公历1976年 02月25日      ", QDate(1976, 2, 25) },
        ParseRow { "leap day", u"公历2024年 02月29日", QDate(2024, 2, 29) },
        ParseRow { "29 February of a common year", u"公历2025年 02月29日", std::nullopt },
        ParseRow { "month 13", u"公历2025年 13月01日", std::nullopt },
        ParseRow { "lunar prefix", u"农历1976年 02月25日", std::nullopt },
        ParseRow { "leap mark", u"公历1976年闰02月25日", std::nullopt },
        ParseRow { "letters in the year", u"公历19x6年 02月25日", std::nullopt },
        ParseRow { "ISO text", u"1976-02-25", std::nullopt },
        ParseRow { "empty", u"", std::nullopt }),
    natalis::test::BySituation());

TEST(DateText, ParsesLunarTextsWithoutCheckingTheMonthExists)
{
    EXPECT_EQ(parseLunarText(u"农历2006年闰07月15日"), (LunarDate { 2006, 7, 15, true }));
    EXPECT_EQ(parseLunarText(u"农历2007年闰07月15日"), (LunarDate { 2007, 7, 15, true }));
    EXPECT_EQ(parseLunarText(u"农历1976年 03月30日      "), (LunarDate { 1976, 3, 30, false }));
    for (const QStringView text : { u"农历1976年 00月10日", u"农历1976年 13月01日",
             u"农历1976年 01月00日", u"农历1976年 01月31日", u"农历1976年-01月26日",
             u"农历1976-01-26", u"农历76年 01月26日", u"" })
        EXPECT_EQ(parseLunarText(text), std::nullopt) << text.toString().toStdString();
}

TEST(DateText, ReadsAGregorianMonthAndDayWithOrWithoutTheYear)
{
    const struct
    {
        const char *situation;
        QStringView text;
        std::optional<GregorianMonthDay> date;
    } rows[] = {
        { "no year", u"公历0000年 04月15日", GregorianMonthDay { 0, 4, 15 } },
        { "29 February without a year", u"公历0000年 02月29日", GregorianMonthDay { 0, 2, 29 } },
        { "30 February without a year", u"公历0000年 02月30日", std::nullopt },
        { "with a year", u"公历1976年 02月25日", GregorianMonthDay { 1976, 2, 25 } },
        { "29 February of a common year", u"公历2025年 02月29日", std::nullopt },
        { "29 February of 1900, a century", u"公历1900年 02月29日", std::nullopt },
        { "29 February of 2000", u"公历2000年 02月29日", GregorianMonthDay { 2000, 2, 29 } },
        { "31 April", u"公历1976年 04月31日", std::nullopt },
        { "month 00", u"公历1976年 00月10日", std::nullopt },
    };
    for (const auto &row : rows) {
        EXPECT_EQ(parseGregorianMonthDay(row.text), row.date) << row.situation;
        EXPECT_EQ(dateTextHasYear(row.text), row.date && row.date->year != 0) << row.situation;
    }
}

TEST(DateText, KeepsYearlessDatesInTheFixedLayouts)
{
    EXPECT_EQ(gregorianMonthDayText(4, 15), QStringLiteral("公历0000年 04月15日"));
    EXPECT_EQ(parseGregorianText(gregorianMonthDayText(4, 15)), std::nullopt);
    EXPECT_EQ(lunarMonthDayText(3, 5, true), QStringLiteral("农历0000年闰03月05日"));
    EXPECT_EQ(parseLunarText(lunarMonthDayText(3, 5, true)), (LunarDate { 0, 3, 5, true }));
    EXPECT_FALSE(dateTextHasYear(lunarMonthDayText(3, 5, false)));
    EXPECT_TRUE(dateTextHasYear(u"农历2006年闰07月15日"));
}

} // namespace
