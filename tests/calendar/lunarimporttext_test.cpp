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

const ImportRow ImportRows[] = {
    { "blanks around every part", QStringLiteral(" 1976 - 1 - 26 "), QStringLiteral("1976-01-26") },
    { "leading zeros kept", QStringLiteral("1976-01-26"), QStringLiteral("1976-01-26") },
    { "leap month", QStringLiteral("2006-闰7-15"), QStringLiteral("2006-闰07-15") },
    { "leap month with zero", QStringLiteral("2006-闰07-5"), QStringLiteral("2006-闰07-05") },
    { "day 30 of a 30-day month", QStringLiteral("1976-2-30"), QStringLiteral("1976-02-30") },
    { "second month of 1901", QStringLiteral("1901-2-1"), QStringLiteral("1901-02-01") },
    { "eleventh month of 2100", QStringLiteral("2100-11-30"), QStringLiteral("2100-11-30") },
    { "day 30 of a 29-day month", QStringLiteral("1976-3-30"), {} },
    { "leap month the year lacks", QStringLiteral("2007-闰7-15"), {} },
    { "leap month of another number", QStringLiteral("2006-闰6-15"), {} },
    { "first month of 1901", QStringLiteral("1901-1-5"), {} },
    { "last month of 2100", QStringLiteral("2100-12-1"), {} },
    { "year before the table", QStringLiteral("1900-5-5"), {} },
    { "year after the table", QStringLiteral("2101-5-5"), {} },
    { "five-digit year", QStringLiteral("19760-1-26"), {} },
    { "two-digit year", QStringLiteral("76-1-26"), {} },
    { "month 13", QStringLiteral("1976-13-1"), {} },
    { "month 0", QStringLiteral("1976-0-1"), {} },
    { "three-digit month", QStringLiteral("1976-001-1"), {} },
    { "day 0", QStringLiteral("1976-1-0"), {} },
    { "three-digit day", QStringLiteral("1976-1-026"), {} },
    { "slashes", QStringLiteral("1976/1/26"), {} },
    { "one dash", QStringLiteral("1976-126"), {} },
    { "three dashes", QStringLiteral("1976-1-2-6"), {} },
    { "no day", QStringLiteral("1976-1-"), {} },
    { "leap mark after the number", QStringLiteral("2006-7闰-15"), {} },
    { "full-width digits", QStringLiteral("１９７６-1-26"), {} },
    { "empty", QString(), {} },
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

INSTANTIATE_TEST_SUITE_P(
    Texts, ImportTexts, testing::ValuesIn(ImportRows), natalis::test::BySituation());

} // namespace
