#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "calendar/lunarconversion.h"
#include "calendar/lunaryeartable.h"
#include "support/calendarprinters.h"
#include "support/casename.h"

#include <gtest/gtest.h>

using namespace natalis::calendar;

namespace {

struct ConversionRow
{
    const char *situation;
    QDate solar;
    LunarDate lunar;
    friend void PrintTo(const ConversionRow &row, std::ostream *os) { *os << row.situation; }
};

class Conversions : public testing::TestWithParam<ConversionRow>
{
};

TEST_P(Conversions, BothWays)
{
    const ConversionRow &row = GetParam();
    EXPECT_EQ(SolarToLunar(row.solar), row.lunar);
    EXPECT_EQ(LunarToSolar(row.lunar), row.solar);
}

INSTANTIATE_TEST_SUITE_P(KnownDays, Conversions,
    testing::Values(ConversionRow { "anchor", QDate(1901, 2, 19), { 1901, 1, 1, false } },
        ConversionRow { "1976 birthday", QDate(1976, 2, 25), { 1976, 1, 26, false } },
        ConversionRow { "lunar 2005 in Gregorian 2006", QDate(2006, 1, 1), { 2005, 12, 2, false } },
        ConversionRow { "new year 2006", QDate(2006, 1, 29), { 2006, 1, 1, false } },
        ConversionRow { "regular 7th month 2006", QDate(2006, 7, 25), { 2006, 7, 1, false } },
        ConversionRow { "leap 7th month 2006", QDate(2006, 8, 24), { 2006, 7, 1, true } },
        ConversionRow { "leap 7th month 2006, 15th", QDate(2006, 9, 7), { 2006, 7, 15, true } },
        ConversionRow { "month after a leap month", QDate(2006, 9, 22), { 2006, 8, 1, false } },
        ConversionRow { "leap 5th month 1903", QDate(1903, 6, 25), { 1903, 5, 1, true } },
        ConversionRow { "mid-autumn 2001", QDate(2001, 10, 1), { 2001, 8, 15, false } },
        ConversionRow { "last day of lunar 2100", QDate(2101, 1, 28), { 2100, 12, 29, false } }),
    natalis::test::BySituation());

TEST(SolarToLunar, RejectsDaysOutsideTheTable)
{
    EXPECT_EQ(SolarToLunar(QDate(1901, 2, 18)), std::nullopt);
    EXPECT_EQ(SolarToLunar(QDate(2101, 1, 29)), std::nullopt);
    EXPECT_EQ(SolarToLunar(QDate()), std::nullopt);
}

TEST(LunarToSolar, RejectsDatesOutsideTheTable)
{
    const LunarDate rejected[] = {
        { 1900, 12, 1, false },
        { 2101, 1, 1, false },
        { 2006, 0, 1, false },
        { 2006, 13, 1, false },
        { 2006, 1, 0, false },
        { 2006, 1, 31, false },
    };
    for (const LunarDate &date : rejected)
        EXPECT_EQ(LunarToSolar(date), std::nullopt) << testing::PrintToString(date);
}

TEST(LunarToSolar, LeapAndRegularSeventhMonthOf2006Are30DaysApart)
{
    const QDate regular = *LunarToSolar({ 2006, 7, 1, false });
    const QDate leap = *LunarToSolar({ 2006, 7, 1, true });
    EXPECT_EQ(regular.daysTo(leap), 30);
}

TEST(LunarToSolar, LeapFlagOnAMonthThatIsNotLeapMeansTheRegularMonth)
{
    EXPECT_EQ(LunarToSolar({ 2007, 7, 15, true }), LunarToSolar({ 2007, 7, 15, false }));
    EXPECT_EQ(LunarToSolar({ 2006, 6, 15, true }), LunarToSolar({ 2006, 6, 15, false }));
}

TEST(LunarToSolar, DayThirtyOfAShortMonthRunsIntoTheNextMonth)
{
    // Month 3 of 1976 has 29 days.
    EXPECT_EQ(LunarToSolar({ 1976, 3, 30, false }), LunarToSolar({ 1976, 4, 1, false }));
}

TEST(LunarToSolarText, ConvertsStoredTexts)
{
    EXPECT_EQ(LunarToSolarText(u"农历1976年 01月26日"), QStringLiteral("公历1976年 02月25日"));
    EXPECT_EQ(LunarToSolarText(u"农历2006年闰07月15日"), QStringLiteral("公历2006年 09月07日"));
    EXPECT_EQ(LunarToSolarText(u"农历2007年闰07月15日"), LunarToSolarText(u"农历2007年 07月15日"));
    EXPECT_EQ(LunarToSolarText(u"农历2100年 12月29日"), QStringLiteral("公历2101年 01月28日"));
    EXPECT_EQ(LunarToSolarText(u"农历1976年 01月26日      "), QStringLiteral("公历1976年 02月25日"))
        << "stored fields are blank-padded";
}

TEST(LunarToSolarText, RejectsMalformedAndOutOfRangeTexts)
{
    const QStringView rejected[] = {
        u"",
        u"农历1900年 12月01日",
        u"农历2101年 01月01日",
        u"公历1976年 01月26日",
        u"农历1976年 13月01日",
        u"农历1976年 01月31日",
        u"农历1976年 01月00日",
        u"农历1976年x01月26日",
        u"农历1976-01-26",
        u"农历76年 01月26日",
    };
    for (QStringView text : rejected)
        EXPECT_EQ(LunarToSolarText(text), std::nullopt) << text.toString().toStdString();
}

// Every day of the range converts to a lunar date and back to itself, and consecutive days
// advance the lunar date by exactly one day.
TEST(Conversion, EveryDayRoundTrips)
{
    const LunarYearTable &table = LoadLunarYearTable();
    std::optional<LunarDate> previous;
    for (QDate day = FirstDescribedDay(); day <= LastDescribedDay(); day = day.addDays(1)) {
        const std::optional<LunarDate> lunar = SolarToLunar(day);
        ASSERT_TRUE(lunar) << day.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(LunarToSolar(*lunar), day);
        ASSERT_EQ(ParseLunarText(LunarText(*lunar)), lunar);
        ASSERT_EQ(LunarToSolarText(LunarText(*lunar)), GregorianText(day));
        if (previous && lunar->day != 1) {
            ASSERT_EQ(lunar->day, previous->day + 1);
            ASSERT_EQ(lunar->month, previous->month);
        }
        if (previous && lunar->day == 1) {
            ASSERT_EQ(previous->day,
                *table.monthLength(previous->year, previous->month, previous->isLeap));
        }
        previous = lunar;
    }
}

} // namespace
