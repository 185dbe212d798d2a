#include "platform/clock.h"
#include "support/casename.h"

#include <QThread>
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


struct NextMinuteCase
{
    const char *situation;
    QTime now;
    int expected;
};

const NextMinuteCase NextMinuteCases[] = {
    { "on the minute", QTime(9, 0, 0), 60050 },
    { "just after it", QTime(9, 0, 0, 50), 60000 },
    { "half way", QTime(8, 59, 30), 30050 },
    { "last millisecond", QTime(8, 59, 59, 999), 51 },
    { "before midnight", QTime(23, 59, 59), 1050 },
};

class NextMinuteTest : public testing::TestWithParam<NextMinuteCase>
{
};

TEST_P(NextMinuteTest, FiresJustAfterTheTurnOfTheMinute)
{
    const NextMinuteCase &c = GetParam();
    EXPECT_EQ(millisecondsToNextMinute(QDateTime(QDate(2026, 6, 18), c.now)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Times, NextMinuteTest, testing::ValuesIn(NextMinuteCases), test::BySituation());

} // namespace
} // namespace natalis::app

namespace natalis::app {
namespace {

struct ClockCase
{
    const char *situation;
    const char16_t *text;
    bool pretended; // starts at 2026-06-18 08:59 rather than the real time
    bool advancing;
};

const ClockCase ClockCases[] = {
    { "frozen", u"2026-06-18T08:59", true, false },
    { "advancing", u"2026-06-18T08:59+", true, true },
    { "empty is the real clock", u"", false, true },
    { "plus alone", u"+", false, true },
    { "plus before the time", u"+2026-06-18T08:59", false, true },
    { "two plus signs", u"2026-06-18T08:59++", false, true },
};

class ClockFromTextTest : public testing::TestWithParam<ClockCase>
{
};

TEST_P(ClockFromTextTest, FrozenOrRunningFromTheGivenMoment)
{
    const ClockCase &c = GetParam();
    const auto clock = clockFromText(QString::fromUtf16(c.text));
    const QDateTime first = clock->now();
    const QDateTime start(QDate(2026, 6, 18), QTime(8, 59));
    if (c.pretended)
        EXPECT_LE(qAbs(first.secsTo(start)), 1);
    else
        EXPECT_LE(qAbs(first.secsTo(QDateTime::currentDateTime())), 1);
    // Sleep long enough for the millisecond clock to move.
    QDateTime later;
    for (int i = 0; i < 20 && later <= first; ++i) {
        QThread::msleep(2);
        later = clock->now();
    }
    EXPECT_EQ(later > first, c.advancing);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ClockFromTextTest, testing::ValuesIn(ClockCases), test::BySituation());

} // namespace
} // namespace natalis::app
