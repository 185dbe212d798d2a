#include "platform/clock.h"
#include "platform/dblocation.h"
#include "session/appcontext.h"
#include "session/backuprestore.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "store/compaction.h"
#include "store/statement.h"
#include "store/transaction.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
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
        places = { files.path(u"bin"_s), true, files.path(u"data"_s), files.folder() };
    }

    // The default database beside the program, with `rows` classmates.
    QString createDatabase(int rows)
    {
        store::Connection db = files.create(u"bin/natalis.mdb"_s);
        store::Transaction transaction(db);
        store::BirthdayRecord r;
        r.Type = u"同学"_s;
        r.Beizhu = QString(50, u'备');
        for (int i = 0; i < rows; ++i) {
            r.About = u"同学"_s + QString::number(i);
            store::AddBirthToMdb(db, r, test::EnteredAt);
        }
        transaction.commit();
        return files.path(u"bin/natalis.mdb"_s);
    }

    test::TempDatabase files;
    session::StartupPlaces places;
    test::RecordingMessageSink messages;
    platform::FixedClock clock { QDateTime(QDate(2026, 3, 31), QTime(9, 0)) };
    session::AppContext context;
};

// Only the first start in the data folder tells where the file went; a database beside the
// program or named on the command line is where the user put it. The rows run in order; the
// first also purges the SMS log by the clock's date.
TEST_F(StartupTest, WhereTheDatabaseLiesAndWhenThatIsTold)
{
    {
        store::Connection db = files.create(u"bin/natalis.mdb"_s);
        db.exec("update tishidata set DxTxRetryNums=4");
        db.exec("insert into dxhistory(strSdDate) values('2026-02-28 00:00:00'),"
                "('2026-03-01 08:00:00')");
    }
    const struct
    {
        const char *situation;
        bool appFolderWritable;
        QString argument;
        QString dbPath; // relative to the test's folder
        bool told;
    } rows[] = {
        { "beside the program", true, {}, u"bin/natalis.mdb"_s, false },
        { "read-only program folder: made in the data folder", false, {}, u"data/natalis.mdb"_s,
            true },
        { "a later start there", false, {}, u"data/natalis.mdb"_s, false },
        { "named on the command line", true, files.path(u"family.db"_s), u"family.db"_s, false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        places.appFolderWritable = row.appFolderWritable;
        session::AppContext run;
        ASSERT_EQ(
            runStartup(row.argument, places, messages, clock, run), session::StartupResult::Ready);
        EXPECT_EQ(run.DbPath, files.path(row.dbPath));
        EXPECT_TRUE(files.exists(row.dbPath));
        EXPECT_EQ(run.DbNotice, row.told ? platform::newDatabaseNotice(run.DbPath) : QString());
        EXPECT_EQ(run.AppFolder, row.argument.isEmpty() ? files.path(u"bin"_s) : QString());
        shutdown(run);
    }
    EXPECT_EQ(QDir(files.path(u"bin"_s)).entryList(QDir::Files), QStringList { u"natalis.mdb"_s });
    EXPECT_EQ(messages.texts(), QStringList());
    store::Connection db = files.create(u"bin/natalis.mdb"_s);
    store::Statement count = db.prepare("select count(*) from dxhistory");
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.integer(0), 1) << "the row of 28 February purged";
}

// Each start that cannot go on ends after one message and leaves the file as it was.
TEST_F(StartupTest, StartsThatCannotGoOnTellWhyOnce)
{
    const QString path = files.path(u"bin/natalis.mdb"_s);
    EXPECT_EQ(
        runStartup(files.path(QString(600, u'a') + u".mdb"_s), places, messages, clock, context),
        session::StartupResult::NoConnection);
    EXPECT_TRUE(messages.texts().value(0).contains(u"路径超过512字节"_s));

    shutdown(context);
    messages.shown.clear();
    QFile::remove(path);
    files.create(u"bin/natalis.mdb"_s).exec("drop table tishidata");
    EXPECT_EQ(runStartup({}, places, messages, clock, context), session::StartupResult::NoSettings);
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.texts().value(0).startsWith(
        u"读取本地数据库设置信息失败 SQLCipher reported 1 - no such table: tishidata"_s));
    EXPECT_EQ(messages.shown.value(0).title, u"青萍多用户短信群发平台v6.0"_s);
}

// A file that does not open is named by what is wrong with it, offered back only as a file
// (a folder is left alone), and stays byte for byte as it was when the user ends there.
TEST_F(StartupTest, AnUnopenableFileIsNamedByItsFaultAndKeptAsItWas)
{
    const struct
    {
        const char *situation;
        std::function<void(const QString &path)> spoil;
        QString cause;
        QStringList offered;
    } rows[] = {
        { "cut inside its first page", [](const QString &path) { QFile(path).resize(500); },
            u"文件已损坏(文件不完整)"_s, { u"打开其他文件…"_s, u"新建生日数据库"_s, u"退出"_s } },
        { "first page damaged",
            [this](const QString &) {
                QByteArray bytes = files.bytes(u"bin/natalis.mdb"_s);
                bytes[100] = char(~bytes[100]);
                files.write(u"bin/natalis.mdb"_s, bytes);
            },
            u"文件已损坏,或不是用本程序的密钥加密的"_s,
            { u"打开其他文件…"_s, u"新建生日数据库"_s, u"退出"_s } },
        { "emptied", [](const QString &path) { QFile(path).resize(0); }, u"文件是空的"_s,
            { u"打开其他文件…"_s, u"新建生日数据库"_s, u"退出"_s } },
        { "the old program's Access file",
            [this](const QString &) {
                files.write(u"bin/natalis.mdb"_s, QByteArray("\0\1\0\0Standard Jet DB\0", 20));
            },
            u"不是本程序的数据库(Access数据库)"_s,
            { u"打开其他文件…"_s, u"新建生日数据库"_s, u"退出"_s } },
        { "a plain SQLite file",
            [this](const QString &) {
                files.write(u"bin/natalis.mdb"_s, QByteArray("SQLite format 3\0\x10\0", 19));
            },
            u"不是本程序的数据库(未加密的SQLite数据库)"_s,
            { u"打开其他文件…"_s, u"新建生日数据库"_s, u"退出"_s } },
        { "a text file",
            [this](const QString &) { files.write(u"bin/natalis.mdb"_s, "张三\t1980-05-03\r\n"); },
            u"不是本程序的数据库(文本文件)"_s,
            { u"打开其他文件…"_s, u"新建生日数据库"_s, u"退出"_s } },
        { "a folder",
            [](const QString &path) {
                QFile::remove(path);
                QDir().mkpath(path);
            },
            u"不是文件"_s, { u"打开其他文件…"_s, u"退出"_s } },
    };
    const QString path = files.path(u"bin/natalis.mdb"_s);
    messages.choice = u"退出"_s;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        QDir(path).removeRecursively();
        QFile::remove(path);
        createDatabase(5);
        row.spoil(path);
        const QByteArray before = files.bytes(u"bin/natalis.mdb"_s);
        messages.shown.clear();
        session::AppContext run;
        ASSERT_EQ(runStartup({}, places, messages, clock, run), session::StartupResult::Unopened);
        EXPECT_FALSE(takeWayBack(run, messages, clock.now(), {}));
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text.section(u'\n', 0, 0),
            u"本地生日数据库:"_s + path + u"无法打开: "_s + row.cause + u"。"_s);
        EXPECT_EQ(messages.shown[0].choices, row.offered);
        EXPECT_EQ(files.bytes(u"bin/natalis.mdb"_s), before);
        shutdown(run);
    }
}

// A new database takes the place of an emptied file, which is kept aside, not deleted.
TEST_F(StartupTest, ANewDatabaseKeepsTheUnopenedFileAside)
{
    createDatabase(3);
    files.write(u"bin/natalis.mdb"_s, QByteArray());
    messages.choice = u"新建生日数据库"_s;
    ASSERT_EQ(runStartup({}, places, messages, clock, context), session::StartupResult::Unopened);
    ASSERT_TRUE(takeWayBack(context, messages, clock.now(), {}));
    EXPECT_EQ(openDatabaseAtStart(messages, clock, context), session::StartupResult::Ready);
    EXPECT_TRUE(files.exists(u"bin/natalis-damaged-2026-03-31-090000.mdb"_s));
    EXPECT_TRUE(messages.texts().last().endsWith(u"bin/natalis-damaged-2026-03-31-090000.mdb"_s));
    EXPECT_EQ(reloadBirthdays(context, messages), std::nullopt);
    EXPECT_FALSE(context.HasBirthdays);
}

struct DamageCase
{
    const char *situation;
    bool soundBackup; // yesterday's start left one
    platform::MessageButton answer;
    friend void PrintTo(const DamageCase &c, std::ostream *os) { *os << c.situation; }
};

class DamagedStartTest : public StartupTest, public testing::WithParamInterface<DamageCase>
{
};

// Today the file of 300 birthdays has a damaged page.
TEST_P(DamagedStartTest, TellsTheFailuresAndRestoresOnlyASoundBackupOnlyOnYes)
{
    const QString path = createDatabase(300);
    if (GetParam().soundBackup) {
        store::Compaction yesterday = store::CompactBirthDb(path, QDate(2026, 3, 30));
        ASSERT_TRUE(yesterday.backup && yesterday.backup->check());
    }
    const QByteArray damaged = files.damageLastPage(u"bin/natalis.mdb"_s);
    messages.answer = GetParam().answer;

    ASSERT_EQ(runStartup({}, places, messages, clock, context), session::StartupResult::Ready);
    loadBirthdaysAtStart(context, messages, clock.now());

    ASSERT_GE(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(
        u"读取生日数据库:"_s + path + u"失败 SQLCipher reported "_s));
    EXPECT_EQ(messages.shown[0].title, u"青萍生日提醒网络版v6.0"_s);
    EXPECT_EQ(messages.shown.value(1).text,
        GetParam().soundBackup ? u"生日数据库文件已损坏。\r\n最新的完好备份: 2026-03-30 00:00, "
                                 "300条生日。\r\n是否用它恢复?恢复前当前文件会另存为备份。"_s
                               : u"生日数据库文件已损坏,没有找到可以使用的备份。"_s);
    EXPECT_EQ(
        messages.shown.value(1).buttons == platform::MessageButtons::YesNo, GetParam().soundBackup);
    const bool restored =
        GetParam().soundBackup && GetParam().answer == platform::MessageButton::Yes;
    EXPECT_EQ(context.Birthdays.size() == 300, restored);
    EXPECT_EQ(files.bytes(u"bin/natalis.mdb"_s) == damaged, !restored);
    EXPECT_EQ(messages.texts().contains(u"已从备份恢复生日数据库,恢复前的数据库已另存为备份。"_s),
        restored);
}

INSTANTIATE_TEST_SUITE_P(Startup, DamagedStartTest,
    testing::Values(
        DamageCase { "no sound backup is told so", false, platform::MessageButton::Yes },
        DamageCase { "yes restores", true, platform::MessageButton::Yes },
        DamageCase { "no leaves the damaged file", true, platform::MessageButton::No }),
    test::BySituation());

TEST_F(StartupTest, ReadOnlyFileIsUntouchedAndOpenedReadOnly)
{
    const QString path = createDatabase(10);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QByteArray before = files.bytes(u"bin/natalis.mdb"_s);
    ASSERT_EQ(runStartup({}, places, messages, clock, context), session::StartupResult::Ready);
    reloadBirthdays(context, messages);
    EXPECT_EQ(messages.texts(), QStringList { path + u"生日数据库文件只读,数据库压缩失败!"_s });
    EXPECT_EQ(context.DbNotice, u"今天的备份没有做成: 生日数据库文件只读"_s);
    EXPECT_TRUE(context.DbConnection->isReadOnly());
    EXPECT_EQ(context.Birthdays.size(), 10);
    EXPECT_EQ(files.bytes(u"bin/natalis.mdb"_s), before);
}

// A second start while the first runs: the first is asked to show itself (with the database the
// second named, made absolute) and the second ends quietly; when the first cannot answer, the
// second says it is running.
TEST_F(StartupTest, SecondStartAsksTheFirstToShowItself)
{
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    ASSERT_EQ(runStartup({}, places, messages, clock, context), session::StartupResult::Ready);
    QStringList asked;
    context.instance->showRequested = [&](const QString &dbPath) { asked.append(dbPath); };
    for (const QString &argument : { QString(), u"other dir/other.mdb"_s }) {
        std::atomic<bool> done = false;
        session::StartupResult result = session::StartupResult::Ready;
        test::RecordingMessageSink secondMessages;
        std::thread second([&] {
            session::AppContext other;
            result = runStartup(argument, places, secondMessages, clock, other);
            done = true;
        });
        // The first instance answers from its event loop.
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        second.join();
        EXPECT_EQ(result, session::StartupResult::AlreadyRunning);
        EXPECT_EQ(secondMessages.texts(), QStringList());
    }
    EXPECT_EQ(
        asked, QStringList({ QString(), QFileInfo(u"other dir/other.mdb"_s).absoluteFilePath() }));

    session::AppContext unanswered;
    ASSERT_EQ(runStartup(QString(), places, messages, clock, unanswered),
        session::StartupResult::AlreadyRunning);
    EXPECT_EQ(messages.texts(), QStringList { u"青萍生日提醒软件v4.0已经处于运行状态"_s });
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Information);
    EXPECT_FALSE(unanswered.DbConnection);
}

} // namespace
} // namespace natalis::app
