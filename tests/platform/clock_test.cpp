#include "platform/clock.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace natalis::app {
namespace {

TEST(ParseNow, AcceptsMinutesWithOptionalSeconds)
{
    const struct
    {
        const char *situation;
        const char16_t *text;
        QDateTime expected; // invalid: refused
    } rows[] = {
        { "minute precision", u"2026-02-28T09:00", QDateTime(QDate(2026, 2, 28), QTime(9, 0)) },
        { "leap day", u"2024-02-29T23:59", QDateTime(QDate(2024, 2, 29), QTime(23, 59)) },
        { "seconds given", u"2026-02-28T08:59:45",
            QDateTime(QDate(2026, 2, 28), QTime(8, 59, 45)) },
        { "seconds out of range", u"2026-02-28T08:59:60", QDateTime() },
        { "blank instead of T", u"2026-02-28 09:00", QDateTime() },
        { "date only", u"2026-02-28", QDateTime() },
    };
    for (const auto &row : rows)
        EXPECT_EQ(platform::parseNow(QString::fromUtf16(row.text)), row.expected) << row.situation;
}

TEST(MillisecondsToNextMinute, FiresJustAfterTheTurnOfTheMinute)
{
    const struct
    {
        const char *situation;
        QTime now;
        int expected;
    } rows[] = {
        { "on the minute", QTime(9, 0, 0), 60050 },
        { "just after it", QTime(9, 0, 0, 50), 60000 },
        { "last millisecond", QTime(8, 59, 59, 999), 51 },
        { "before midnight", QTime(23, 59, 59), 1050 },
    };
    for (const auto &row : rows)
        EXPECT_EQ(platform::millisecondsToNextMinute(QDateTime(QDate(2026, 6, 18), row.now)),
            row.expected)
            << row.situation;
}

} // namespace
} // namespace natalis::app
