#include "calendar/solarterms.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::calendar;

namespace {

struct TermYearRow
{
    int year;
    const char *monthDays; // the 24 MMDD fields in term order
    friend void PrintTo(const TermYearRow &row, std::ostream *os) { *os << row.year; }
};

class TermYears : public testing::TestWithParam<TermYearRow>
{
};

TEST_P(TermYears, DatesOfEveryTerm)
{
    const QString expected = QString::fromLatin1(GetParam().monthDays);
    QStringList actual;
    for (int term = 0; term < SolarTermTable::TermsPerYear; ++term)
        actual.append(SolarTermTable::termDate(GetParam().year, term).toString(u"MMdd"));
    EXPECT_EQ(actual.join(u' '), expected);
}

// Astronomical dates in Beijing time; 1976 立春, 2006 立夏 and 立秋 and 2100 清明 are the days
// the program's first table had wrong.
INSTANTIATE_TEST_SUITE_P(TellingYears, TermYears,
    testing::Values(TermYearRow { 1901,
                        "0106 0121 0204 0219 0306 0321 0405 0421 0506 0522 0606 0622 "
                        "0708 0723 0808 0824 0908 0924 1009 1024 1108 1123 1208 1222" },
        TermYearRow { 1976,
            "0106 0121 0205 0219 0305 0320 0404 0420 0505 0521 0605 0621 "
            "0707 0723 0807 0823 0907 0923 1008 1023 1107 1122 1207 1222" },
        TermYearRow { 2006,
            "0105 0120 0204 0219 0306 0321 0405 0420 0505 0521 0606 0621 "
            "0707 0723 0807 0823 0908 0923 1008 1023 1107 1122 1207 1222" },
        TermYearRow { 2025,
            "0105 0120 0203 0218 0305 0320 0404 0420 0505 0521 0605 0621 "
            "0707 0722 0807 0823 0907 0923 1008 1023 1107 1122 1207 1221" },
        TermYearRow { 2026,
            "0105 0120 0204 0218 0305 0320 0405 0420 0505 0521 0605 0621 "
            "0707 0723 0807 0823 0907 0923 1008 1023 1107 1122 1207 1222" },
        TermYearRow { 2100,
            "0105 0120 0204 0218 0305 0320 0405 0420 0505 0521 0605 0621 "
            "0707 0723 0807 0823 0907 0923 1008 1023 1107 1122 1207 1222" }),
    [](const testing::TestParamInfo<TermYearRow> &info) {
        return std::to_string(info.param.year);
    });

TEST(SolarTermTable, EveryYearHasItsTermsInOrderAndInTheirMonths)
{
    for (int year = SolarTermTable::FirstYear; year <= SolarTermTable::LastYear; ++year) {
        SCOPED_TRACE(year);
        QDate previous;
        for (int term = 0; term < SolarTermTable::TermsPerYear; ++term) {
            const QDate date = SolarTermTable::termDate(year, term);
            ASSERT_TRUE(date.isValid());
            EXPECT_EQ(date.month(), term / 2 + 1);
            EXPECT_GT(date, previous);
            // Terms follow each other every 14 to 16 days.
            if (previous.isValid()) {
                EXPECT_GE(previous.daysTo(date), 14);
                EXPECT_LE(previous.daysTo(date), 16);
            }
            EXPECT_EQ(SolarTermTable::termOn(date), SolarTermTable::termName(term));
            EXPECT_EQ(SolarTermTable::termOn(date.addDays(1)), QString());
            previous = date;
        }
        EXPECT_GE(SolarTermTable::termDate(year, 0).day(), 4) << "小寒 lies in 4..7 January";
        EXPECT_LE(SolarTermTable::termDate(year, 0).day(), 7);
        EXPECT_GE(SolarTermTable::termDate(year, 23).day(), 21) << "冬至 lies in 21..23 December";
        EXPECT_LE(SolarTermTable::termDate(year, 23).day(), 23);
    }
}

TEST(SolarTermTable, NoTermOutsideTheTable)
{
    EXPECT_EQ(SolarTermTable::termOn(QDate(1900, 1, 6)), QString());
    EXPECT_EQ(SolarTermTable::termOn(QDate(2101, 1, 5)), QString());
    EXPECT_EQ(SolarTermTable::termOn(QDate()), QString());
}

} // namespace
