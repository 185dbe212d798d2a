#include "calendar_ui/calendarhost.h"
#include "calendar_ui/frmwnl.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

// What the cells say is buildMonthGrid's (monthgrid_test); here what the window does with them.

namespace natalis::calendar_ui {
namespace {

// June 2006 starts on a Thursday: 10 June stands in cell 13.
constexpr int June10Cell = 13;

// The test is the window's host: it records what the window asks of the program, in order.
class CalendarWindow : public testing::Test, public CalendarHost
{
protected:
    CalendarWindow()
    {
        for (const char16_t *name : { u"张三", u"李四", u"王五", u"赵六" })
            records.append(test::gregorianBirthday(
                QString::fromUtf16(name), QStringLiteral("公历1985年 06月10日")));
    }

    std::unique_ptr<frmWNL> openJune(bool plainMode)
    {
        auto window = std::make_unique<frmWNL>(*this, plainMode);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        EXPECT_EQ(window->shownMonth(), 5) << "opens on today's month";
        window->FillMonthGrid(2006, 6);
        return window;
    }

    const store::BirthdayList &birthdays() const override { return records; }
    int currentSkin() const override { return 2; }
    QDateTime now() const override { return QDateTime(QDate(2006, 5, 1), QTime(10, 0)); }
    QString todayNotifyText() const override { return notifyText; }
    void stopMusic() override { calls << QStringLiteral("stopMusic"); }
    void DisableOther() override { calls << QStringLiteral("DisableOther"); }
    void EnableOther() override { calls << QStringLiteral("EnableOther"); }
    void showMainWindow() override { calls << QStringLiteral("showMainWindow"); }
    void showDayList(const QString &date, const QString &list) override { calls << date << list; }
    void showTodayList(const QString &heading) override { calls << heading; }

    store::BirthdayList records;
    QString notifyText;
    QStringList calls;
};

TEST_F(CalendarWindow, DoubleClickOnABirthdayOpensTheDayListBetweenDisableAndEnable)
{
    const auto window = openJune(false);
    const MonthCell &cell = window->cell(June10Cell);
    for (const char *prefix : { "lblGLDay_", "lblNLDay_", "Shape1_" }) {
        calls.clear();
        auto *target =
            window->findChild<QWidget *>(QLatin1String(prefix) + QString::number(June10Cell));
        ASSERT_TRUE(target) << prefix;
        const QPointF at(2, 2);
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, target->mapToGlobal(at),
            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &doubleClick);
        EXPECT_EQ(calls,
            QStringList({ QStringLiteral("DisableOther"), cell.dateText(), cell.listText(),
                QStringLiteral("EnableOther") }))
            << prefix;
    }
}

TEST_F(CalendarWindow, TodaysListOnlyWhenSomethingIsDueAndNeverInThePerpetualCalendar)
{
    const auto birthdays = openJune(false);
    birthdays->lblGLDay_DblClick(5); // 2 June 2006: no festival, no birthday
    birthdays->lblGLDay_DblClick(0); // before the first
    birthdays->lblToday_DblClick(); // nothing due today
    const auto perpetual = openJune(true);
    perpetual->lblGLDay_DblClick(June10Cell);
    notifyText = QStringLiteral("张三今天生日");
    perpetual->lblToday_DblClick();
    EXPECT_EQ(calls, QStringList());
    birthdays->lblToday_DblClick();
    EXPECT_EQ(calls,
        QStringList({ QStringLiteral("DisableOther"), birthdays->todayText(),
            QStringLiteral("EnableOther") }));
}

TEST_F(CalendarWindow, HoverShowsTheCutNoticeWithPlainLineBreaks)
{
    const auto window = openJune(false);
    window->lblGLDay_MouseMove(June10Cell);
    const QString notice = window->noticeShown();
    EXPECT_EQ(notice,
        cutNoticeLines(window->cell(June10Cell).noticeText())
            .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    window->lblGLDay_MouseMove(0);
    EXPECT_EQ(window->noticeShown(), notice) << "an empty cell changes nothing";
}

TEST_F(CalendarWindow, ActivationStopsTheMusicAndSetsTheTodayTip)
{
    notifyText = QStringLiteral("张三今天生日");
    const auto window = openJune(false);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activate);
    EXPECT_EQ(calls, QStringList { QStringLiteral("stopMusic") });
    EXPECT_EQ(window->findChild<QLabel *>(QStringLiteral("lblToday"))->toolTip(), notifyText);
}

TEST_F(CalendarWindow, TheYearBoxGoesThroughTheBrowseRules)
{
    const auto window = openJune(true);
    auto *years = window->findChild<QComboBox *>(QStringLiteral("cboYear"));
    window->FillMonthGrid(1950, 1);
    years->setCurrentIndex(0);
    Q_EMIT years->activated(0);
    EXPECT_EQ(window->shownYear() * 100 + window->shownMonth(), 190103) << "January 1901";
}

TEST_F(CalendarWindow, SetupClosesAndShowsTheMainWindow)
{
    QPointer<frmWNL> window = new frmWNL(*this, false);
    window->show();
    window->cmdSetup_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(calls.last(), QStringLiteral("showMainWindow"));
}

TEST_F(CalendarWindow, EscapeClosesIt)
{
    QPointer<frmWNL> window = new frmWNL(*this, true);
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->findChild<QComboBox *>(QStringLiteral("cboYear")), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

} // namespace
} // namespace natalis::calendar_ui
