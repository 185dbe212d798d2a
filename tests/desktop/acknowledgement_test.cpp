// The desktop pieces of the reminder that need no desktop: when an event counts as the user
// having seen the reminder, the balloon's lines, and the floating strip's scroll.

#include "desktop/acknowledgement.h"
#include "desktop/frmnotify.h"
#include "desktop/traylayer.h"
#include "support/casename.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace natalis::app {
namespace {

// P the program shows the window, A it is activated, D deactivated, I the user types or clicks
// into it. The expected text has "+" where the event acknowledges.
struct RuleCase
{
    const char *situation;
    const char *events;
    const char *acknowledged;
    friend void PrintTo(const RuleCase &c, std::ostream *os) { *os << c.situation; }
};

const RuleCase RuleCases[] = {
    { "user activates a window already up", "A", "+" },
    { "window manager activates what the program showed", "PA", ".." },
    { "the user then clicks into it", "PAI", "..+" },
    { "only the first click counts", "PAII", "..+." },
    { "user leaves and comes back", "PADA", "...+" },
    { "shown but never activated, then clicked", "PI", ".+" },
    { "shown again after the user had seen it", "AIPA", "+..." },
};

class Rule : public testing::TestWithParam<RuleCase>
{
};

TEST_P(Rule, OnlyTheUsersActAcknowledges)
{
    AcknowledgementRule rule;
    std::string seen;
    for (const char *event = GetParam().events; *event; ++event) {
        bool acknowledges = false;
        switch (*event) {
        case 'P':
            rule.programShows();
            break;
        case 'A':
            acknowledges = rule.activated();
            break;
        case 'D':
            rule.deactivated();
            break;
        case 'I':
            acknowledges = rule.userInput();
            break;
        }
        seen += acknowledges ? '+' : '.';
    }
    EXPECT_EQ(seen, GetParam().acknowledged);
}

INSTANTIATE_TEST_SUITE_P(Events, Rule, testing::ValuesIn(RuleCases), natalis::test::BySituation());

struct BalloonCase
{
    const char *situation;
    QString reminder;
    QString shown;
    friend void PrintTo(const BalloonCase &c, std::ostream *os) { *os << c.situation; }
};

class Balloon : public testing::TestWithParam<BalloonCase>
{
};

TEST_P(Balloon, OneLinePerItem)
{
    EXPECT_EQ(natalis::desktop::balloonText(GetParam().reminder), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, Balloon,
    testing::Values(
        BalloonCase { "carriage returns", QStringLiteral("甲\r乙\r更多请见生日提醒窗口..."),
            QStringLiteral("甲\n乙\n更多请见生日提醒窗口...") },
        BalloonCase { "CR LF is one break", QStringLiteral("甲\r\n乙"), QStringLiteral("甲\n乙") },
        BalloonCase {
            "one item", QStringLiteral("今天是张三生日"), QStringLiteral("今天是张三生日") },
        BalloonCase { "empty", QString(), QString() }),
    natalis::test::BySituation());

TEST(FloatingWindow, ScrollsLeftAndComesBackFromTheRight)
{
    constexpr int ScrolledOutBy = 0; // the last position seen before the wrap: right edge at 0
    frmNotify notify;
    notify.setNotifyText(QStringLiteral("今天是张三生日[朋友,13912345678]"));
    notify.show();
    auto *label = notify.findChild<QLabel *>(QStringLiteral("lblNotify"));
    ASSERT_NE(label, nullptr);
    const int start = label->x();
    notify.scrollTick();
    EXPECT_EQ(label->x(), start - frmNotify::ScrollStep);
    int previous = label->x();
    int ticks = 0;
    for (; ticks < 5000 && label->x() <= previous; ++ticks) {
        previous = label->x();
        notify.scrollTick();
    }
    EXPECT_EQ(previous + label->width(), ScrolledOutBy) << "wraps only once fully out of sight";
    EXPECT_GT(label->x(), notify.width() / 2) << "back at the right edge";
}

} // namespace
} // namespace natalis::app
