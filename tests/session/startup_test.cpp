#include "session/appcontext.h"
#include "session/backuprestore.h"
#include "platform/clock.h"
#include "platform/dblocation.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "store/compaction.h"
#include "store/statement.h"
#include "store/transaction.h"
#include "support/casename.h"
#include "support/childprocess.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <atomic>
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace natalis::app {
namespace {

class StartupTest : public testing::Test
{
protected:
    StartupTest()
    {
        QDir(files.folder()).mkpath(u"bin"_s);
        QDir(files.folder()).mkpath(u"run"_s);
        places = { files.path(u"bin"_s), true, files.path(u"data"_s), files.path(u"run"_s) };
    }

    StartupResult start(const QString &argument = QString())
    {
        return runStartup(argument, places, messages, clock, context);
    }

    test::TempDatabase files;
    StartupPlaces places;
    test::RecordingMessageSink messages;
    FixedClock clock { QDateTime(QDate(2026, 3, 31), QTime(9, 0)) };
    AppContext context;
};

TEST_F(StartupTest, FirstStartCreatesTheDatabaseBesideTheProgram)
{
    ASSERT_EQ(start(), StartupResult::Ready);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(context.AppFolder, files.path(u"bin"_s));
    EXPECT_EQ(context.DbPath, files.path(u"bin/natalis.mdb"_s));
    EXPECT_EQ(context.CurrentSkin, 1);
    EXPECT_FALSE(context.ComputerName.isEmpty());
    EXPECT_EQ(context.Settings, store::SettingsRecord {});
    EXPECT_EQ(context.SmsAccounts, SmsAccountTable {});
    EXPECT_EQ(QDir(files.path(u"bin"_s)).entryList(QDir::Files), QStringList { u"natalis.mdb"_s });

    reloadBirthdays(context, messages);
    EXPECT_FALSE(context.HasBirthdays);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(StartupTest, ReadOnlyProgramFolderMovesTheDatabaseToTheDataFolder)
{
    places.appFolderWritable = false;
    ASSERT_EQ(start(), StartupResult::Ready);
    EXPECT_EQ(context.DbPath, files.path(u"data/natalis.mdb"_s));
    EXPECT_TRUE(files.exists(u"data/natalis.mdb"_s));
    EXPECT_EQ(context.DbNotice, newDatabaseNotice(context.DbPath));
    EXPECT_TRUE(context.DbNotice.endsWith(files.path(u"data/natalis.mdb"_s)));
}

// Only the first start in the data folder tells where the file went; a database beside the
// program or named on the command line is where the user put it.
TEST_F(StartupTest, LaterStartsAndOtherPlacesSayNothingOfTheDatabase)
{
    places.appFolderWritable = false;
    QDir(files.folder()).mkpath(u"data"_s);
    files.create(u"data/natalis.mdb"_s);
    ASSERT_EQ(start(), StartupResult::Ready);
    EXPECT_EQ(context.DbNotice, QString());
    shutdown(context);

    places.appFolderWritable = true;
    AppContext beside;
    ASSERT_EQ(runStartup(QString(), places, messages, clock, beside), StartupResult::Ready);
    EXPECT_EQ(beside.DbNotice, QString());
    shutdown(beside);

    AppContext named;
    ASSERT_EQ(runStartup(files.path(u"family.db"_s), places, messages, clock, named),
        StartupResult::Ready);
    EXPECT_EQ(named.DbNotice, QString());
}

TEST_F(StartupTest, ArgumentNamesTheDatabaseAndLeavesAppFolderUnrecorded)
{
    ASSERT_EQ(start(files.path(u"family.db"_s)), StartupResult::Ready);
    EXPECT_EQ(context.DbPath, files.path(u"family.db"_s));
    EXPECT_EQ(context.AppFolder, QString());
    EXPECT_TRUE(files.exists(u"family.db"_s));
}

TEST_F(StartupTest, APathTooLongForTheEngineIsToldSo)
{
    const QString path = files.path(QString(600, u'a') + u".mdb"_s);
    EXPECT_EQ(start(path), StartupResult::NoConnection);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].contains(u"路径超过512字节"_s)) << messages.texts()[0].toStdString();
}

TEST_F(StartupTest, SecondStartShowsTheMessageAndLeavesTheFirstAlone)
{
    ASSERT_EQ(start(), StartupResult::Ready);

    AppContext second;
    test::RecordingMessageSink secondMessages;
    EXPECT_EQ(runStartup(QString(), places, secondMessages, clock, second),
        StartupResult::AlreadyRunning);
    ASSERT_EQ(secondMessages.shown.size(), 1);
    EXPECT_EQ(secondMessages.shown[0].text, u"青萍生日提醒软件v4.0已经处于运行状态"_s);
    EXPECT_EQ(secondMessages.shown[0].title, u"青萍生日提醒软件v4.0"_s);
    EXPECT_EQ(secondMessages.shown[0].icon, MessageIcon::Information);
    EXPECT_FALSE(second.DbConnection);

    ASSERT_TRUE(context.instance);
    EXPECT_TRUE(context.instance->isListening());
    QLocalSocket socket;
    socket.connectToServer(context.instance->serverName());
    EXPECT_TRUE(socket.waitForConnected(1000));
    EXPECT_TRUE(context.DbConnection);

    // Once the first has ended, a new start runs.
    shutdown(context);
    AppContext third;
    EXPECT_EQ(runStartup(QString(), places, secondMessages, clock, third), StartupResult::Ready);
}

TEST_F(StartupTest, FileThatIsNoDatabaseEndsAfterOneMessageUntouched)
{
    files.write(u"bin/natalis.mdb"_s, "Standard Jet DB\0\0\0");
    const QByteArray before = files.bytes(u"bin/natalis.mdb"_s);

    EXPECT_EQ(start(), StartupResult::NoConnection);
    EXPECT_EQ(messages.texts(),
        QStringList {
            u"本地生日数据库:"_s + files.path(u"bin/natalis.mdb"_s) + u"连接建立失败 "_s });
    EXPECT_EQ(messages.shown[0].title, u"青萍生日提醒软件v4.0"_s);
    EXPECT_EQ(files.bytes(u"bin/natalis.mdb"_s), before);
    EXPECT_EQ(QDir(files.path(u"bin"_s)).entryList(QDir::Files), QStringList { u"natalis.mdb"_s });
}

TEST_F(StartupTest, UnreadableSettingsEndTheStartWithTheirMessage)
{
    {
        store::Connection db = files.create(u"bin/natalis.mdb"_s);
        db.exec("drop table tishidata");
    }
    EXPECT_EQ(start(), StartupResult::NoSettings);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(
        u"读取本地数据库设置信息失败 SQLCipher reported 1 - no such table: tishidata"_s))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(messages.shown[0].title, u"青萍多用户短信群发平台v6.0"_s);
}

TEST_F(StartupTest, StartPurgesTheSmsLogByTheClocksDate)
{
    {
        store::Connection db = files.create(u"bin/natalis.mdb"_s);
        db.exec("update tishidata set DxTxRetryNums=4");
        db.exec("insert into dxhistory(strSdDate) values('2026-02-28 00:00:00'),"
                "('2026-03-01 08:00:00')");
    }
    ASSERT_EQ(start(), StartupResult::Ready);
    store::Statement count = context.DbConnection->prepare("select count(*) from dxhistory");
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.integer(0), 1);
}

TEST_F(StartupTest, DamagedDatabaseShowsCompactionAndLoadMessages)
{
    {
        store::Connection db = files.create(u"bin/natalis.mdb"_s);
        store::BirthdayRecord r;
        r.Type = u"同学"_s;
        r.Beizhu = QString(50, u'备');
        for (int i = 0; i < 300; ++i)
            store::AddBirthToMdb(db, r);
    }
    QByteArray damaged = files.bytes(u"bin/natalis.mdb"_s);
    for (qsizetype i = damaged.size() - 600; i < damaged.size() - 500; ++i)
        damaged[i] = char(~damaged[i]);
    files.write(u"bin/natalis.mdb"_s, damaged);

    ASSERT_EQ(start(), StartupResult::Ready);
    reloadBirthdays(context, messages);

    const QString path = files.path(u"bin/natalis.mdb"_s);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].text, path + u"数据库压缩失败!"_s);
    EXPECT_TRUE(messages.shown[1].text.startsWith(
        u"读取生日数据库:"_s + path + u"失败 SQLCipher reported "_s));
    EXPECT_TRUE(messages.shown[1].text.endsWith(u"\r\n"_s));
    EXPECT_EQ(messages.shown[1].title, u"青萍生日提醒网络版v6.0"_s);
    EXPECT_LT(context.Birthdays.size(), 300);
}

void damage(test::TempDatabase &files, const QString &name)
{
    QByteArray bytes = files.bytes(name);
    for (qsizetype i = bytes.size() - 600; i < bytes.size() - 500; ++i)
        bytes[i] = char(~bytes[i]);
    files.write(name, bytes);
}

void addClassmates(store::Connection &db, int rows)
{
    store::Transaction transaction(db);
    store::BirthdayRecord r;
    r.Type = u"同学"_s;
    r.Beizhu = QString(50, u'备');
    for (int i = 0; i < rows; ++i) {
        r.About = u"同学"_s + QString::number(i);
        store::AddBirthToMdb(db, r);
    }
    transaction.commit();
}

struct DamageAnswerCase
{
    const char *situation;
    MessageButton answer;
};

class DamagedStartTest : public StartupTest, public testing::WithParamInterface<DamageAnswerCase>
{
};

// Yesterday's start left a good backup; today the file has a damaged page.
TEST_P(DamagedStartTest, OffersTheNewestSoundBackupAndRestoresOnlyOnYes)
{
    const QString path = files.path(u"bin/natalis.mdb"_s);
    {
        store::Connection db = files.create(u"bin/natalis.mdb"_s);
        addClassmates(db, 300);
    }
    ASSERT_EQ(store::CompactBirthDb(path, QDate(2026, 3, 30)), store::CompactOutcome::Compacted);
    damage(files, u"bin/natalis.mdb"_s);
    const QByteArray damaged = files.bytes(u"bin/natalis.mdb"_s);
    messages.answer = GetParam().answer;

    ASSERT_EQ(start(), StartupResult::Ready);
    LoadBirthdaysAtStart(context, messages, clock.now());

    ASSERT_GE(messages.shown.size(), 3);
    EXPECT_EQ(messages.shown[0].text, path + u"数据库压缩失败!"_s);
    EXPECT_TRUE(messages.shown[1].text.startsWith(u"读取生日数据库:"_s + path));
    EXPECT_EQ(messages.shown[2].text,
        u"生日数据库文件已损坏。\r\n最新的完好备份: 2026-03-30 00:00, 300条生日。\r\n"
        "是否用它恢复?恢复前当前文件会另存为备份。"_s);
    EXPECT_EQ(messages.shown[2].buttons, MessageButtons::YesNo);
    if (GetParam().answer == MessageButton::Yes) {
        EXPECT_EQ(context.Birthdays.size(), 300);
        EXPECT_EQ(
            messages.texts().last(), u"已从备份恢复生日数据库,恢复前的数据库已另存为备份。"_s);
    } else {
        EXPECT_LT(context.Birthdays.size(), 300);
        EXPECT_EQ(files.bytes(u"bin/natalis.mdb"_s), damaged);
    }
}

INSTANTIATE_TEST_SUITE_P(Startup, DamagedStartTest,
    testing::Values(DamageAnswerCase { "yes restores", MessageButton::Yes },
        DamageAnswerCase { "no leaves the damaged file", MessageButton::No }),
    [](const auto &info) { return test::caseName(info.param.situation); });

TEST_F(StartupTest, ReadOnlyFileIsUntouchedAndOpenedReadOnly)
{
    const QString path = files.path(u"bin/natalis.mdb"_s);
    {
        store::Connection db = files.create(u"bin/natalis.mdb"_s);
        addClassmates(db, 10);
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QByteArray before = files.bytes(u"bin/natalis.mdb"_s);

    ASSERT_EQ(start(), StartupResult::Ready);
    reloadBirthdays(context, messages);

    EXPECT_EQ(messages.texts(), QStringList { path + u"生日数据库文件只读,数据库压缩失败!"_s });
    EXPECT_TRUE(context.DbConnection->isReadOnly());
    EXPECT_EQ(context.Birthdays.size(), 10);
    context.DbConnection.reset();
    EXPECT_EQ(files.bytes(u"bin/natalis.mdb"_s), before);
    EXPECT_EQ(QDir(files.path(u"bin"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList { u"natalis.mdb"_s });
}

// A program that began writing before natalis started commits at a random moment: its row is
// in the file, and either compaction ran or start-up said the file was in use.
TEST_F(StartupTest, AnotherWritersCommitSurvivesTheStart)
{
    const QString path = files.path(u"bin/natalis.mdb"_s);
    {
        store::Connection db = files.create(u"bin/natalis.mdb"_s);
        addClassmates(db, 50);
    }
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        const int holdMs = int(QRandomGenerator::global()->bounded(2600));
        test::ChildProcess writer([&] {
            auto db = store::Connection::open(path, store::Connection::OpenMode::ExistingOnly);
            if (!db)
                return 1;
            sqlite3_busy_timeout(db->handle(), 10'000);
            db->exec("begin immediate");
            store::BirthdayRecord r;
            r.About = u"命令行"_s + QString::number(round);
            store::AddBirthToMdb(*db, r);
            test::ChildProcess::signalReady();
            ::usleep(useconds_t(holdMs) * 1000);
            db->exec("commit");
            return 0;
        });
        ASSERT_TRUE(writer.waitReady());
        messages.shown.clear();
        AppContext run;
        ASSERT_EQ(runStartup(QString(), places, messages, clock, run), StartupResult::Ready);
        EXPECT_TRUE(messages.shown.isEmpty()
            || messages.texts()
                == QStringList { path + u"生日数据库不存在或被其他程序使用中,数据库压缩失败!"_s })
            << messages.texts().join(u'\n').toStdString();
        EXPECT_EQ(writer.wait(), 0);
        reloadBirthdays(run, messages);
        EXPECT_EQ(run.Birthdays.size(), 51 + round) << "held " << holdMs << " ms";
        shutdown(run);
    }
}

} // namespace
} // namespace natalis::app

namespace natalis::app {
namespace {

TEST_F(StartupTest, SecondStartAsksTheFirstToShowItselfAndEndsQuietly)
{
    int argc = 0;
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance())
        app = std::make_unique<QCoreApplication>(argc, nullptr);
    ASSERT_EQ(start(), StartupResult::Ready);
    QStringList asked;
    context.instance->showRequested = [&](const QString &dbPath) { asked.append(dbPath); };

    // Without a file, then naming another one (relative to the second start's own folder).
    for (const QString &argument : { QString(), u"other dir/other.mdb"_s }) {
        std::atomic<bool> done = false;
        StartupResult result = StartupResult::Ready;
        test::RecordingMessageSink secondMessages;
        std::thread second([&] {
            AppContext other;
            result = runStartup(argument, places, secondMessages, clock, other);
            done = true;
        });
        // The first instance answers from its event loop.
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        second.join();
        EXPECT_EQ(result, StartupResult::AlreadyRunning);
        EXPECT_TRUE(secondMessages.shown.isEmpty())
            << secondMessages.texts().join(u'\n').toStdString();
    }
    EXPECT_EQ(asked, (QStringList { QString(), QFileInfo(u"other dir/other.mdb"_s).absoluteFilePath() }));
}

} // namespace
} // namespace natalis::app
