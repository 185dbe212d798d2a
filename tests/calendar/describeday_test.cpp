#include "calendar/describeday.h"
#include "support/calendarprinters.h"
#include "support/casename.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace natalis::calendar;

namespace {

DayDescription describe(QDate date)
{
    const std::optional<DayDescription> day = DescribeDay(date);
    if (!day)
        ADD_FAILURE() << "no description for " << date.toString(Qt::ISODate).toStdString();
    return day.value_or(DayDescription {});
}

struct NameRow
{
    const char *situation;
    QDate date;
    const char16_t *dayName;
    const char16_t *monthNote;
    const char16_t *termName;
    friend void PrintTo(const NameRow &row, std::ostream *os) { *os << row.situation; }
};

const NameRow NameRows[] = {
    { "new year, a 30-day month", QDate(2006, 1, 29), u"初一", u"1月大", u"" },
    { "first day of a 29-day leap month", QDate(2006, 8, 24), u"初一", u"闰7月小", u"" },
    { "立春 on the 4th", QDate(2006, 2, 4), u"初七", u"", u"立春" },
    { "the day after 立夏", QDate(2006, 5, 6), u"初九", u"", u"" },
    { "清明 is a festival, not a term", QDate(2006, 4, 5), u"初八", u"", u"" },
};

class DayNames : public testing::TestWithParam<NameRow>
{
};

TEST_P(DayNames, DayMonthAndTerm)
{
    const DayDescription day = describe(GetParam().date);
    EXPECT_EQ(day.dayName, QString::fromUtf16(GetParam().dayName));
    EXPECT_EQ(day.monthNote, QString::fromUtf16(GetParam().monthNote));
    EXPECT_EQ(day.termName, QString::fromUtf16(GetParam().termName));
}

INSTANTIATE_TEST_SUITE_P(Days, DayNames, testing::ValuesIn(NameRows), natalis::test::BySituation());

struct FestivalRow
{
    const char *situation;
    QDate date;
    const char16_t *festivals; // in listing order, separated by blanks
    friend void PrintTo(const FestivalRow &row, std::ostream *os) { *os << row.situation; }
};

const FestivalRow FestivalRows[] = {
    { "spring festival", QDate(2006, 1, 29), u"春节" },
    { "lantern festival", QDate(2006, 2, 12), u"元宵节" },
    { "qingming", QDate(1976, 4, 4), u"清明节" },
    { "dragon boat", QDate(2006, 5, 31), u"端午节" },
    { "qixi", QDate(2006, 7, 31), u"七夕节" },
    { "qixi date in the leap month", QDate(2006, 8, 30), u"" },
    { "mid-autumn", QDate(2006, 10, 6), u"中秋节" },
    { "double ninth", QDate(2006, 10, 30), u"重阳节" },
    { "valentine", QDate(2006, 2, 14), u"情人节" },
    { "women", QDate(2006, 3, 8), u"妇女节" },
    { "labour", QDate(2006, 5, 1), u"劳动节" },
    { "children", QDate(2006, 6, 1), u"儿童节" },
    { "teachers", QDate(2006, 9, 10), u"教师节" },
    { "national", QDate(2006, 10, 1), u"国庆节" },
    { "christmas", QDate(2006, 12, 25), u"圣诞节" },
    { "lunar before Gregorian", QDate(2001, 10, 1), u"中秋节 国庆节" },
    { "eve: day 29 of a 29-day twelfth month", QDate(2006, 1, 28), u"除夕" },
    { "day 29 of a 30-day twelfth month", QDate(2007, 2, 16), u"" },
    { "eve: day 30 of a 30-day twelfth month", QDate(2007, 2, 17), u"除夕" },
    { "mother's day, second Sunday of May", QDate(2006, 5, 14), u"母亲节" },
    { "first Sunday of May", QDate(2006, 5, 7), u"" },
    { "mother's day on the 8th", QDate(2005, 5, 8), u"母亲节" },
    { "father's day, third Sunday of June", QDate(2006, 6, 18), u"父亲节" },
    { "second Sunday of June", QDate(2006, 6, 11), u"" },
    { "father's day on the 21st", QDate(2009, 6, 21), u"父亲节" },
    { "Sunday 22 June", QDate(2008, 6, 22), u"" },
};

class Festivals : public testing::TestWithParam<FestivalRow>
{
};

TEST_P(Festivals, ListedInOrder)
{
    EXPECT_EQ(describe(GetParam().date).festivals,
        QString::fromUtf16(GetParam().festivals).split(u' ', Qt::SkipEmptyParts));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Festivals, testing::ValuesIn(FestivalRows), natalis::test::BySituation());

TEST(DescribeDay, FestivalTextEndsEachNameWithALineBreak)
{
    EXPECT_EQ(describe(QDate(2001, 10, 1)).festivalText(), QStringLiteral("中秋节\r\n国庆节\r\n"));
    EXPECT_EQ(describe(QDate(2006, 1, 1)).festivalText(), QString());
}

TEST(DescribeDay, Range)
{
    EXPECT_TRUE(DescribeDay(QDate(1901, 2, 19)));
    EXPECT_TRUE(DescribeDay(QDate(2100, 12, 31)));
    EXPECT_FALSE(DescribeDay(QDate(1901, 2, 18)));
    EXPECT_FALSE(DescribeDay(QDate(2101, 1, 1)));
    EXPECT_FALSE(DescribeDay(QDate()));
}

// Over the whole range: 24 terms a year, one spring festival a lunar year with its eve the day
// before, one mother's and one father's day a year, and month notes exactly on day 1.
TEST(DescribeDay, WholeRangeProperties)
{
    QMap<int, int> termsPerYear;
    QMap<int, int> mothersDays, fathersDays;
    int springFestivals = 0;
    std::optional<DayDescription> previous;
    for (QDate date = firstDescribedDay(); date <= lastDescribedDay(); date = date.addDays(1)) {
        const std::optional<DayDescription> day = DescribeDay(date);
        ASSERT_TRUE(day) << date.toString(Qt::ISODate).toStdString();
        if (!day->termName.isEmpty() || day->festivals.contains(u"清明节"))
            ++termsPerYear[date.year()];
        if (day->festivals.contains(u"母亲节"))
            ++mothersDays[date.year()];
        if (day->festivals.contains(u"父亲节"))
            ++fathersDays[date.year()];
        ASSERT_EQ(day->monthNote.isEmpty(), day->lunar.day != 1) << day->lunarText.toStdString();
        if (day->festivals.contains(u"春节")) {
            ++springFestivals;
            ASSERT_EQ(day->lunar, (LunarDate { day->lunar.year, 1, 1, false }));
            if (previous) {
                ASSERT_TRUE(previous->festivals.contains(u"除夕"))
                    << previous->lunarText.toStdString();
            }
        }
        ASSERT_EQ(day->longText.size(), 17);
        ASSERT_EQ(day->lunarText.size(), 14);
        previous = day;
    }
    EXPECT_EQ(springFestivals, 200);
    for (int year = 1902; year <= 2100; ++year) {
        EXPECT_EQ(termsPerYear.value(year), 24) << year;
        EXPECT_EQ(mothersDays.value(year), 1) << year;
        EXPECT_EQ(fathersDays.value(year), 1) << year;
    }
}

} // namespace
