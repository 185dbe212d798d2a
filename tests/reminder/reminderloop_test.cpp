#include "reminder/reminderloop.h"
#include "reminder/reminderoutputs.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QMap>
#include <gtest/gtest.h>
#include <memory>

using namespace natalis;
using natalis::test::gregorianBirthday;

namespace {

QDateTime at(int day, int hour, int minute)
{
    return QDateTime(QDate(2025, 5, day), QTime(hour, minute));
}

// The test is the loop's outputs: it records what the loop asked for. Balloon at 9:00 and at
// start, floating window at 10:00, music at 11:00; 张三 is due on 4 May in 3 days.
class ReminderLoopTest : public testing::Test, public reminder::ReminderOutputs
{
protected:
    ReminderLoopTest()
    {
        settings.intQipao = settings.intQpInit = settings.intQpTime = 1;
        settings.intFudong = settings.intFdTime = settings.intMusic = settings.intMcTime = 1;
        settings.intFdInit = settings.intMcInit = 0;
        settings.strQpTime = QStringLiteral("9:00");
        settings.strFdTime = QStringLiteral("10:00");
        settings.strMcTime = QStringLiteral("11:00");
        settings.strMcFile = QStringLiteral(" /music/happy.mp3 ");
        for (quint8 *flag : { &settings.intDw, &settings.intZq, &settings.intCy, &settings.intJs,
                 &settings.intMq, &settings.intFq, &settings.intFl, &settings.intEt,
                 &settings.intQx, &settings.intQr, &settings.intSd })
            *flag = 0;
        birthdays = { gregorianBirthday(
            QStringLiteral("张三"), QStringLiteral("公历1980年 05月04日"), 7) };
    }

    void TrayIconSetTip(const QString &text) override { tip = text; }
    void TrayIconBalloon(const QString &text) override { balloons.append(text); }
    void withdrawBalloon() override { ++withdrawn; }
    void MyTrayIcon(int picture) override { pictures.append(picture); }
    void setTrayBlinking(bool on) override { blinking = on; }
    bool isFloatingWindowVisible() const override { return floatingVisible; }
    void showFloatingWindow(const QString &text) override
    {
        floatingVisible = true;
        ++floatingShown;
        floatingText = text;
    }
    void closeFloatingWindow() override { floatingVisible = false; }
    void setFloatingText(const QString &text) override { floatingText = text; }
    void playMusic(const QString &file) override { played.append(file); }
    void stopMusic(const QString &file) override { stopped.append(file); }
    void setActivityText(const QString &text) override { activity.append(text); }

    // Balloons, floating windows and music shown so far.
    QList<qsizetype> shown() const { return { balloons.size(), floatingShown, played.size() }; }

    natalis::store::SettingsRecord settings;
    QList<natalis::store::BirthdayRecord> birthdays;
    QString tip, floatingText;
    QStringList balloons, played, stopped, activity;
    QList<int> pictures;
    int withdrawn = 0, floatingShown = 0;
    bool blinking = false, floatingVisible = false;
    reminder::ReminderLoop loop { { settings, [this] { return birthdays; } }, *this };
};

const QString DueText = QStringLiteral("张三生日还有3天[朋友,13800000000]");

TEST_F(ReminderLoopTest, BalloonOnceOnTheFirstTickOfItsHour)
{
    loop.tick(at(1, 8, 59));
    EXPECT_TRUE(balloons.isEmpty());
    EXPECT_FALSE(blinking);
    // The 09:00 tick was lost (the computer slept); 09:01 still reminds.
    loop.tick(at(1, 9, 1));
    EXPECT_EQ(balloons, QStringList { DueText });
    EXPECT_TRUE(blinking);
    loop.tick(at(1, 9, 2));
    loop.tick(at(1, 9, 59));
    EXPECT_EQ(balloons.size(), 1) << "never again that day";
    loop.tick(at(2, 9, 30));
    EXPECT_EQ(balloons.size(), 2) << "again the next day";
}

TEST_F(ReminderLoopTest, NothingDueShowsTheDaysHeadingOnly)
{
    birthdays.clear();
    loop.startupReminder(at(1, 7, 30));
    loop.tick(at(1, 9, 0));
    loop.tick(at(1, 10, 0));
    loop.tick(at(1, 11, 0));
    EXPECT_EQ(shown(), (QList<qsizetype> { 0, 0, 0 }));
    EXPECT_FALSE(blinking);
    EXPECT_EQ(tip, QStringLiteral("公历2025年05月01日(星期四) 农历2025年(蛇)04月04日 "));
}

TEST_F(ReminderLoopTest, FloatingWindowWaitsWhileAModalDialogIsUp)
{
    bool busy = true;
    loop.modalBusy = [&] { return busy; };
    loop.tick(at(1, 10, 0));
    EXPECT_EQ(floatingShown, 0);
    busy = false;
    loop.tick(at(1, 10, 1));
    EXPECT_EQ(floatingShown, 1);
    EXPECT_EQ(floatingText, DueText);
    floatingVisible = false; // closed by the user
    loop.tick(at(1, 10, 2));
    EXPECT_EQ(floatingShown, 1);
}

TEST_F(ReminderLoopTest, FloatingWindowClosesWhenNothingIsDueAnyMore)
{
    loop.tick(at(1, 10, 0));
    ASSERT_TRUE(floatingVisible);
    birthdays.clear();
    loop.tick(at(1, 10, 1));
    EXPECT_FALSE(floatingVisible);
    EXPECT_EQ(floatingText, QString());
    EXPECT_TRUE(tip.startsWith(u"公历2025年05月01日")) << tip.toStdString();
}

TEST_F(ReminderLoopTest, MusicPlaysTheTrimmedFileAndTheAcknowledgementStopsEverything)
{
    loop.tick(at(1, 9, 0));
    loop.tick(at(1, 10, 0));
    loop.tick(at(1, 11, 0));
    EXPECT_EQ(played, QStringList { QStringLiteral("/music/happy.mp3") });
    EXPECT_TRUE(loop.MusicPlaying());
    ASSERT_TRUE(blinking);
    ASSERT_TRUE(floatingVisible);
    loop.trayTick();
    loop.trayTick();
    loop.trayTick();
    EXPECT_EQ(pictures, (QList<int> { 1, 0, 1 })) << "blinking alternates the pictures";

    loop.acknowledge();
    EXPECT_EQ(stopped, QStringList { QStringLiteral("/music/happy.mp3") });
    EXPECT_FALSE(loop.MusicPlaying());
    EXPECT_FALSE(blinking);
    EXPECT_EQ(pictures.last(), 0);
    EXPECT_FALSE(floatingVisible);
    loop.acknowledge();
    EXPECT_EQ(stopped.size(), 1) << "stopping twice sends nothing";
}

TEST_F(ReminderLoopTest, StartupReminderFollowsTheStartFlags)
{
    loop.startupReminder(at(1, 7, 30));
    EXPECT_EQ(shown(), (QList<qsizetype> { 1, 0, 0 })) << "floating window not set for start-up";
    EXPECT_TRUE(blinking);
    EXPECT_EQ(tip, DueText);
}

TEST_F(ReminderLoopTest, SmsJobsOnTheFirstTickAndThenEveryTenthAndFifteenHundredth)
{
    QList<int> smsTicks, resetTicks;
    int tickNumber = 0;
    loop.autoBirthdaySms = [&](const QDateTime &) { smsTicks.append(tickNumber); };
    loop.resetSmsSentFlags = [&](const QDateTime &) { resetTicks.append(tickNumber); };
    for (tickNumber = 1; tickNumber <= 1501; ++tickNumber)
        loop.tick(at(1, 3, 0));
    EXPECT_EQ(smsTicks.mid(0, 3), (QList<int> { 1, 11, 21 }));
    EXPECT_EQ(smsTicks.size(), 151);
    EXPECT_EQ(resetTicks, (QList<int> { 1, 1501 }));
}

TEST_F(ReminderLoopTest, ActivityIndicatorGrowsAndClears)
{
    loop.SmsActivity = true;
    for (int i = 0; i < 8; ++i)
        loop.activityTick();
    EXPECT_EQ(activity.join(u'|'), QStringLiteral(">|>>|>>>|>>>>|>>>>>|>>>>>>|"));
    EXPECT_FALSE(loop.SmsActivity);
}

// Restarts and sleeps: what the loop remembers and what it catches up on.

TEST_F(ReminderLoopTest, StartAfterTheHoursFiresEachTimedMethodOnceWithoutRepeatingTheStartOnes)
{
    QList<std::pair<reminder::ReminderLoop::Method, QDate>> stored;
    loop.rememberFired = [&](reminder::ReminderLoop::Method method, const QDate &day) {
        stored.append({ method, day });
    };
    loop.startupReminder(at(1, 11, 30));
    EXPECT_EQ(shown(), (QList<qsizetype> { 1, 1, 1 })) << "the start-up balloon stands for 9:00";
    loop.tick(at(1, 11, 31));
    loop.tick(at(1, 17, 0));
    EXPECT_EQ(shown(), (QList<qsizetype> { 1, 1, 1 }));
    EXPECT_EQ(stored.size(), 3);
    for (const auto &[method, day] : stored)
        EXPECT_EQ(day, QDate(2025, 5, 1));
}

TEST_F(ReminderLoopTest, RestartWithinTheHourDoesNotFireAgain)
{
    settings.intQpInit = 0;
    const QDate today(2025, 5, 1);
    loop.restore({ today, today, today }, today);
    loop.startupReminder(at(1, 11, 20));
    loop.tick(at(1, 11, 21));
    EXPECT_EQ(shown(), (QList<qsizetype> { 0, 0, 0 }));
    loop.tick(at(2, 9, 0));
    EXPECT_EQ(balloons.size(), 1) << "the next day as usual";
}

TEST_F(ReminderLoopTest, WakingAfterTheHourFiresOnceOnTheWallClock)
{
    loop.startupReminder(at(1, 7, 0));
    // Asleep from 8:00 to 13:07: the first tick after waking reads the clock.
    loop.tick(at(1, 8, 0));
    loop.tick(at(1, 13, 7));
    EXPECT_EQ(shown(), (QList<qsizetype> { 2, 1, 1 })) << "a balloon at start-up and one for 9:00";
}

struct MissedStartCase
{
    const char *situation;
    QDate lastRun;
    int today; // day of May 2025
    QString balloon; // empty: no balloon
};

class MissedAtStartTest : public ReminderLoopTest,
                          public testing::WithParamInterface<MissedStartCase>
{
};

TEST_P(MissedAtStartTest, ListedOnceAfterTheDueTexts)
{
    const MissedStartCase &c = GetParam();
    // 李四 on 30 April; 张三 on 4 May, 7 days ahead.
    birthdays.append(
        gregorianBirthday(QStringLiteral("李四"), QStringLiteral("公历1990年 04月30日"), 3));
    QList<QDate> runs;
    loop.rememberRun = [&](const QDate &day) { runs.append(day); };
    loop.restore({}, c.lastRun);
    loop.startupReminder(at(c.today, 7, 0));
    EXPECT_EQ(balloons.value(0), c.balloon);
    EXPECT_EQ(runs, QList<QDate> { QDate(2025, 5, c.today) });
    loop.tick(at(c.today, 7, 1));
    loop.tick(at(c.today, 7, 2));
    EXPECT_EQ(runs.size(), 1) << "stored once a day";
    EXPECT_FALSE(loop.TodayNotifyText().contains(u"天前是")) << "not part of the day's list";
}

INSTANTIATE_TEST_SUITE_P(Cases, MissedAtStartTest,
    testing::Values(MissedStartCase { "due and missed", QDate(2025, 4, 25), 2,
                        QStringLiteral("张三生日还有2天[朋友,13800000000]\r2天前是李四生日") },
        MissedStartCase { "only missed", QDate(2025, 4, 28), 5,
            QStringLiteral("昨天是张三生日\r5天前是李四生日") }),
    natalis::test::BySituation());

// The life of the day's items across restarts: each row is a sequence of steps on one database
// (the marks and the days survive in `stored`), started at 7:00 on 1 May with the balloon and the
// strip at start; 李四's birthday on 29 April passed while the program was not running.
enum class Step { Start, Acknowledge, Snooze10, SnoozeTomorrow, Tick };

struct LifeCase
{
    const char *situation;
    QList<std::pair<Step, QDateTime>> steps;
    bool stripAtEnd; // the strip is on show after the last step
    const char *missedAtEnd; // how the strip names the missed birthday; null: it does not
    bool musicStopped; // music was stopped at some step
};

class ItemLifeTest : public ReminderLoopTest, public testing::WithParamInterface<LifeCase>
{
protected:
    void connect(reminder::ReminderLoop &target)
    {
        target.restore(fired, lastRun);
        target.rememberFired = [this](reminder::ReminderLoop::Method method, const QDate &day) {
            fired[method] = day;
        };
        target.rememberRun = [this](const QDate &day) { lastRun = day; };
        target.recallItems = [this](const QDate &day) { return stored.value(day); };
        target.rememberItem = [this](const QDate &day, const natalis::store::ReminderItemMark &m) {
            auto &marks = stored[day];
            const auto same = std::find_if(marks.begin(), marks.end(),
                [&](const natalis::store::ReminderItemMark &kept) { return kept.item == m.item; });
            if (same != marks.end())
                *same = m;
            else
                marks.append(m);
        };
    }

    std::array<QDate, reminder::ReminderLoop::MethodCount> fired;
    QDate lastRun { 2025, 4, 27 };
    QMap<QDate, QList<natalis::store::ReminderItemMark>> stored;
};

TEST_P(ItemLifeTest, EndsOnlyWhenAcknowledgedOrItsDayIsOver)
{
    settings.intFdInit = 1;
    birthdays.append(
        gregorianBirthday(QStringLiteral("李四"), QStringLiteral("公历1990年 04月29日"), 3));
    std::unique_ptr<reminder::ReminderLoop> run;
    for (const auto &[step, now] : GetParam().steps) {
        switch (step) {
        case Step::Start: // the program ended (a logout) and starts again
            floatingVisible = false;
            run = std::make_unique<reminder::ReminderLoop>(
                reminder::ReminderInputs { settings, [this] { return birthdays; } }, *this);
            connect(*run);
            run->startupReminder(now);
            break;
        case Step::Acknowledge:
            run->acknowledge();
            break;
        case Step::Snooze10:
            run->snooze(natalis::reminder::Snooze::TenMinutes, now);
            break;
        case Step::SnoozeTomorrow:
            run->snooze(natalis::reminder::Snooze::TomorrowMorning, now);
            break;
        case Step::Tick:
            run->tick(now);
            break;
        }
    }
    const LifeCase &c = GetParam();
    EXPECT_EQ(floatingVisible, c.stripAtEnd);
    EXPECT_EQ(floatingVisible && floatingText.contains(u"天前是李四生日"), c.missedAtEnd != nullptr)
        << floatingText.toStdString();
    if (c.missedAtEnd) {
        EXPECT_TRUE(floatingText.contains(QString::fromUtf8(c.missedAtEnd)))
            << floatingText.toStdString();
    }
    EXPECT_EQ(!stopped.isEmpty(), c.musicStopped);
}

INSTANTIATE_TEST_SUITE_P(Cases, ItemLifeTest,
    testing::Values(LifeCase { "restarted unacknowledged the same day: shown again",
                        { { Step::Start, at(1, 7, 0) }, { Step::Start, at(1, 7, 5) } }, true,
                        "2天前是李四生日", false },
        LifeCase { "acknowledged, then restarted: nothing",
            { { Step::Start, at(1, 7, 0) }, { Step::Acknowledge, {} },
                { Step::Start, at(1, 8, 0) } },
            false, nullptr, false },
        LifeCase { "restarted before any showing: the missed birthday still waits",
            { { Step::Start, at(1, 7, 0) }, { Step::Tick, at(1, 7, 1) },
                { Step::Start, at(1, 7, 2) }, { Step::Tick, at(1, 7, 3) } },
            true, "2天前是李四生日", false },
        LifeCase { "snoozed ten minutes: still gone nine minutes later",
            { { Step::Start, at(1, 7, 0) }, { Step::Snooze10, at(1, 7, 0) },
                { Step::Tick, at(1, 7, 9) } },
            false, nullptr, false },
        LifeCase { "snooze over across a restart",
            { { Step::Start, at(1, 7, 0) }, { Step::Snooze10, at(1, 7, 0) },
                { Step::Start, at(1, 7, 5) }, { Step::Tick, at(1, 7, 10) } },
            true, "2天前是李四生日", false },
        LifeCase { "missed birthday gone the next day",
            { { Step::Start, at(1, 7, 0) }, { Step::Start, at(2, 7, 0) } }, true, nullptr, false },
        LifeCase { "snoozed until tomorrow 9:00: back then, after a restart",
            { { Step::Start, at(1, 7, 0) }, { Step::SnoozeTomorrow, at(1, 7, 0) },
                { Step::Start, at(2, 8, 0) }, { Step::Tick, at(2, 8, 30) },
                { Step::Acknowledge, {} }, { Step::Tick, at(2, 9, 0) } },
            true, "3天前是李四生日", false }),
    natalis::test::BySituation());

TEST_F(ReminderLoopTest, MidnightStopsTheOldDaysMusicBlinkingAndStrip)
{
    settings.intFdInit = settings.intMcInit = 1;
    loop.startupReminder(at(1, 23, 50));
    ASSERT_TRUE(floatingVisible && blinking);
    birthdays.clear();
    loop.tick(at(2, 0, 0));
    EXPECT_FALSE(floatingVisible);
    EXPECT_FALSE(blinking);
    EXPECT_EQ(stopped.size(), 1);
    EXPECT_GE(withdrawn, 1);
}

} // namespace
