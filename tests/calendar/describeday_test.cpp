#include "calendar/describeday.h"
#include "calendar/lunaryeartable.h"
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

TEST(DescribeDay, NewYearOf2006)
{
    const DayDescription day = describe(QDate(2006, 1, 29));
    EXPECT_EQ(day.lunarText, QStringLiteral("农历2006年 01月01日"));
    EXPECT_EQ(day.longText, QStringLiteral("农历2006年(狗) 01月01日"));
    EXPECT_EQ(day.dayName, QStringLiteral("初一"));
    EXPECT_EQ(day.monthNote, QStringLiteral("1月大"));
    EXPECT_EQ(day.termName, QString());
    EXPECT_EQ(day.festivalText(), QStringLiteral("春节\r\n"));
}

TEST(DescribeDay, OrdinaryDayHasNoNote)
{
    const DayDescription day = describe(QDate(2006, 1, 1));
    EXPECT_EQ(day.lunarText, QStringLiteral("农历2005年 12月02日"));
    EXPECT_EQ(day.dayName, QStringLiteral("初二"));
    EXPECT_EQ(day.monthNote, QString());
    EXPECT_EQ(day.festivals, QStringList());
}

TEST(DescribeDay, FirstDayOfALeapMonth)
{
    const DayDescription day = describe(QDate(2006, 8, 24));
    EXPECT_EQ(day.lunarText, QStringLiteral("农历2006年闰07月01日"));
    EXPECT_EQ(day.longText, QStringLiteral("农历2006年(狗)闰07月01日"));
    EXPECT_EQ(day.monthNote, QStringLiteral("闰7月小"));
}

TEST(DescribeDay, DayNamesUseTheNianForms)
{
    EXPECT_EQ(describe(QDate(2006, 2, 18)).dayName, QStringLiteral("廿一"));
    EXPECT_EQ(describe(QDate(2007, 2, 17)).dayName, QStringLiteral("三十"));
}

TEST(DescribeDay, SolarTermsAndQingming)
{
    EXPECT_EQ(describe(QDate(2006, 2, 4)).termName, QStringLiteral("立春"));
    EXPECT_EQ(describe(QDate(2006, 5, 5)).termName, QStringLiteral("立夏"));
    EXPECT_EQ(describe(QDate(2006, 5, 6)).termName, QString());
    EXPECT_EQ(describe(QDate(1976, 2, 5)).termName, QStringLiteral("立春"));

    for (const QDate qingming : { QDate(2006, 4, 5), QDate(1976, 4, 4) }) {
        const DayDescription day = describe(qingming);
        EXPECT_EQ(day.termName, QString()) << "清明 is listed as a festival, not a term";
        EXPECT_EQ(day.festivalText(), QStringLiteral("清明节\r\n"));
    }
}

struct FestivalRow
{
    const char *situation;
    QDate date;
    QStringList festivals;
    friend void PrintTo(const FestivalRow &row, std::ostream *os) { *os << row.situation; }
};

class Festivals : public testing::TestWithParam<FestivalRow>
{
};

TEST_P(Festivals, ListedInOrder)
{
    EXPECT_EQ(describe(GetParam().date).festivals, GetParam().festivals);
}

QStringList names(std::initializer_list<const char16_t *> list)
{
    QStringList result;
    for (const char16_t *name : list)
        result.append(QString::fromUtf16(name));
    return result;
}

INSTANTIATE_TEST_SUITE_P(Rules, Festivals,
    testing::Values(FestivalRow { "spring festival", QDate(2006, 1, 29), names({ u"春节" }) },
        FestivalRow { "lantern festival", QDate(2006, 2, 12), names({ u"元宵节" }) },
        FestivalRow { "dragon boat", QDate(2006, 5, 31), names({ u"端午节" }) },
        FestivalRow { "qixi", QDate(2006, 7, 31), names({ u"七夕节" }) },
        FestivalRow { "qixi date in the leap month", QDate(2006, 8, 30), {} },
        FestivalRow { "mid-autumn", QDate(2006, 10, 6), names({ u"中秋节" }) },
        FestivalRow { "double ninth", QDate(2006, 10, 30), names({ u"重阳节" }) },
        FestivalRow { "valentine", QDate(2006, 2, 14), names({ u"情人节" }) },
        FestivalRow { "women", QDate(2006, 3, 8), names({ u"妇女节" }) },
        FestivalRow { "labour", QDate(2006, 5, 1), names({ u"劳动节" }) },
        FestivalRow { "children", QDate(2006, 6, 1), names({ u"儿童节" }) },
        FestivalRow { "teachers", QDate(2006, 9, 10), names({ u"教师节" }) },
        FestivalRow { "national", QDate(2006, 10, 1), names({ u"国庆节" }) },
        FestivalRow { "christmas", QDate(2006, 12, 25), names({ u"圣诞节" }) },
        FestivalRow {
            "lunar before Gregorian", QDate(2001, 10, 1), names({ u"中秋节", u"国庆节" }) },
        FestivalRow {
            "eve: day 29 of a 29-day twelfth month", QDate(2006, 1, 28), names({ u"除夕" }) },
        FestivalRow { "day 29 of a 30-day twelfth month", QDate(2007, 2, 16), {} },
        FestivalRow {
            "eve: day 30 of a 30-day twelfth month", QDate(2007, 2, 17), names({ u"除夕" }) },
        FestivalRow {
            "mother's day, second Sunday of May", QDate(2006, 5, 14), names({ u"母亲节" }) },
        FestivalRow { "first Sunday of May", QDate(2006, 5, 7), {} },
        FestivalRow { "mother's day on the 8th", QDate(2005, 5, 8), names({ u"母亲节" }) },
        FestivalRow {
            "father's day, third Sunday of June", QDate(2006, 6, 18), names({ u"父亲节" }) },
        FestivalRow { "second Sunday of June", QDate(2006, 6, 11), {} },
        FestivalRow { "father's day on the 21st", QDate(2009, 6, 21), names({ u"父亲节" }) },
        FestivalRow { "Sunday 22 June", QDate(2008, 6, 22), {} }),
    natalis::test::BySituation());

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
    for (QDate date = FirstDescribedDay(); date <= LastDescribedDay(); date = date.addDays(1)) {
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
