#include "desktop/trayballoon.h"
#include "support/casename.h"

#include <gtest/gtest.h>

namespace natalis::desktop {
namespace {

const QRect Screen(0, 0, 1280, 800);
const QSize Balloon(300, 90);

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
    const TrayBalloon::Placement p = TrayBalloon::place(c.icon, Balloon, Screen);
    const QRect balloon(p.topLeft, Balloon);
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

INSTANTIATE_TEST_SUITE_P(Icons, PlaceTest, testing::ValuesIn(PlaceCases), test::BySituation());

} // namespace
} // namespace natalis::desktop
