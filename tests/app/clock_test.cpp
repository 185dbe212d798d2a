#include "app/clock.h"
#include "support/casename.h"

#include <gtest/gtest.h>

namespace natalis::app {
namespace {

struct NowCase
{
    const char *situation;
    const char16_t *text;
    QDateTime expected;
};

const NowCase NowCases[] = {
    { "minute precision", u"2026-02-28T09:00", QDateTime(QDate(2026, 2, 28), QTime(9, 0)) },
    { "leap day", u"2024-02-29T23:59", QDateTime(QDate(2024, 2, 29), QTime(23, 59)) },
    { "no such day", u"2026-02-29T09:00", QDateTime() },
    { "seconds given", u"2026-02-28T09:00:00", QDateTime() },
    { "blank instead of T", u"2026-02-28 09:00", QDateTime() },
    { "date only", u"2026-02-28", QDateTime() },
    { "hour 24", u"2026-02-28T24:00", QDateTime() },
};

class ParseNowTest : public testing::TestWithParam<NowCase>
{
};

TEST_P(ParseNowTest, AcceptsOnlyTheOneForm)
{
    EXPECT_EQ(parseNow(QString::fromUtf16(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseNowTest, testing::ValuesIn(NowCases), test::BySituation());

} // namespace
} // namespace natalis::app
