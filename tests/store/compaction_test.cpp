#include "store/backups.h"
#include "store/birthdays.h"
#include "store/compaction.h"
#include "store/connection.h"
#include "store/livecopy.h"
#include "store/workingfile.h"
#include "support/birthdaybuilder.h"
#include "support/birthdayrows.h"
#include "support/casename.h"
#include "support/childprocess.h"
#include "support/fullfilesystem.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace natalis::store {
namespace {

const QDate Today(2026, 3, 31);

// A database with rows, by default half of them deleted, so that compaction has pages to give
// back.
void fill(test::TempDatabase &files, const QString &name, int rows = 300, bool halfDeleted = true)
{
    Connection db = files.create(name);
    const QList<qint32> ids = test::addBirthdays(db, rows);
    if (halfDeleted)
        DeleteBirthsFromMdb(db, std::span(ids).first(rows / 2), test::EnteredAt);
}

QStringList names(const QString &path)
{
    QStringList result;
    if (auto db = Connection::open(path, Connection::OpenMode::ExistingOnly)) {
        for (const BirthdayRecord &r : LoadBirthdays(*db).Birthdays)
            result << r.About;
    }
    return result;
}

std::optional<Connection> open(const test::TempDatabase &files)
{
    return Connection::open(files.path(), Connection::OpenMode::ExistingOnly);
}

// What a start does to the file: the compaction, then the reading back of its copy that the
// running program does on a worker.
CompactOutcome start(const QString &path, QDate day)
{
    Compaction compaction = CompactBirthDb(path, day);
    if (compaction.backup)
        compaction.backup->check();
    return compaction.outcome;
}

struct stat statOf(const QString &path)
{
    struct stat s
    {
    };
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &s), 0) << path.toStdString();
    return s;
}

// A killed run leaves full-size copies; only the process that made one may still need it, and
// that is known by its hold on the file, whatever the file's age.
TEST(CompactionTest, WorkingFilesOfKilledRunsGoAtOnceThoseInUseStay)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 10);
    for (const QString &name : { u"natalis_old-aB3dE9.mdb"_s, u"natalis_tmp-Zx81Qw.mdb"_s })
        files.write(name, "left a moment ago by a killed run");
    files.write(u"natalis_old-fresh1.mdb"_s, "another program's compaction, still running");
    test::ChildProcess running([&] {
        const WorkingFileHold hold(files.path(u"natalis_old-fresh1.mdb"_s));
        test::ChildProcess::signalReady();
        ::pause();
        return 0;
    });
    ASSERT_TRUE(running.waitReady());

    EXPECT_EQ(start(files.path(), Today), CompactOutcome::NotDue);
    EXPECT_EQ(files.files(), (QStringList { u"natalis.mdb"_s, u"natalis_old-fresh1.mdb"_s }));
}

// A full disk is not another program holding the file: the day's copy must say which it is, and
// neither the file nor the day's backup of an earlier start may be replaced by a copy the disk
// had no room for.
TEST(CompactionTest, FullDiskIsToldApartAndLeavesTheFileAndTheBackup)
{
    test::FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const QString path = disk.path(u"natalis.mdb"_s);
    {
        auto db = OpenBirthDb(path);
        ASSERT_TRUE(db);
        test::addBirthdays(*db, 1);
        ASSERT_EQ(start(path, Today), CompactOutcome::NotDue);
        test::addBirthdays(*db, 1);
    }
    const QString daily = u"backup/natalis-2026-03-31.mdb"_s;
    const QByteArray backup = disk.bytes(daily);
    ASSERT_FALSE(backup.isEmpty());
    disk.fill();
    const QByteArray before = disk.bytes(u"natalis.mdb"_s);

    {
        Compaction compaction = CompactBirthDb(path, Today);
        ASSERT_TRUE(compaction.backup);
        EXPECT_FALSE(compaction.backup->check());
        EXPECT_EQ(compaction.backup->failureCause(), u"磁盘空间不足"_s);
    }
    EXPECT_EQ(disk.bytes(u"natalis.mdb"_s), before);
    EXPECT_EQ(disk.bytes(daily), backup);
    EXPECT_EQ(disk.files(), (QStringList { u"filler"_s, u"natalis.mdb"_s }));
}

// The database is reached through a symbolic link and a hard link, in a folder of its own, under
// a name of its own with another suffix: it shrinks in place, the links stay links to it, and
// the backup is named after the real file, beside it. Links at the names working files had in
// earlier versions are never followed.
TEST(CompactionTest, ShrinksInPlaceThroughLinksKeepsRowsAndBacksUpBesideTheRealFile)
{
    test::TempDatabase files;
    QDir(files.folder()).mkdir(u"同步"_s);
    const QString real = files.path(u"同步/家人-生日.db"_s);
    fill(files, u"同步/家人-生日.db"_s);
    ASSERT_TRUE(QFile::link(real, files.path()));
    ASSERT_EQ(::link(QFile::encodeName(real).constData(),
                  QFile::encodeName(files.path(u"hard.mdb"_s)).constData()),
        0);
    ASSERT_TRUE(
        QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const qint64 before = QFileInfo(real).size();
    const QStringList rowsBefore = names(real);
    const ino_t inode = statOf(real).st_ino;
    files.write(u"precious.txt"_s, "not to be overwritten");
    const QStringList oldNames = { u"natalis_old.mdb"_s, u"natalis_tmp.mdb"_s,
        u"natalis_tmp.mdb-journal"_s, u"natalis_old.mdb-journal"_s };
    for (const QString &name : oldNames)
        ASSERT_TRUE(QFile::link(files.path(u"precious.txt"_s), files.path(u"同步/"_s + name)));

    EXPECT_EQ(start(files.path(), Today), CompactOutcome::Compacted);

    EXPECT_TRUE(QFileInfo(files.path()).isSymLink());
    EXPECT_LT(QFileInfo(real).size(), before);
    const struct stat compacted = statOf(real);
    EXPECT_EQ(compacted.st_ino, inode);
    EXPECT_EQ(compacted.st_nlink, 2u);
    EXPECT_EQ(compacted.st_mode & 0777, 0640u);
    EXPECT_EQ(names(files.path(u"hard.mdb"_s)), rowsBefore);
    EXPECT_EQ(QDir(files.path(u"同步/backup"_s)).entryList(QDir::Files),
        QStringList { u"家人-生日-2026-03-31.db"_s });
    EXPECT_EQ(files.bytes(u"precious.txt"_s), QByteArray("not to be overwritten"));
    for (const QString &name : oldNames)
        EXPECT_TRUE(QFileInfo(files.path(u"同步/"_s + name)).isSymLink()) << name.toStdString();
    EXPECT_EQ(QDir(files.path(u"同步"_s)).entryList(QDir::Files).size(), 5)
        << "the database and the links, nothing else";
    // Ids of deleted rows are not handed out again after compaction.
    auto db = Connection::open(real, Connection::OpenMode::ExistingOnly);
    ASSERT_TRUE(db);
    EXPECT_EQ(AddBirthToMdb(*db, BirthdayRecord {}, test::EnteredAt), 301);
}

struct UntouchedCase
{
    const char *situation;
    QString name; // empty: no file
    bool damaged; // its last page
    CompactOutcome outcome;
};

const UntouchedCase UntouchedCases[] = {
    { "no file yet", {}, false, CompactOutcome::Skipped },
    { "database named like a working file", u"natalis_tmp.mdb"_s, false, CompactOutcome::Skipped },
    { "damaged database", u"natalis.mdb"_s, true, CompactOutcome::Failed },
};

using UntouchedTest = testing::TestWithParam<UntouchedCase>;

TEST_P(UntouchedTest, GetsItsOutcomeAndNothingIsWritten)
{
    const UntouchedCase &c = GetParam();
    test::TempDatabase files;
    const QString name = c.name.isEmpty() ? u"natalis.mdb"_s : c.name;
    if (!c.name.isEmpty())
        fill(files, name);
    if (c.damaged)
        files.damageLastPage(name);
    const QByteArray before = files.bytes(name);

    EXPECT_EQ(start(files.path(name), Today), c.outcome);
    EXPECT_EQ(files.bytes(name), before);
    EXPECT_EQ(QDir(files.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        c.name.isEmpty() ? QStringList() : QStringList { name });
}

INSTANTIATE_TEST_SUITE_P(
    Compaction, UntouchedTest, testing::ValuesIn(UntouchedCases), test::BySituation());

// Another program began writing before the compaction: its row is in the file in the end.
// Compaction waits two seconds for a file another program holds.
TEST(CompactionTest, AnotherWritersCommitSurvives)
{
    for (const auto &[situation, holdMs, outcome] :
        { std::tuple { "commits while compaction waits", 1000, CompactOutcome::Compacted },
            { "holds the file past the two seconds", 3500, CompactOutcome::Unavailable } }) {
        SCOPED_TRACE(situation);
        test::TempDatabase files;
        fill(files, u"natalis.mdb"_s);
        test::ChildProcess writer([&, hold = holdMs] {
            auto db = Connection::open(files.path(), Connection::OpenMode::ExistingOnly);
            if (!db)
                return 1;
            sqlite3_busy_timeout(db->handle(), 10'000);
            db->exec("begin immediate");
            test::addBirthdays(*db, 1, u"另一个程序"_s);
            test::ChildProcess::signalReady();
            ::usleep(useconds_t(hold) * 1000);
            db->exec("commit");
            return 0;
        });
        ASSERT_TRUE(writer.waitReady());
        EXPECT_EQ(start(files.path(), Today), outcome);
        EXPECT_EQ(writer.wait(), 0);
        EXPECT_TRUE(names(files.path()).contains(u"另一个程序0"_s));
        EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
    }
}

// Killed while compacting, or while copying the file and reading the copy back: every row
// stays, every backup there is holds them all, and the next start leaves no working file.
TEST(CompactionTest, KilledAtAnyPhaseLeavesEveryRowAndOnlyWholeBackups)
{
    for (const auto &[situation, compacting] :
        { std::pair { "compaction due", true }, { "backup only", false } }) {
        SCOPED_TRACE(situation);
        test::TempDatabase files;
        fill(files, u"natalis.mdb"_s, 2000, false);
        const QString daily = backupFolder(files.path()) + u"/natalis-2026-03-31.mdb"_s;
        test::killAtEveryPhase(
            [&] {
                // Pages set free anew for each run, whatever a kill interrupts.
                if (auto db = open(files); compacting)
                    sqlite3_exec(db->handle(),
                        "create table if not exists filler(x); insert into filler values "
                        "(zeroblob(400000)); drop table filler",
                        nullptr, nullptr, nullptr);
                QFile::remove(daily);
                start(files.path(), Today);
            },
            [&] {
                EXPECT_EQ(test::soundBirthdayCount(files.path()), 2000);
                for (const BackupEntry &backup : listBackups(files.path()))
                    EXPECT_EQ(test::soundBirthdayCount(backup.path), 2000);
                start(files.path(), Today);
                // The engine's journal may stay behind a killed write; no working file does.
                EXPECT_EQ(files.files().filter(u"natalis_"_s), QStringList());
            });
    }
}

// A start on a file of 400 birthdays, none deleted: no compaction is due.
struct CopyCase
{
    const char *situation;
    enum { FirstToday, AgainUnchanged, AgainChanged, Damaged, EndedFirst } before;
    bool copyToCheck;
    int backupRows; // of today's backup in the end; -1: none
};

const CopyCase CopyCases[] = {
    { "first start of the day", CopyCase::FirstToday, true, 400 },
    { "again the same day, file unchanged", CopyCase::AgainUnchanged, false, 400 },
    { "again the same day after a change", CopyCase::AgainChanged, true, 401 },
    { "damaged last page", CopyCase::Damaged, true, -1 },
    { "program ended before the read-back", CopyCase::EndedFirst, true, -1 },
};

using CopyTest = testing::TestWithParam<CopyCase>;

TEST_P(CopyTest, KeepsOnlyACopyThatReadsBackAndLeavesTheFile)
{
    const CopyCase &c = GetParam();
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 400, false);
    if (c.before == CopyCase::AgainUnchanged || c.before == CopyCase::AgainChanged)
        start(files.path(), Today);
    if (auto db = open(files); c.before == CopyCase::AgainChanged)
        test::addBirthdays(*db, 1);
    if (c.before == CopyCase::Damaged)
        files.damageLastPage();
    const QByteArray before = files.bytes();
    {
        Compaction compaction = CompactBirthDb(files.path(), Today);
        EXPECT_EQ(compaction.outcome, CompactOutcome::NotDue);
        EXPECT_EQ(files.bytes(), before);
        ASSERT_EQ(bool(compaction.backup), c.copyToCheck);
        if (c.before == CopyCase::EndedFirst)
            compaction.backup->stop();
        EXPECT_TRUE(!compaction.backup || compaction.backup->check() == (c.backupRows >= 0));
    }
    EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
    const QList<BackupEntry> backups = listBackups(files.path());
    EXPECT_EQ(backups.isEmpty() ? -1 : backups.first().birthdays, c.backupRows);
}

INSTANTIATE_TEST_SUITE_P(Start, CopyTest, testing::ValuesIn(CopyCases), test::BySituation());

// The day's copy is taken in slices while other programs may write: a write between two slices
// makes it start over, so that what is kept is the file of one moment, and a file written to all
// along is given up on rather than copied torn.
struct LiveCopyCase
{
    const char *situation;
    int writes; // one after each slice, as long as they last
    LiveCopyOutcome outcome;
    int rowsInCopy; // -1: no copy to read
};

const LiveCopyCase LiveCopyCases[] = {
    { "untouched", 0, LiveCopyOutcome::Copied, 400 },
    { "written once mid-copy", 1, LiveCopyOutcome::Copied, 401 },
    { "written all along", 1000, LiveCopyOutcome::Changing, -1 },
};

using LiveCopyTest = testing::TestWithParam<LiveCopyCase>;

TEST_P(LiveCopyTest, StartsOverAfterAWriteAndNeverHandsBackATornCopy)
{
    const LiveCopyCase &c = GetParam();
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 400, false);
    auto db = open(files), writer = open(files);
    QFile copy(files.path(u"copy.mdb"_s));
    ASSERT_TRUE(db && writer && copy.open(QIODevice::WriteOnly));
    int writes = 0;
    const std::atomic_bool stop = false;
    const LiveCopyOutcome outcome =
        copyLiveDatabase(*db, copy.handle(), stop, 16 * 1024, [&](qint64) {
            if (writes < c.writes && ++writes)
                test::addBirthdays(*writer, 1);
        });
    copy.close();
    EXPECT_EQ(outcome, c.outcome);
    if (c.rowsInCopy >= 0) {
        EXPECT_EQ(test::soundBirthdayCount(copy.fileName()), c.rowsInCopy);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Start, LiveCopyTest, testing::ValuesIn(LiveCopyCases), test::BySituation());

// Starts on each of the days before today and today: each start keeps the day's copy, and one
// row more is added each day.
void startOnDays(test::TempDatabase &files, int days)
{
    {
        Connection db = files.create();
        test::addBirthdays(db, 1);
    }
    for (int day = days - 1; day >= 0; --day) {
        ASSERT_EQ(start(files.path(), Today.addDays(-day)), CompactOutcome::NotDue);
        auto db = open(files);
        test::addBirthdays(*db, 1, u"第"_s + QString::number(day) + u"天"_s);
    }
}

TEST(BackupsTest, KeepsTheLastSevenDaysNewestFirstWithDateSizeAndBirthdayCount)
{
    test::TempDatabase files;
    startOnDays(files, 9);

    const QList<BackupEntry> backups = listBackups(files.path());
    // Stopped by the user after two copies: the same entries, the rest not counted.
    const QList<BackupEntry> stopped =
        listBackups(files.path(), [](qint64 done, qint64) { return done < 2; });
    ASSERT_EQ(backups.size(), KeptBackups);
    for (int i = 0; i < KeptBackups; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(backups[i].taken, Today.addDays(-i).startOfDay());
        EXPECT_EQ(backups[i].birthdays, 9 - i);
        EXPECT_EQ(stopped.value(i).path, backups[i].path);
        EXPECT_EQ(stopped.value(i).birthdays, i < 2 ? 9 - i : -1);
        EXPECT_EQ(backups[i].bytes, QFileInfo(backups[i].path).size());
        EXPECT_GT(backups[i].bytes, 0);
        EXPECT_EQ(statOf(backups[i].path).st_mode & 0777, 0600u);
    }
    EXPECT_EQ(statOf(backupFolder(files.path())).st_mode & 0777, 0700u);
}

// The current file is kept as a backup before each restore; the copy of the first restore is the
// only record of the content before any restore, so a second restore in the same second keeps
// both copies.
TEST(BackupsTest, RestoresKeepTheCurrentFileFirstAndReplaceTheContentInPlace)
{
    test::TempDatabase files;
    startOnDays(files, 2);
    const QList<BackupEntry> daily = listBackups(files.path());
    auto live = open(files);
    const QByteArray beforeAny = files.bytes();
    const QDateTime now(Today, QTime(14, 5, 9));

    ASSERT_EQ(restoreBackup(*live, daily.last().path, now), RestoreOutcome::Restored);
    EXPECT_EQ(LoadBirthdays(*live).Birthdays.size(), 1);
    EXPECT_EQ(test::soundBirthdayCount(files.path()), 1);
    ASSERT_EQ(restoreBackup(*live, daily.first().path, now), RestoreOutcome::Restored);
    EXPECT_EQ(test::soundBirthdayCount(files.path()), 2);

    const QList<BackupEntry> backups = listBackups(files.path());
    ASSERT_EQ(backups.size(), 4);
    EXPECT_EQ(backups[0].taken, now);
    EXPECT_EQ(backups[1].taken, now);
    EXPECT_EQ(backups[0].birthdays, 1); // the content the second restore replaced
    EXPECT_EQ(backups[1].birthdays, 3);
    EXPECT_TRUE(backups[1].path.endsWith(u"backup/natalis-2026-03-31-140509.mdb"_s));
    EXPECT_EQ(files.bytes(QDir(files.folder()).relativeFilePath(backups[1].path)), beforeAny);
}

TEST(BackupsTest, DamagedBackupIsNeitherOfferedNorRestored)
{
    test::TempDatabase files;
    startOnDays(files, 2);
    QList<BackupEntry> backups = listBackups(files.path());
    const QString newest = QDir(files.folder()).relativeFilePath(backups.first().path);
    QByteArray bytes = files.bytes(newest);
    for (qsizetype i = 1100; i < 1200; ++i)
        bytes[i] = char(~bytes[i]);
    files.write(newest, bytes);

    const auto sound = newestSoundBackup(files.path());
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->path, backups.last().path);

    auto live = open(files);
    EXPECT_EQ(restoreBackup(*live, backups.first().path, QDateTime(Today, QTime(9, 0))),
        RestoreOutcome::BackupUnusable);
    EXPECT_EQ(test::soundBirthdayCount(files.path()), 3);
    EXPECT_EQ(listBackups(files.path()).size(), 2);
}

TEST(BackupsTest, KilledDuringARestoreLeavesOneWholeContent)
{
    test::TempDatabase files;
    {
        Connection db = files.create();
        test::addBirthdays(db, 3000);
    }
    ASSERT_EQ(start(files.path(), Today.addDays(-1)), CompactOutcome::NotDue);
    open(files)->exec("delete from birthday where Id > 1000");
    ASSERT_EQ(start(files.path(), Today), CompactOutcome::Compacted);
    const QList<BackupEntry> backups = listBackups(files.path());
    ASSERT_EQ(backups.size(), 2);

    int restores = 0;
    test::killAtEveryPhase(
        [&] {
            ++restores;
            auto live = open(files);
            restoreBackup(
                *live, backups[restores % 2].path, QDateTime(Today, QTime(10, 0, restores % 60)));
        },
        [&] {
            const int rows = test::soundBirthdayCount(files.path());
            EXPECT_TRUE(rows == 1000 || rows == 3000) << rows;
        });
}

} // namespace
} // namespace natalis::store
