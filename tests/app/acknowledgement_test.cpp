#include "desktop/acknowledgement.h"
#include "session/appcontext.h"
#include "platform/clock.h"
#include "app/frmget.h"
#include "desktop/frmnotify.h"
#include "desktop/musicplayer.h"
#include "desktop/traylayer.h"
#include "store/remindermemory.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

using namespace natalis::app;

namespace {

// The rule alone: P the program shows the window, A it is activated, D deactivated, I the user
// types or clicks into it. The expected text has "+" where the event acknowledges.
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

// A player that cannot play anything, as on a machine without the file.
class SilentPlayer : public MusicPlayer
{
public:
    int plays = 0;
    void play(const QString &file) override
    {
        ++plays;
        if (unplayable)
            unplayable(file);
    }
    void stop(const QString &) override { }
};

class DesktopReminder : public testing::Test
{
protected:
    DesktopReminder()
    {
        auto &s = context.Settings;
        s.intQipao = 1;
        s.intQpInit = 1;
        s.intFudong = 1;
        s.intFdInit = 1;
        s.intMusic = 1;
        s.intMcInit = 1;
        s.strMcFile = QStringLiteral("/nowhere/happy.wav");
        for (quint8 *flag : { &s.intDw, &s.intZq, &s.intCy, &s.intJs, &s.intMq, &s.intFq, &s.intFl,
                 &s.intEt, &s.intQx, &s.intQr, &s.intSd })
            *flag = 0;
        context.Birthdays = { natalis::test::gregorianBirthday(
            QStringLiteral("张三"), QStringLiteral("公历1980年 05月03日"), 7) };
        context.HasBirthdays = true;
    }

    frmGet &open(bool tray)
    {
        auto player = std::make_unique<SilentPlayer>();
        music = player.get();
        window = std::make_unique<frmGet>(context, messages, clock, std::move(player));
        window->tray().availabilityProbe = [this] { return trayThere; };
        trayThere = tray;
        window->load();
        return *window;
    }

    static void press(QWidget *widget)
    {
        const QPointF at(3, 3);
        QMouseEvent down(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &down);
        QMouseEvent up(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &up);
    }

    static void activate(QWidget *widget, bool active)
    {
        QEvent change(QEvent::ActivationChange);
        if (active)
            QApplication::setActiveWindow(widget);
        else
            QApplication::setActiveWindow(nullptr);
        QApplication::sendEvent(widget, &change);
    }

    AppContext context;
    natalis::test::RecordingMessageSink messages;
    FixedClock clock { QDateTime(QDate(2025, 5, 1), QTime(8, 0)) };
    std::unique_ptr<frmGet> window;
    SilentPlayer *music = nullptr;
    bool trayThere = true;
};

TEST_F(DesktopReminder, WindowShownByTheProgramKeepsTheReminderUntilTheUserClicksIntoIt)
{
    open(false);
    ASSERT_TRUE(window->loop().MusicPlaying());
    window->showByProgram();
    activate(window.get(), true);
    EXPECT_TRUE(window->loop().MusicPlaying()) << "the window manager's activation is no act";
    EXPECT_TRUE(window->floatingWindow()->isVisible());
    press(window->listView(0)->viewport());
    EXPECT_FALSE(window->loop().MusicPlaying());
    EXPECT_FALSE(window->floatingWindow()->isVisible());
    EXPECT_FALSE(window->loop().isBlinking());
}

TEST_F(DesktopReminder, UserActivatingTheWindowAcknowledges)
{
    open(true);
    window->show();
    activate(window.get(), true);
    EXPECT_FALSE(window->loop().MusicPlaying());
}

TEST_F(DesktopReminder, ClickOnTheFloatingWindowAcknowledges)
{
    open(true);
    ASSERT_TRUE(window->floatingWindow()->isVisible());
    press(window->floatingWindow());
    EXPECT_FALSE(window->loop().MusicPlaying());
    EXPECT_FALSE(window->floatingWindow()->isVisible());
}

TEST_F(DesktopReminder, ClickOnTheTrayIconOrItsBalloonAcknowledges)
{
    open(true);
    Q_EMIT window->tray().userActed();
    EXPECT_FALSE(window->loop().MusicPlaying());
    EXPECT_FALSE(window->loop().isBlinking());
}

TEST_F(DesktopReminder, UnplayableMusicSaysSoInPanelOne)
{
    open(true);
    EXPECT_EQ(music->plays, 1);
    EXPECT_EQ(window->statusText(1), QStringLiteral("音乐文件无法播放:/nowhere/happy.wav"));
}

TEST_F(DesktopReminder, WithoutATrayClosingMinimisesAndTheCalendarBringsTheWindowBack)
{
    open(false);
    window->showByProgram();
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    window->findChild<QPushButton *>(QStringLiteral("cmdExit"))->click();
    EXPECT_TRUE(window->isVisible());

    window->openCalendar(false);
    EXPECT_FALSE(window->isVisible());
    ASSERT_TRUE(window->calendarWindow());
    window->calendarWindow()->cmdExit_Click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->isVisible()) << "關閉 of the calendar leads back";
}

TEST_F(DesktopReminder, WithATrayClosingHidesAndTheCalendarLeavesItHidden)
{
    open(true);
    window->show();
    window->close();
    EXPECT_TRUE(window->isHidden());
    window->openCalendar(false);
    window->calendarWindow()->cmdExit_Click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->isHidden());
}

TEST_F(DesktopReminder, TrayThatGoesAwayBringsTheHiddenWindowBackMinimised)
{
    open(true);
    EXPECT_TRUE(window->isHidden());
    trayThere = false;
    window->tray().watchTick();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_FALSE(window->statusText(4).isEmpty());
    trayThere = true;
    window->tray().watchTick();
    EXPECT_TRUE(window->statusText(4).isEmpty());
}

TEST_F(DesktopReminder, FiredDaysAndTheRunDayAreStoredInTheDatabase)
{
    natalis::test::TempDatabase files;
    context.DbConnection = files.create();
    context.Settings.intMcInit = 0;
    context.Settings.intMcTime = 1;
    context.Settings.strMcTime = QStringLiteral("8:00");
    open(true);
    EXPECT_EQ(music->plays, 1) << "8:00 has come: the timed music plays at once";
    using namespace natalis::store;
    EXPECT_EQ(ReadReminderDate(*context.DbConnection, LastRunKey), QDate(2025, 5, 1));
    EXPECT_EQ(ReadReminderDate(*context.DbConnection, MusicFiredKey), QDate(2025, 5, 1));
    EXPECT_EQ(ReadReminderDate(*context.DbConnection, BalloonFiredKey), QDate());

    // A restart the same day does not play it a second time.
    window.reset();
    open(true);
    window->onTimer1();
    EXPECT_EQ(music->plays, 0);
}

} // namespace
