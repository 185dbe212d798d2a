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

const ConversionRow KnownDays[] = {
    { "anchor", QDate(1901, 2, 19), { 1901, 1, 1, false } },
    { "1976 birthday", QDate(1976, 2, 25), { 1976, 1, 26, false } },
    { "lunar 2005 in Gregorian 2006", QDate(2006, 1, 1), { 2005, 12, 2, false } },
    { "new year 1976", QDate(1976, 1, 31), { 1976, 1, 1, false } },
    { "new year 2000", QDate(2000, 2, 5), { 2000, 1, 1, false } },
    { "new year 2006", QDate(2006, 1, 29), { 2006, 1, 1, false } },
    { "new year 2025", QDate(2025, 1, 29), { 2025, 1, 1, false } },
    { "regular 7th month 2006", QDate(2006, 7, 25), { 2006, 7, 1, false } },
    { "leap 7th month 2006", QDate(2006, 8, 24), { 2006, 7, 1, true } },
    { "month after a leap month", QDate(2006, 9, 22), { 2006, 8, 1, false } },
    { "leap 5th month 1903", QDate(1903, 6, 25), { 1903, 5, 1, true } },
    { "last day of lunar 2100", QDate(2101, 1, 28), { 2100, 12, 29, false } },
};

class Conversions : public testing::TestWithParam<ConversionRow>
{
};

TEST_P(Conversions, BothWays)
{
    const ConversionRow &row = GetParam();
    EXPECT_EQ(solarToLunar(row.solar), row.lunar);
    EXPECT_EQ(lunarToSolar(row.lunar), row.solar);
}

INSTANTIATE_TEST_SUITE_P(
    KnownDays, Conversions, testing::ValuesIn(KnownDays), natalis::test::BySituation());

TEST(solarToLunar, RejectsDaysOutsideTheTable)
{
    EXPECT_EQ(solarToLunar(QDate(1901, 2, 18)), std::nullopt);
    EXPECT_EQ(solarToLunar(QDate(2101, 1, 29)), std::nullopt);
    EXPECT_EQ(solarToLunar(QDate()), std::nullopt);
}

TEST(lunarToSolar, RejectsDatesOutsideTheTable)
{
    const LunarDate rejected[] = { { 1900, 12, 1, false }, { 2101, 1, 1, false },
        { 2006, 0, 1, false }, { 2006, 13, 1, false }, { 2006, 1, 0, false },
        { 2006, 1, 31, false } };
    for (const LunarDate &date : rejected)
        EXPECT_EQ(lunarToSolar(date), std::nullopt) << testing::PrintToString(date);
}

TEST(lunarToSolar, LeapFlagOnAMonthThatIsNotLeapMeansTheRegularMonth)
{
    EXPECT_EQ(lunarToSolar({ 2007, 7, 15, true }), lunarToSolar({ 2007, 7, 15, false }));
    EXPECT_EQ(lunarToSolar({ 2006, 6, 15, true }), lunarToSolar({ 2006, 6, 15, false }));
}

TEST(lunarToSolar, DayThirtyOfAShortMonthRunsIntoTheNextMonth)
{
    // Month 3 of 1976 has 29 days.
    EXPECT_EQ(lunarToSolar({ 1976, 3, 30, false }), lunarToSolar({ 1976, 4, 1, false }));
}

// The layout is parseLunarText's (tested with it); here only what the conversion adds.
TEST(LunarToSolarText, ReadsPaddedTextsAndRefusesYearsOutsideTheTable)
{
    EXPECT_EQ(
        LunarToSolarText(u"农历1976年 01月26日      "), QStringLiteral("公历1976年 02月25日"));
    EXPECT_EQ(LunarToSolarText(u"农历1900年 12月01日"), std::nullopt);
    EXPECT_EQ(LunarToSolarText(u"农历2101年 01月01日"), std::nullopt);
    EXPECT_EQ(LunarToSolarText(u"公历1976年 01月26日"), std::nullopt);
}

// Every day of the range converts to a lunar date and back to itself, and consecutive days
// advance the lunar date by exactly one day.
TEST(Conversion, EveryDayRoundTrips)
{
    const LunarYearTable &table = LoadLunarYearTable();
    std::optional<LunarDate> previous;
    for (QDate day = firstDescribedDay(); day <= lastDescribedDay(); day = day.addDays(1)) {
        const std::optional<LunarDate> lunar = solarToLunar(day);
        ASSERT_TRUE(lunar) << day.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(lunarToSolar(*lunar), day);
        ASSERT_EQ(parseLunarText(lunarText(*lunar)), lunar);
        ASSERT_EQ(LunarToSolarText(lunarText(*lunar)), gregorianText(day));
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
