#include "reminder/reminderloop.h"
#include "reminder/reminderoutputs.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::app;
using natalis::test::gregorianBirthday;

namespace {

// Records what the loop asked for.
class RecordingOutputs : public ReminderOutputs
{
public:
    QString tip;
    QStringList balloons;
    int withdrawn = 0;
    QList<int> pictures;
    bool blinking = false;
    bool floatingVisible = false;
    int floatingShown = 0;
    QString floatingText;
    QStringList played;
    QStringList stopped;
    QStringList activity;

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
};

QDateTime at(int day, int hour, int minute)
{
    return QDateTime(QDate(2025, 5, day), QTime(hour, minute));
}

class ReminderLoopTest : public testing::Test
{
protected:
    ReminderLoopTest()
    {
        settings.intQipao = 1;
        settings.intQpInit = 1;
        settings.intQpTime = 1;
        settings.strQpTime = QStringLiteral("9:00");
        settings.intFudong = 1;
        settings.intFdInit = 0;
        settings.intFdTime = 1;
        settings.strFdTime = QStringLiteral("10:00");
        settings.intMusic = 1;
        settings.intMcInit = 0;
        settings.intMcTime = 1;
        settings.strMcTime = QStringLiteral("11:00");
        settings.strMcFile = QStringLiteral(" /music/happy.mp3 ");
        switchOffFestivals();
        // Due on 4 May 2025 in 3 days.
        birthdays = { gregorianBirthday(
            QStringLiteral("张三"), QStringLiteral("公历1980年 05月04日"), 7) };
    }

    void switchOffFestivals()
    {
        auto &s = settings;
        for (quint8 *flag : { &s.intDw, &s.intZq, &s.intCy, &s.intJs, &s.intMq, &s.intFq, &s.intFl,
                 &s.intEt, &s.intQx, &s.intQr, &s.intSd })
            *flag = 0;
    }

    void nothingDue()
    {
        birthdays.clear();
    }

    natalis::store::SettingsRecord settings;
    QList<natalis::store::BirthdayRecord> birthdays;
    RecordingOutputs outputs;
    ReminderLoop loop { { settings, [this] { return birthdays; } }, outputs };
};

TEST_F(ReminderLoopTest, BalloonOnceOnTheFirstTickOfItsHour)
{
    loop.tick(at(1, 8, 59));
    EXPECT_TRUE(outputs.balloons.isEmpty());
    EXPECT_FALSE(outputs.blinking);
    // The 09:00 tick was lost (the computer slept); 09:01 still reminds.
    loop.tick(at(1, 9, 1));
    ASSERT_EQ(outputs.balloons.size(), 1);
    EXPECT_EQ(outputs.balloons[0], QStringLiteral("张三生日还有3天[朋友,13800000000]"));
    EXPECT_TRUE(outputs.blinking);
    loop.tick(at(1, 9, 2));
    loop.tick(at(1, 9, 59));
    EXPECT_EQ(outputs.balloons.size(), 1) << "never again that day";
    loop.tick(at(2, 9, 30));
    EXPECT_EQ(outputs.balloons.size(), 2) << "again the next day";
}

TEST_F(ReminderLoopTest, NoTimedReminderWhenNothingIsDue)
{
    nothingDue();
    loop.tick(at(1, 9, 0));
    loop.tick(at(1, 10, 0));
    loop.tick(at(1, 11, 0));
    EXPECT_TRUE(outputs.balloons.isEmpty());
    EXPECT_EQ(outputs.floatingShown, 0);
    EXPECT_TRUE(outputs.played.isEmpty());
    EXPECT_EQ(outputs.tip, QStringLiteral("公历2025年05月01日(星期四) 农历2025年(蛇)04月04日 "));
}

TEST_F(ReminderLoopTest, FloatingWindowWaitsWhileAModalDialogIsUp)
{
    bool busy = true;
    loop.modalBusy = [&] { return busy; };
    loop.tick(at(1, 10, 0));
    EXPECT_EQ(outputs.floatingShown, 0);
    busy = false;
    loop.tick(at(1, 10, 1));
    EXPECT_EQ(outputs.floatingShown, 1);
    EXPECT_EQ(outputs.floatingText, QStringLiteral("张三生日还有3天[朋友,13800000000]"));
    outputs.floatingVisible = false; // closed by the user
    loop.tick(at(1, 10, 2));
    EXPECT_EQ(outputs.floatingShown, 1);
}

TEST_F(ReminderLoopTest, FloatingWindowClosesWhenNothingIsDueAnyMore)
{
    loop.tick(at(1, 10, 0));
    ASSERT_TRUE(outputs.floatingVisible);
    nothingDue();
    loop.tick(at(1, 10, 1));
    EXPECT_FALSE(outputs.floatingVisible);
    EXPECT_EQ(outputs.floatingText, QString());
    EXPECT_TRUE(outputs.tip.startsWith(u"公历2025年05月01日")) << outputs.tip.toStdString();
}

TEST_F(ReminderLoopTest, MusicPlaysTheTrimmedFileAndTheAcknowledgementStopsEverything)
{
    loop.tick(at(1, 9, 0));
    loop.tick(at(1, 10, 0));
    loop.tick(at(1, 11, 0));
    EXPECT_EQ(outputs.played, QStringList { QStringLiteral("/music/happy.mp3") });
    EXPECT_TRUE(loop.MusicPlaying());
    ASSERT_TRUE(outputs.blinking);
    ASSERT_TRUE(outputs.floatingVisible);

    loop.acknowledge();
    EXPECT_EQ(outputs.stopped, QStringList { QStringLiteral("/music/happy.mp3") });
    EXPECT_FALSE(loop.MusicPlaying());
    EXPECT_FALSE(outputs.blinking);
    EXPECT_EQ(outputs.pictures.last(), 0);
    EXPECT_FALSE(outputs.floatingVisible);
    loop.acknowledge();
    EXPECT_EQ(outputs.stopped.size(), 1) << "stopping twice sends nothing";
}

TEST_F(ReminderLoopTest, BlinkAlternatesThePictures)
{
    loop.trayTick();
    loop.trayTick();
    loop.trayTick();
    EXPECT_EQ(outputs.pictures, (QList<int> { 1, 0, 1 }));
}

TEST_F(ReminderLoopTest, FourItemsAreCutToThreeAndANote)
{
    for (const char16_t *name : { u"乙", u"丙", u"丁" })
        birthdays.append(
            gregorianBirthday(QString::fromUtf16(name), QStringLiteral("公历1980年 05月04日"), 7));
    loop.tick(at(1, 9, 0));
    const QString item = QStringLiteral("生日还有3天[朋友,13800000000]");
    ASSERT_EQ(outputs.balloons.size(), 1);
    const auto joined = [&](QChar separator) {
        return QStringList { QStringLiteral("张三") + item, QStringLiteral("乙") + item,
            QStringLiteral("丙") + item, QStringLiteral("更多请见生日提醒窗口...") }
            .join(separator);
    };
    EXPECT_EQ(outputs.balloons[0], joined(u'\r'));
    EXPECT_EQ(outputs.tip, joined(u' '));
    EXPECT_EQ(loop.TodayNotifyText().count(u' '), 3);
}

TEST_F(ReminderLoopTest, StartupReminderFollowsTheStartFlags)
{
    loop.startupReminder(at(1, 7, 30));
    EXPECT_EQ(outputs.balloons.size(), 1);
    EXPECT_EQ(outputs.floatingShown, 0) << "floating window not set for start-up";
    EXPECT_TRUE(outputs.played.isEmpty());
    EXPECT_TRUE(outputs.blinking);
    EXPECT_EQ(outputs.tip, QStringLiteral("张三生日还有3天[朋友,13800000000]"));
}

TEST_F(ReminderLoopTest, StartupWithNothingDueShowsTheHeadingOnly)
{
    nothingDue();
    loop.startupReminder(at(1, 7, 30));
    EXPECT_TRUE(outputs.balloons.isEmpty());
    EXPECT_FALSE(outputs.blinking);
    EXPECT_TRUE(outputs.tip.startsWith(u"公历2025年05月01日(星期四)"));
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
    EXPECT_EQ(outputs.activity,
        (QStringList { QStringLiteral(">"), QStringLiteral(">>"), QStringLiteral(">>>"),
            QStringLiteral(">>>>"), QStringLiteral(">>>>>"), QStringLiteral(">>>>>>"),
            QString() }));
    EXPECT_FALSE(loop.SmsActivity);
}

} // namespace

// Restarts and sleeps: what the loop remembers and what it catches up on.

TEST_F(ReminderLoopTest, StartAfterTheHoursFiresEachTimedMethodOnceWithoutRepeatingTheStartOnes)
{
    QList<std::pair<ReminderLoop::Method, QDate>> stored;
    loop.rememberFired = [&](ReminderLoop::Method method, const QDate &day) {
        stored.append({ method, day });
    };
    loop.startupReminder(at(1, 11, 30));
    EXPECT_EQ(outputs.balloons.size(), 1) << "the start-up balloon stands for the 9:00 one";
    EXPECT_EQ(outputs.floatingShown, 1);
    EXPECT_EQ(outputs.played.size(), 1);
    EXPECT_EQ(stored.size(), 3);
    for (const auto &[method, day] : stored)
        EXPECT_EQ(day, QDate(2025, 5, 1));
    loop.tick(at(1, 11, 31));
    loop.tick(at(1, 17, 0));
    EXPECT_EQ(outputs.balloons.size(), 1);
    EXPECT_EQ(outputs.floatingShown, 1);
    EXPECT_EQ(outputs.played.size(), 1);
}

TEST_F(ReminderLoopTest, RestartWithinTheHourDoesNotFireAgain)
{
    settings.intQpInit = 0;
    const QDate today(2025, 5, 1);
    loop.restore({ today, today, today }, today);
    loop.startupReminder(at(1, 11, 20));
    loop.tick(at(1, 11, 21));
    EXPECT_TRUE(outputs.balloons.isEmpty());
    EXPECT_EQ(outputs.floatingShown, 0);
    EXPECT_TRUE(outputs.played.isEmpty());
    loop.tick(at(2, 9, 0));
    EXPECT_EQ(outputs.balloons.size(), 1) << "the next day as usual";
}

TEST_F(ReminderLoopTest, WakingAfterTheHourFiresOnceOnTheWallClock)
{
    loop.startupReminder(at(1, 7, 0));
    const int startBalloons = outputs.balloons.size();
    // Asleep from 8:00 to 13:07: the first tick after waking reads the clock.
    loop.tick(at(1, 8, 0));
    loop.tick(at(1, 13, 7));
    EXPECT_EQ(outputs.balloons.size(), startBalloons + 1);
    EXPECT_EQ(outputs.floatingShown, 1);
    EXPECT_EQ(outputs.played.size(), 1);
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
    EXPECT_EQ(outputs.balloons.value(0), c.balloon);
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
            QStringLiteral("昨天是张三生日\r5天前是李四生日") },
        MissedStartCase { "ran the day before", QDate(2025, 5, 1), 2,
            QStringLiteral("张三生日还有2天[朋友,13800000000]") },
        MissedStartCase { "new database", QDate(), 5, QString() }),
    natalis::test::BySituation());

namespace {

// 李四's birthday on 29 April passed while the program was not running (last run 27 April).
class MissedStaysTest : public ReminderLoopTest
{
protected:
    MissedStaysTest()
    {
        nothingDue();
        birthdays = { gregorianBirthday(
            QStringLiteral("李四"), QStringLiteral("公历1990年 04月29日"), 3) };
        loop.rememberRun = [this](const QDate &day) { runs.append(day); };
        loop.restore({}, QDate(2025, 4, 27));
    }

    bool tipTellsMissed() const { return outputs.tip.contains(u"2天前是李四生日"); }

    QList<QDate> runs;
};

TEST_F(MissedStaysTest, ShownAtStartStaysUntilAcknowledged)
{
    settings.intFdInit = 1;
    loop.startupReminder(at(1, 7, 0));
    EXPECT_EQ(runs, QList<QDate> { QDate(2025, 5, 1) }) << "recorded once shown";
    loop.tick(at(1, 7, 1));
    loop.tick(at(1, 7, 2));
    EXPECT_TRUE(outputs.floatingVisible) << "the first tick closed the floating window";
    EXPECT_TRUE(outputs.floatingText.contains(u"2天前是李四生日"));
    EXPECT_TRUE(tipTellsMissed());
    loop.acknowledge();
    EXPECT_FALSE(tipTellsMissed());
    EXPECT_EQ(outputs.withdrawn, 1);
    loop.tick(at(1, 7, 3));
    EXPECT_FALSE(tipTellsMissed());
}

TEST_F(MissedStaysTest, TimedOnlyShowsThemAtTheHourAndRecordsTheRunThen)
{
    settings.intQpInit = 0;
    loop.startupReminder(at(1, 7, 0));
    EXPECT_TRUE(outputs.balloons.isEmpty());
    EXPECT_TRUE(runs.isEmpty()) << "not yet shown: a quit before 9:00 must find them again";
    loop.tick(at(1, 8, 59));
    EXPECT_TRUE(tipTellsMissed());
    loop.tick(at(1, 9, 0));
    ASSERT_EQ(outputs.balloons.size(), 1);
    EXPECT_EQ(outputs.balloons[0], QStringLiteral("2天前是李四生日"));
    EXPECT_EQ(runs, QList<QDate> { QDate(2025, 5, 1) });
}

TEST_F(MissedStaysTest, GoneWhenTheDayIsOver)
{
    loop.startupReminder(at(1, 23, 58));
    loop.tick(at(1, 23, 59));
    EXPECT_TRUE(tipTellsMissed());
    loop.tick(at(2, 0, 0));
    EXPECT_FALSE(tipTellsMissed());
    EXPECT_EQ(runs.last(), QDate(2025, 5, 2));
}

} // namespace
