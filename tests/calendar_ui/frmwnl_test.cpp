#include "calendar_ui/frmwnl.h"
#include "fakecalendarhost.h"
#include "support/birthdaybuilder.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <gtest/gtest.h>
#include <memory>

namespace natalis::calendar_ui {
namespace {

using test::FakeCalendarHost;

// June 2006 starts on a Thursday: 10 June stands in cell 13, 1 June in cell 4.
constexpr int June10Cell = 13;
constexpr int June1Cell = 4;
const QString Heading = QStringLiteral("今天:公历2006年05月01日(星期一) 农历2006年04月04日");

class CalendarWindow : public testing::Test
{
protected:
    CalendarWindow()
    {
        for (const char *name : { "张三", "李四", "王五", "赵六" })
            host.records.append(test::gregorianBirthday(
                QString::fromUtf8(name), QStringLiteral("公历1985年 06月10日")));
    }

    std::unique_ptr<frmWNL> open(bool plainMode)
    {
        auto window = std::make_unique<frmWNL>(host, plainMode);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        return window;
    }

    FakeCalendarHost host;
};

TEST_F(CalendarWindow, OpensOnTodaysMonthWithTheHeading)
{
    const auto window = open(false);
    EXPECT_EQ(window->shownYear(), 2006);
    EXPECT_EQ(window->shownMonth(), 5);
    EXPECT_EQ(window->todayText(), Heading);
    EXPECT_EQ(window->glDayText(1), QStringLiteral("1"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("青萍生日提醒软件v4.0"));
    EXPECT_EQ(open(true)->windowTitle(), QStringLiteral("青萍生日提醒软件v4.0[万年历]"));
}

TEST_F(CalendarWindow, DoubleClickOnABirthdayOpensTheDayListBetweenDisableAndEnable)
{
    const auto window = open(false);
    window->FillMonthGrid(2006, 6);
    EXPECT_EQ(window->nlDayText(June10Cell), QStringLiteral("张三>>"));
    window->lblGLDay_DblClick(June10Cell);
    ASSERT_EQ(host.calls.size(), 3);
    EXPECT_EQ(host.calls[0], QStringLiteral("DisableOther"));
    EXPECT_TRUE(
        host.calls[1].startsWith(QStringLiteral("dayList:公历2006年06月10日 农历2006年(狗)")));
    EXPECT_EQ(host.calls[2], QStringLiteral("EnableOther"));
    EXPECT_EQ(host.lastListText.count(QStringLiteral("\r\n")), 4);
}

TEST_F(CalendarWindow, OneDoubleClickOnADayOpensItsListOnce)
{
    const auto window = open(false);
    window->FillMonthGrid(2006, 6);
    for (const QString &prefix :
        { QStringLiteral("lblGLDay_"), QStringLiteral("lblNLDay_"), QStringLiteral("Shape1_") }) {
        host.calls.clear();
        auto *target = window->findChild<QWidget *>(prefix + QString::number(June10Cell));
        ASSERT_TRUE(target) << prefix.toStdString();
        const QPointF at(2, 2);
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, target->mapToGlobal(at),
            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &doubleClick);
        EXPECT_EQ(host.calls.count(QStringLiteral("DisableOther")), 1) << prefix.toStdString();
    }
}

TEST_F(CalendarWindow, DoubleClickOnAPlainDayOrAnEmptyCellDoesNothing)
{
    const auto window = open(false);
    window->FillMonthGrid(2006, 6);
    window->lblGLDay_DblClick(June1Cell + 1); // 2 June 2006: no festival, no birthday
    window->lblGLDay_DblClick(0); // before the first
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST_F(CalendarWindow, PerpetualCalendarIgnoresDoubleClicks)
{
    const auto window = open(true);
    window->FillMonthGrid(2006, 6);
    EXPECT_FALSE(window->nlDayText(June10Cell).startsWith(QStringLiteral("张三")));
    window->lblGLDay_DblClick(June1Cell); // 1 June: 儿童节
    window->lblGLDay_DblClick(June10Cell);
    window->lblToday_DblClick();
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST_F(CalendarWindow, TodayListOnlyWhenSomethingIsDue)
{
    const auto window = open(false);
    window->lblToday_DblClick();
    EXPECT_TRUE(host.calls.isEmpty());
    host.notifyText = QStringLiteral("张三今天生日");
    window->lblToday_DblClick();
    EXPECT_EQ(host.calls,
        QStringList({ QStringLiteral("DisableOther"), QStringLiteral("todayList:") + Heading,
            QStringLiteral("EnableOther") }));
}

TEST_F(CalendarWindow, HoverShowsTheCutNoticeOfDaysOnly)
{
    const auto window = open(false);
    window->FillMonthGrid(2006, 6);
    window->lblGLDay_MouseMove(June10Cell);
    const QString notice = window->noticeShown();
    EXPECT_TRUE(notice.endsWith(QStringLiteral("----更多请双击日期----")));
    EXPECT_EQ(notice.count(u'\n'), 4);
    window->lblGLDay_MouseMove(0);
    EXPECT_EQ(window->noticeShown(), notice); // an empty cell changes nothing
}

TEST_F(CalendarWindow, ActivationStopsTheMusicAndSetsTheTodayTip)
{
    host.notifyText = QStringLiteral("张三今天生日");
    const auto window = open(false);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activate);
    EXPECT_EQ(host.calls, QStringList { QStringLiteral("stopMusic") });
    EXPECT_EQ(window->findChild<QLabel *>(QStringLiteral("lblToday"))->toolTip(),
        QStringLiteral("张三今天生日"));
}

TEST_F(CalendarWindow, BrowseButtonsStopAtTheEndsOfTheRange)
{
    const auto window = open(true);
    window->FillMonthGrid(2100, 12);
    window->cmdNextMonth_Click();
    window->cmdNextYear_Click();
    EXPECT_EQ(window->shownYear(), 2100);
    EXPECT_EQ(window->shownMonth(), 12);
    window->FillMonthGrid(1902, 2);
    window->cmdPrevYear_Click();
    EXPECT_EQ(window->shownYear(), 1901);
    EXPECT_EQ(window->shownMonth(), 3);
    window->cmdPrevMonth_Click();
    EXPECT_EQ(window->shownMonth(), 3);
    EXPECT_EQ(window->glDayText(5), QStringLiteral("1")); // 1 March 1901, a Friday
}

TEST_F(CalendarWindow, ChoosingYear1901WithJanuaryShowsMarch)
{
    const auto window = open(true);
    window->FillMonthGrid(1950, 1);
    auto *years = window->findChild<QComboBox *>(QStringLiteral("cboYear"));
    auto *months = window->findChild<QComboBox *>(QStringLiteral("cboMonth"));
    years->setCurrentIndex(0);
    Q_EMIT years->activated(0);
    EXPECT_EQ(window->shownYear(), 1901);
    EXPECT_EQ(window->shownMonth(), 3);
    EXPECT_EQ(months->currentText(), QStringLiteral("3"));
}

TEST_F(CalendarWindow, SetupClosesAndShowsTheMainWindow)
{
    auto *window = new frmWNL(host, false);
    QPointer<frmWNL> alive(window);
    window->show();
    window->cmdSetup_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(host.calls.contains(QStringLiteral("showMainWindow")));
}

} // namespace
} // namespace natalis::calendar_ui
