#include "calendar/lunarimporttext.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::calendar;

namespace {

struct ImportRow
{
    const char *situation;
    QString text;
    QString normalized; // empty: refused
    friend void PrintTo(const ImportRow &row, std::ostream *os) { *os << row.situation; }
};

class ImportTexts : public testing::TestWithParam<ImportRow>
{
};

TEST_P(ImportTexts, Normalize)
{
    const ImportRow &row = GetParam();
    QString normalized = QStringLiteral("untouched");
    const bool accepted = NormalizeLunarImportText(row.text, normalized);
    if (row.normalized.isEmpty()) {
        EXPECT_FALSE(accepted);
        EXPECT_EQ(normalized, QStringLiteral("untouched"));
    } else {
        EXPECT_TRUE(accepted);
        EXPECT_EQ(normalized, row.normalized);
    }
}

INSTANTIATE_TEST_SUITE_P(Accepted, ImportTexts,
    testing::Values(ImportRow { "blanks around every part", QStringLiteral(" 1976 - 1 - 26 "),
                        QStringLiteral("1976-01-26") },
        ImportRow {
            "leading zeros kept", QStringLiteral("1976-01-26"), QStringLiteral("1976-01-26") },
        ImportRow { "leap month", QStringLiteral("2006-闰7-15"), QStringLiteral("2006-闰07-15") },
        ImportRow {
            "leap month with zero", QStringLiteral("2006-闰07-5"), QStringLiteral("2006-闰07-05") },
        ImportRow {
            "day 30 of a 30-day month", QStringLiteral("1976-2-30"), QStringLiteral("1976-02-30") },
        ImportRow {
            "second month of 1901", QStringLiteral("1901-2-1"), QStringLiteral("1901-02-01") },
        ImportRow {
            "eleventh month of 2100", QStringLiteral("2100-11-30"), QStringLiteral("2100-11-30") }),
    natalis::test::BySituation());

INSTANTIATE_TEST_SUITE_P(Refused, ImportTexts,
    testing::Values(ImportRow { "day 30 of a 29-day month", QStringLiteral("1976-3-30"), {} },
        ImportRow { "leap month the year lacks", QStringLiteral("2007-闰7-15"), {} },
        ImportRow { "leap month of another number", QStringLiteral("2006-闰6-15"), {} },
        ImportRow { "first month of 1901", QStringLiteral("1901-1-5"), {} },
        ImportRow { "last month of 2100", QStringLiteral("2100-12-1"), {} },
        ImportRow { "year before the table", QStringLiteral("1900-5-5"), {} },
        ImportRow { "year after the table", QStringLiteral("2101-5-5"), {} },
        ImportRow { "five-digit year", QStringLiteral("19760-1-26"), {} },
        ImportRow { "two-digit year", QStringLiteral("76-1-26"), {} },
        ImportRow { "month 13", QStringLiteral("1976-13-1"), {} },
        ImportRow { "month 0", QStringLiteral("1976-0-1"), {} },
        ImportRow { "three-digit month", QStringLiteral("1976-001-1"), {} },
        ImportRow { "day 0", QStringLiteral("1976-1-0"), {} },
        ImportRow { "three-digit day", QStringLiteral("1976-1-026"), {} },
        ImportRow { "slashes", QStringLiteral("1976/1/26"), {} },
        ImportRow { "one dash", QStringLiteral("1976-126"), {} },
        ImportRow { "three dashes", QStringLiteral("1976-1-2-6"), {} },
        ImportRow { "no day", QStringLiteral("1976-1-"), {} },
        ImportRow { "leap mark after the number", QStringLiteral("2006-7闰-15"), {} },
        ImportRow { "full-width digits", QStringLiteral("１９７６-1-26"), {} },
        ImportRow { "empty", QString(), {} }),
    natalis::test::BySituation());

} // namespace
