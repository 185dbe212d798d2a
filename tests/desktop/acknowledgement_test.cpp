// The desktop pieces of the reminder that need no desktop: when an event counts as the user
// having seen the reminder, the balloon's lines and place, and the floating strip's scroll.

#include "desktop/acknowledgement.h"
#include "desktop/frmnotify.h"
#include "desktop/trayballoon.h"
#include "desktop/traylayer.h"
#include "support/casename.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace natalis::app {
namespace {

using namespace natalis::desktop;

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
    desktop::AcknowledgementRule rule;
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

TEST(FloatingWindow, ScrollsLeftAndComesBackFromTheRight)
{
    desktop::frmNotify notify;
    notify.setNotifyText(QStringLiteral("今天是张三生日[朋友,13912345678]"));
    notify.show();
    auto *label = notify.findChild<QLabel *>(QStringLiteral("lblNotify"));
    ASSERT_NE(label, nullptr);
    const int start = label->x();
    notify.scrollTick();
    EXPECT_EQ(label->x(), start - desktop::frmNotify::ScrollStep);
    int previous = label->x();
    int ticks = 0;
    for (; ticks < 5000 && label->x() <= previous; ++ticks) {
        previous = label->x();
        notify.scrollTick();
    }
    EXPECT_GE(previous + label->width(), 0) << "wraps only once fully out of sight";
    EXPECT_LT(previous + label->width(), desktop::frmNotify::ScrollStep) << "and no later";
    EXPECT_GT(label->x(), notify.width() / 2) << "back at the right edge";
}

const QRect Screen(0, 0, 1280, 800);
const QSize BalloonSize(300, 90);

struct PlaceCase
{
    const char *situation;
    QRect icon;
    bool pointerBelow;
};

const PlaceCase PlaceCases[] = {
    { "bottom panel, right end", QRect(1250, 774, 22, 26), true },
    { "bottom panel, left end", QRect(2, 774, 22, 26), true },
    { "top panel, right end", QRect(1250, 0, 22, 26), false },
    { "top panel, middle", QRect(630, 0, 22, 26), false },
    { "right edge, low", QRect(1258, 700, 22, 22), true },
};

class PlaceTest : public testing::TestWithParam<PlaceCase>
{
};

TEST_P(PlaceTest, BesideTheIconAndOnTheScreen)
{
    const PlaceCase &c = GetParam();
    const TrayBalloon::Placement p = TrayBalloon::place(c.icon, BalloonSize, Screen);
    const QRect balloon(p.topLeft, BalloonSize);
    EXPECT_TRUE(Screen.contains(balloon)) << balloon.x() << "," << balloon.y();
    EXPECT_EQ(p.pointerBelow, c.pointerBelow);
    EXPECT_FALSE(balloon.intersects(c.icon)) << "covers the icon";
    // The pointer's tip reaches within a few pixels of the icon's edge, over the icon.
    const int tipY = p.pointerBelow ? balloon.bottom() : balloon.top();
    const int gap = p.pointerBelow ? c.icon.top() - tipY : tipY - c.icon.bottom();
    EXPECT_GE(gap, 1);
    EXPECT_LE(gap, 4);
    const int tipX = balloon.left() + p.pointerX;
    EXPECT_LE(std::abs(tipX - c.icon.center().x()), c.icon.width())
        << "the pointer points away from the icon";
}

INSTANTIATE_TEST_SUITE_P(
    Icons, PlaceTest, testing::ValuesIn(PlaceCases), natalis::test::BySituation());

TEST(Balloon, NeverCoversTheStripAndStaysAtTheIconOtherwise)
{
    const QRect icon(1250, 774, 22, 26); // bottom panel, right end
    const QRect atIcon(TrayBalloon::place(icon, BalloonSize, Screen).topLeft, BalloonSize);
    // In the corner above the panel, dragged to the top, as tall as the screen, elsewhere.
    for (const QRect &strip : { QRect(980, 740, 300, 34), QRect(980, 0, 300, 34),
             QRect(1000, 0, 280, 800), QRect(0, 0, 300, 34) }) {
        const QRect balloon(
            TrayBalloon::place(icon, BalloonSize, Screen, strip).topLeft, BalloonSize);
        EXPECT_FALSE(balloon.intersects(strip)) << strip.x() << "," << strip.y();
        EXPECT_TRUE(Screen.contains(balloon)) << strip.x() << "," << strip.y();
        EXPECT_TRUE(atIcon.intersects(strip) || balloon == atIcon) << strip.x() << "," << strip.y();
    }
}

TEST(FloatingWindow, KeepsClearOfTheMainWindowWhereTheScreenAllows)
{
    const QRect area(0, 0, 1920, 1040); // a 1080-pixel screen less a bottom panel
    const QSize strip(300, 34);
    const QPoint corner(1620, 1006);
    const struct
    {
        const char *situation;
        QRect window;
        bool clear; // else the bottom-right corner
    } rows[] = {
        { "no main window shown", QRect(), true },
        { "window far from the corner", QRect(100, 100, 800, 600), true },
        { "window in the bottom-right corner", QRect(1100, 500, 820, 540), true },
        { "window over the bottom half", QRect(0, 520, 1920, 520), true },
        { "window filling all but a thin strip above", QRect(0, 20, 1920, 1020), false },
        { "maximised window", area, false },
    };
    for (const auto &row : rows) {
        const QPoint at = stripPosition(area, strip, row.window);
        const QRect place(at, strip);
        EXPECT_TRUE(area.contains(place)) << row.situation;
        const bool clear = !row.window.isValid() || !place.intersects(row.window);
        EXPECT_EQ(clear, row.clear) << row.situation;
        if (!row.clear || !row.window.isValid()) {
            EXPECT_EQ(at, corner) << row.situation;
        }
    }
}

} // namespace
} // namespace natalis::app
