// The program as main puts it together: each hook Application sets acts, what it set on parts
// that outlive it goes with it, and the main window, the tray and the calendar hand the user
// back and forth. When an act counts as the user's is the rule of tests/desktop, what it stops is
// the reminder loop's, and the desktop scenarios show both on a real desktop.

#include "app/application.h"
#include "app/frmget.h"
#include "app/smspanel.h"
#include "birthdays/birthdayservice.h"
#include "calendar_ui/frmwnl.h"
#include "desktop/frmnotify.h"
#include "desktop/musicplayer.h"
#include "desktop/traylayer.h"
#include "dialogs/birthdaylistmodel.h"
#include "session/singleinstance.h"
#include "store/cardsync.h"
#include "store/categories.h"
#include "store/compaction.h"
#include "store/remindermemory.h"
#include "store/settings.h"
#include "store/statement.h"
#include "store/syncstate.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/programfixture.h"
#include "sync/syncservice.h"
#include "widgets/pictures.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QThread>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;
using namespace Qt::StringLiterals;

namespace {

// A player that can play nothing, as on a machine without the file.
class SilentPlayer : public desktop::MusicPlayer
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

// Due in two days on the tests' 1 May 2025.
store::BirthdayRecord dueFriend()
{
    return test::gregorianBirthday(u"张三"_s, u"公历1980年 05月03日"_s, 7);
}

void remindEveryWayAtStart(store::SettingsRecord &s)
{
    s.intFudong = s.intFdInit = 1;
    s.intMusic = s.intMcInit = 1;
    s.strMcFile = u"/nowhere/happy.wav"_s;
}

TEST(Application, LaunchedOnADatabaseFileEveryHookActs)
{
    test::TempDatabase files;
    ASSERT_TRUE(QDir(files.folder()).mkpath(u"lock"_s));
    {
        store::Connection db = files.create();
        auto settings = std::get<store::SettingsRecord>(store::ReadSettings(db));
        remindEveryWayAtStart(settings);
        ASSERT_TRUE(store::WriteSettings(db, settings));
        store::AddBirthToMdb(db, dueFriend(), test::EnteredAt);
        // Greeted for 1 January: long past, its sent mark goes at start.
        store::BirthdayRecord greeted =
            test::gregorianBirthday(u"李四"_s, u"公历1980年 01月01日"_s);
        greeted.Duanxin = u"是"_s;
        greeted.DxSend = u"1"_s;
        store::AddBirthToMdb(db, greeted, test::EnteredAt);
    }
    session::AppContext context;
    test::RecordingMessageSink messages;
    const platform::FixedClock clock { QDateTime(QDate(2025, 5, 1), QTime(8, 0)) };
    auto player = std::make_unique<SilentPlayer>();
    SilentPlayer *music = player.get();
    auto [started, program] = Application::launch(
        { files.path(), { files.folder(), true, files.folder(), files.path(u"lock"_s) } }, context,
        messages, clock, std::move(player));
    ASSERT_EQ(started, session::StartupResult::Ready);
    frmGet &window = program->window();

    // The loop's reminder reaches the tray, the floating window and the player; the player's
    // refusal reaches the status bar.
    EXPECT_EQ(program->tray().tip(), u"张三生日还有2天[朋友,13800000000]"_s);
    ASSERT_NE(program->floatingWindow(), nullptr);
    EXPECT_TRUE(program->floatingWindow()->isVisible());
    EXPECT_EQ(music->plays, 1);
    EXPECT_EQ(window.statusText(1), u"音乐文件无法播放:/nowhere/happy.wav"_s);
    EXPECT_TRUE(window.isVisible()) << "no tray here: the window is the way in";
    // The day of the run is remembered, and the stale sent mark is gone from the file.
    EXPECT_EQ(store::readReminderDate(*context.DbConnection, store::LastRunKey), QDate(2025, 5, 1));
    {
        store::Statement mark =
            context.DbConnection->prepare("select DxSend from birthday where About='李四'");
        ASSERT_TRUE(mark.step());
        EXPECT_EQ(mark.text(0).trimmed(), u"0"_s);
    }
    // The day's copy of the file is taken and read back on a worker and kept as today's backup.
    const QString daily = files.path(u"backup/natalis-2025-05-01.mdb"_s);
    for (int waited = 0; !QFile::exists(daily) && waited < 10'000; waited += 10)
        QThread::msleep(10);
    EXPECT_TRUE(QFile::exists(daily));
    EXPECT_EQ(QDir(files.folder()).entryList({ u"natalis_*"_s }, QDir::Files), QStringList());

    // The loop asks the window whether a modal dialog is up.
    window.ModalBusy = 1;
    EXPECT_TRUE(program->loop().modalBusy());
    window.ModalBusy = 0;

    // A later start naming another file: the hidden window shows, unacknowledged, and says
    // which file this program keeps.
    ASSERT_TRUE(context.instance && context.instance->showRequested);
    window.hide();
    context.instance->showRequested(u"/elsewhere/other.mdb"_s);
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(program->floatingWindow()->isVisible()) << "showing is no acknowledgement";
    EXPECT_TRUE(window.statusText(1).contains(u"/elsewhere/other.mdb"_s));
    ASSERT_FALSE(messages.shown.isEmpty());
    EXPECT_TRUE(messages.texts().last().contains(u"已经处于运行状态"_s));
    EXPECT_TRUE(messages.texts().last().contains(files.path()));

    // While the gateway works, the SMS panel's buttons wait.
    context.SmsAccounts[0] = { u"shop"_s, u"1"_s };
    window.smsPanel().AlterGetCboUser();
    auto *balance = window.findChild<QPushButton *>(u"cmdBalance"_s);
    ASSERT_TRUE(balance->isEnabled());
    std::atomic<bool> release = false;
    context.SmsGateway->run(
        program.get(),
        [&release](sms::HttpSmsGateway &) {
            while (!release)
                QThread::msleep(1);
        },
        [] {});
    EXPECT_FALSE(balance->isEnabled());
    release = true;
    while (context.SmsGateway->isBusy())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(balance->isEnabled());

    // The syncs' texts reach the status bar. The window works through the program's birthday
    // service, which hears a run's end: what the address book brought in reaches the lists as
    // the sync's.
    program->syncService().showStatus(u"通讯录同步完成: 上传0, 下载1"_s);
    EXPECT_EQ(window.statusText(1), u"通讯录同步完成: 上传0, 下载1"_s);
    QSignalSpy changes(&program->birthdayService(), &birthdays::BirthdayService::changed);
    program->syncService().starting();
    auto other = store::Connection::open(files.path(), store::Connection::OpenMode::ExistingOnly);
    store::AddBirthToMdb(
        *other, test::gregorianBirthday(u"王五"_s, u"公历1990年 09月09日"_s), test::EnteredAt);
    const int friends = store::categoryIndex(u"朋友");
    const int shown = window.listModel(friends)->rowCount();
    Q_EMIT program->syncService().databaseWritten(true);
    EXPECT_EQ(window.listModel(friends)->rowCount(), shown + 1);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(
        changes[0][0].value<birthdays::BirthdayChanges>().origin, birthdays::ChangeOrigin::Sync);

    // What it set on the parts that outlive it goes with it.
    program.reset();
    EXPECT_FALSE(context.SmsGateway->busyChanged);
    EXPECT_FALSE(context.instance->showRequested);
    shutdown(context);
}

using Program = test::ProgramTest;

// Without a tray, closing minimises the window: the desktop scenario shows that on a real desktop.
TEST_F(Program, WithATrayClosingAndTheCalendarHideTheWindow)
{
    Application &app = openProgram();
    app.tray().availabilityProbe = [] { return true; };
    frmGet &window = app.window();
    app.showWindow();
    window.close();
    EXPECT_FALSE(window.isVisible());

    app.openCalendar(false);
    EXPECT_FALSE(window.isVisible());
    ASSERT_TRUE(app.calendarWindow());
    app.calendarWindow()->cmdExit_Click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window.isVisible());
}

// Another program's writes stand for every change the birthday service announces: the open
// windows show them without being opened again.
struct ProgramElsewhere : test::ProgramTest
{
    void writeElsewhere(const std::function<void(store::Connection &)> &write)
    {
        auto other =
            store::Connection::open(context.DbPath, store::Connection::OpenMode::ExistingOnly);
        ASSERT_TRUE(other);
        write(*other);
        program->birthdayService().lookForOtherWrites();
    }
};

TEST_F(ProgramElsewhere, TheOpenCalendarShowsABirthdayOnItsDay)
{
    openProgram().openCalendar(false);
    writeElsewhere([](store::Connection &other) {
        store::AddBirthToMdb(
            other, test::gregorianBirthday(u"王五"_s, u"公历1990年 05月03日"_s), test::EnteredAt);
    });
    // May 2025 begins on a Thursday: the 3rd stands in cell 6.
    EXPECT_TRUE(program->calendarWindow()->cell(6).nlText.contains(u"王五"_s));
}

TEST_F(ProgramElsewhere, TheSmsPanelKeepsTheTicksOfTheRecipientsThatStayTheSame)
{
    QList<store::BirthdayRecord> friends;
    for (const QString &name : { u"甲"_s, u"乙"_s, u"丙"_s }) {
        friends << test::gregorianBirthday(name, {});
        friends.last().Tel = u"1391234000%1"_s.arg(friends.size());
        friends.last().Id = add(friends.last());
    }
    frmGet &window = openProgram().window();
    window.cmdDuanxin_Click();
    dialogs::BirthdayListModel &list = *window.listModel(store::categoryIndex(u"朋友"));
    list.setAllTicks(true);
    const auto ticked = [&window] { return window.findChild<QLabel *>(u"lblSelNums"_s)->text(); };
    ASSERT_EQ(ticked(), u"3"_s);
    writeElsewhere([&](store::Connection &other) {
        friends[1].Tel = u"13900000000"_s;
        store::UpdateBirthInMdb(other, friends[1], test::EnteredAt);
        const std::array gone { friends[2].Id };
        store::DeleteBirthsFromMdb(other, gone, test::EnteredAt);
        store::AddBirthToMdb(other, test::gregorianBirthday(u"丁"_s, {}), test::EnteredAt);
    });
    EXPECT_EQ(ticked(), u"1"_s);
}

TEST_F(Program, EveryWindowShowsTheCake)
{
    Application &app = openProgram();
    app.showWindow();
    app.openCalendar(true);
    const QImage cake = picture(widgets::Picture::Tray).pixmap(32).toImage();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            EXPECT_EQ(window->windowIcon().pixmap(32).toImage(), cake)
                << window->objectName().toStdString();
        }
    }
}

TEST_F(Program, TrayThatGoesAwayBringsTheHiddenWindowBackMinimised)
{
    Application &app = openProgram();
    bool trayThere = true;
    app.tray().availabilityProbe = [&trayThere] { return trayThere; };
    app.tray().watchTick();
    EXPECT_TRUE(app.window().statusText(4).isEmpty());
    EXPECT_TRUE(app.window().isHidden());
    trayThere = false;
    app.tray().watchTick();
    EXPECT_TRUE(app.window().isVisible());
    EXPECT_TRUE(app.window().isMinimized());
    EXPECT_FALSE(app.window().statusText(4).isEmpty());
}

// A file whose first page no longer reads, with yesterday's sound backup beside it: the start
// says why, offers the backup, restores it on the user's word and keeps the unopened bytes.
TEST(Application, AStartOnAnUnopenableFileOffersTheNewestBackup)
{
    test::TempDatabase files;
    ASSERT_TRUE(QDir(files.folder()).mkpath(u"lock"_s));
    {
        store::Connection db = files.create();
        store::AddBirthToMdb(db, dueFriend(), test::EnteredAt);
    }
    store::Compaction yesterday = store::CompactBirthDb(files.path(), QDate(2025, 4, 30));
    ASSERT_TRUE(yesterday.backup && yesterday.backup->check());
    yesterday.backup.reset();
    QByteArray damaged = files.bytes();
    damaged[200] = char(~damaged[200]);
    files.write(u"natalis.mdb"_s, damaged);

    session::AppContext context;
    test::RecordingMessageSink messages;
    messages.choice = u"用这个备份恢复"_s;
    const platform::FixedClock clock { QDateTime(QDate(2025, 5, 1), QTime(8, 0)) };
    auto [started, program] = Application::launch(
        { files.path(), { files.folder(), true, files.folder(), files.path(u"lock"_s) } }, context,
        messages, clock, nullptr);
    ASSERT_EQ(started, session::StartupResult::Ready);
    ASSERT_GE(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].text,
        u"本地生日数据库:"_s + files.path()
            + u"无法打开: 文件已损坏,或不是用本程序的密钥加密的。\n"
              "最新的完好备份: 2025-04-30 00:00, 1条生日。\n恢复或新建时,无法打开的文件会另存在它旁边。"_s);
    const QString aside = files.path(u"natalis-damaged-2025-05-01-080000.mdb"_s);
    EXPECT_EQ(messages.shown[1].text,
        u"已从备份(2025-04-30 00:00, 1条生日)恢复生日数据库,无法打开的文件已另存为:\n"_s + aside);
    EXPECT_EQ(context.Birthdays.size(), 1);
    EXPECT_EQ(files.bytes(u"natalis-damaged-2025-05-01-080000.mdb"_s), damaged);
}

} // namespace
