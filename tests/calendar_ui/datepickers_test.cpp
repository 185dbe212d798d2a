#include "calendar_ui/datepickers.h"
#include "calendar_ui/frmindate.h"
#include "calendar_ui/frmindate1.h"
#include "support/casename.h"

#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace natalis::calendar_ui {
namespace {

const QDate FixedToday(2006, 9, 7); // lunar 2006 闰07-15
const QString CallerGL = QStringLiteral("公历1980年 03月03日");
const QString CallerNL = QStringLiteral("农历1980年 01月17日");

// Acts on the picker once its modal loop runs.
void whenShown(const std::function<void(PickerDialog &)> &action)
{
    QTimer::singleShot(0, [action] {
        if (auto *picker = qobject_cast<PickerDialog *>(QApplication::activeModalWidget()))
            action(*picker);
    });
}

int cellOfDay(const PickerDialog &picker, int day)
{
    for (int index = 0; index < GridCells; ++index) {
        if (picker.cell(index).day == day)
            return index;
    }
    return -1;
}

TEST(GregorianPicker, OpensOnTheCallersMonthAndPicksBothTexts)
{
    frmInDate picker(1, FixedToday, QStringLiteral("公历1976年 02月11日"));
    EXPECT_EQ(picker.shownMonth(), (YearMonth { 1976, 2 }));
    EXPECT_EQ(picker.largeText(24), QStringLiteral("25")); // 1 February 1976 was a Sunday
    picker.lblGLDay_Click(24);
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    EXPECT_EQ(picker.PickedGLText(), QStringLiteral("公历1976年 02月25日"));
    EXPECT_EQ(picker.PickedNLText(), QStringLiteral("农历1976年 01月26日"));
}

TEST(GregorianPicker, EmptyTextOpensTodaysMonthAndEmptyCellsAreIgnored)
{
    frmInDate picker(1, FixedToday, QString());
    EXPECT_EQ(picker.shownMonth(), (YearMonth { 2006, 9 }));
    picker.lblGLDay_Click(0); // September 2006 starts on a Friday
    EXPECT_TRUE(picker.PickedGLText().isEmpty());
}

TEST(GregorianPicker, NeverOffersADayBeforeMarch1901)
{
    frmInDate picker(1, FixedToday, QStringLiteral("公历1900年 12月25日"));
    EXPECT_EQ(picker.shownMonth(), (YearMonth { 1901, 3 }));
    picker.cmdPrevMonth_Click();
    picker.cmdPrevYear_Click();
    EXPECT_EQ(picker.shownMonth(), (YearMonth { 1901, 3 }));
}

TEST(LunarPicker, EmptyTextOpensTodaysLunarMonth)
{
    frmInDate1 picker(1, FixedToday, QString());
    EXPECT_EQ(picker.shownMonth().year, 2006);
    EXPECT_EQ(picker.shownMonthText(), QStringLiteral("闰07"));
    EXPECT_EQ(picker.monthTexts().size(), 13);
}

TEST(LunarPicker, PicksALeapMonthDay)
{
    frmInDate1 picker(1, FixedToday, QStringLiteral("农历2006年闰07月01日"));
    const int cell = cellOfDay(picker, 15);
    ASSERT_GE(cell, 0);
    EXPECT_EQ(picker.largeText(cell), QStringLiteral("十五"));
    picker.lblGLDay_Click(cell);
    EXPECT_EQ(picker.PickedNLText(), QStringLiteral("农历2006年闰07月15日"));
    EXPECT_EQ(picker.PickedGLText(), QStringLiteral("公历2006年 09月07日"));
}

TEST(LunarPicker, NextYearFromTheLeapSeventhSelectsTheEighth)
{
    frmInDate1 picker(1, FixedToday, QStringLiteral("农历2006年闰07月15日"));
    picker.cmdNextYear_Click();
    EXPECT_EQ(picker.shownMonth().year, 2007);
    EXPECT_EQ(picker.monthTexts().size(), 12);
    EXPECT_EQ(picker.shownMonthText(), QStringLiteral(" 08"));
}

TEST(LunarPicker, NeverShowsTheFirstMonthOf1901OrTheLastOf2100)
{
    frmInDate1 first(1, FixedToday, QStringLiteral("农历1901年 01月10日"));
    first.cmdPrevMonth_Click();
    first.cmdPrevYear_Click();
    EXPECT_EQ(first.shownMonth().year, 1901);
    EXPECT_EQ(first.shownMonthText(), QStringLiteral(" 02"));

    frmInDate1 last(1, FixedToday, QStringLiteral("农历2100年 11月10日"));
    last.cmdNextMonth_Click();
    last.cmdNextYear_Click();
    EXPECT_EQ(last.shownMonth().year, 2100);
    EXPECT_EQ(last.shownMonthText(), QStringLiteral(" 11"));
}

struct RoundTripRow
{
    const char *situation;
    bool lunarPicker;
    bool pickDay; // false: cmdExit
    int day;
    const char *expectedGL; // null: the caller's text stays
    const char *expectedNL;

    friend void PrintTo(const RoundTripRow &row, std::ostream *out) { *out << row.situation; }
};

class PickerRoundTrip : public testing::TestWithParam<RoundTripRow>
{
};

TEST_P(PickerRoundTrip, HandsBackBothTextsOrKeepsTheCallers)
{
    const RoundTripRow &row = GetParam();
    QString gl = CallerGL;
    QString nl = CallerNL;
    whenShown([&row](PickerDialog &picker) {
        if (row.pickDay)
            picker.lblGLDay_Click(cellOfDay(picker, row.day));
        else
            picker.cmdExit_Click();
    });
    const bool picked = row.lunarPicker ? PickLunarDate(nullptr, 1, FixedToday, gl, nl)
                                        : PickGregorianDate(nullptr, 1, FixedToday, gl, nl);
    EXPECT_EQ(picked, row.pickDay);
    EXPECT_EQ(gl, row.expectedGL ? QString::fromUtf8(row.expectedGL) : CallerGL);
    EXPECT_EQ(nl, row.expectedNL ? QString::fromUtf8(row.expectedNL) : CallerNL);
}

INSTANTIATE_TEST_SUITE_P(Protocol, PickerRoundTrip,
    testing::Values(
        // The caller's dates open March 1980 and lunar 1980-01.
        RoundTripRow {
            "Gregorian pick", false, true, 25, "公历1980年 03月25日", "农历1980年 02月09日" },
        RoundTripRow { "lunar pick", true, true, 1, "公历1980年 02月16日", "农历1980年 01月01日" },
        RoundTripRow {
            "Gregorian cmdExit keeps the callers texts", false, false, 0, nullptr, nullptr },
        RoundTripRow { "lunar cmdExit keeps the callers texts", true, false, 0, nullptr, nullptr }),
    test::BySituation());

} // namespace
} // namespace natalis::calendar_ui
