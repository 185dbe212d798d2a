#include "store/backups.h"
#include "store/birthdays.h"
#include "store/compaction.h"
#include "store/connection.h"
#include "store/statement.h"
#include "store/transaction.h"
#include "store/workingfile.h"
#include "support/casename.h"
#include "support/childprocess.h"
#include "support/fullfilesystem.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace natalis::store {
namespace {

const QDate Today(2026, 3, 31);

// A database with some deleted rows, so that compaction has pages to give back.
void fill(test::TempDatabase &files, const QString &name, int rows = 300)
{
    Connection db = files.create(name);
    BirthdayRecord r;
    r.Type = u"朋友"_s;
    r.Beizhu = QString(50, u'备');
    QList<qint32> ids;
    Transaction transaction(db);
    for (int i = 0; i < rows; ++i) {
        r.About = u"朋友"_s + QString::number(i);
        ids << AddBirthToMdb(db, r);
    }
    DeleteBirthsFromMdb(db, std::span(ids).first(rows / 2));
    transaction.commit();
}

QStringList names(const QString &path)
{
    auto db = Connection::open(path, Connection::OpenMode::ExistingOnly);
    if (!db)
        return { u"<unreadable>"_s };
    QStringList result;
    for (const BirthdayRecord &r : LoadBirthdays(*db).Birthdays)
        result << r.About;
    return result;
}

struct stat statOf(const QString &path)
{
    struct stat s
    {
    };
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &s), 0) << path.toStdString();
    return s;
}

TEST(CompactionTest, ShrinksInPlaceKeepsRowsAndKeyAndMakesTodaysBackup)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s);
    const qint64 before = files.bytes().size();
    const QStringList rowsBefore = names(files.path());
    const ino_t inode = statOf(files.path()).st_ino;

    EXPECT_EQ(CompactBirthDb(files.path(), Today), CompactOutcome::Compacted);

    EXPECT_LT(files.bytes().size(), before);
    EXPECT_EQ(names(files.path()), rowsBefore);
    EXPECT_EQ(statOf(files.path()).st_ino, inode);
    EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
    const QString backup = files.path(u"backup/natalis-2026-03-31.mdb"_s);
    EXPECT_EQ(names(backup), rowsBefore);
    EXPECT_EQ(statOf(backup).st_mode & 0777, 0600u);
    // Ids of deleted rows are not handed out again after compaction.
    auto db = Connection::open(files.path(), Connection::OpenMode::ExistingOnly);
    ASSERT_TRUE(db);
    EXPECT_EQ(AddBirthToMdb(*db, BirthdayRecord {}), 301);
}

TEST(CompactionTest, LinksAtTheOldWorkingNamesAreNeverFollowed)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 10);
    files.write(u"precious.txt"_s, "not to be overwritten");
    const QStringList links = { u"natalis_old.mdb"_s, u"natalis_tmp.mdb"_s,
        u"natalis_tmp.mdb-journal"_s, u"natalis_old.mdb-journal"_s };
    for (const QString &link : links)
        ASSERT_TRUE(QFile::link(files.path(u"precious.txt"_s), files.path(link)));

    EXPECT_EQ(CompactBirthDb(files.path(), Today), CompactOutcome::Compacted);

    EXPECT_EQ(files.bytes(u"precious.txt"_s), QByteArray("not to be overwritten"));
    for (const QString &link : links)
        EXPECT_EQ(QFileInfo(files.path(link)).symLinkTarget(), files.path(u"precious.txt"_s))
            << link.toStdString();
    EXPECT_EQ(names(files.path()).size(), 5);
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

    EXPECT_EQ(CompactBirthDb(files.path(), Today), CompactOutcome::Compacted);
    EXPECT_EQ(files.files(), (QStringList { u"natalis.mdb"_s, u"natalis_old-fresh1.mdb"_s }));
}

// A full disk is not another program holding the file: start-up must say which it is.
TEST(CompactionTest, FullDiskIsToldApartAndLeavesTheFile)
{
    test::FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const QString path = disk.path(u"natalis.mdb"_s);
    {
        auto db = OpenBirthDb(path);
        ASSERT_TRUE(db);
        BirthdayRecord r;
        r.About = u"甲"_s;
        r.Type = u"朋友"_s;
        AddBirthToMdb(*db, r);
    }
    disk.fill();
    const QByteArray before = disk.bytes(u"natalis.mdb"_s);

    EXPECT_EQ(CompactBirthDb(path, Today), CompactOutcome::DiskFull);
    EXPECT_EQ(disk.bytes(u"natalis.mdb"_s), before);
    EXPECT_EQ(disk.files(), (QStringList { u"filler"_s, u"natalis.mdb"_s }));
}

TEST(CompactionTest, FailureLeavesTheFileByteForByteAndNoBackup)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s);
    // Damage the last page: the file still opens, but copying every row meets the damage.
    QByteArray damaged = files.bytes();
    for (qsizetype i = damaged.size() - 600; i < damaged.size() - 500; ++i)
        damaged[i] = char(~damaged[i]);
    files.write(u"natalis.mdb"_s, damaged);

    EXPECT_EQ(CompactBirthDb(files.path(), Today), CompactOutcome::Failed);
    EXPECT_EQ(files.bytes(), damaged);
    EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
    EXPECT_TRUE(ListBackups(files.path()).isEmpty());
}

TEST(CompactionTest, BackupsAreNamedAfterTheDatabaseBesideItsRealFile)
{
    test::TempDatabase files;
    QDir(files.folder()).mkdir(u"家"_s);
    for (const QString &name : { u"家/b.db"_s, u"家/birthdays-of-the-family.mdb"_s }) {
        fill(files, name, 10);
        EXPECT_EQ(CompactBirthDb(files.path(name), Today), CompactOutcome::Compacted);
        EXPECT_EQ(names(files.path(name)).size(), 5);
    }
    EXPECT_EQ(QDir(files.path(u"家"_s)).entryList(QDir::Files, QDir::Name),
        (QStringList { u"b.db"_s, u"birthdays-of-the-family.mdb"_s }));
    EXPECT_EQ(QDir(files.path(u"家/backup"_s)).entryList(QDir::Files, QDir::Name),
        (QStringList { u"b-2026-03-31.db"_s, u"birthdays-of-the-family-2026-03-31.mdb"_s }));
}

TEST(CompactionTest, SymlinkAndHardLinkStayLinksToTheCompactedFile)
{
    test::TempDatabase files;
    QDir(files.folder()).mkdir(u"synced"_s);
    fill(files, u"synced/real.mdb"_s);
    ASSERT_TRUE(QFile::link(files.path(u"synced/real.mdb"_s), files.path(u"natalis.mdb"_s)));
    ASSERT_EQ(::link(QFile::encodeName(files.path(u"synced/real.mdb"_s)).constData(),
                  QFile::encodeName(files.path(u"hard.mdb"_s)).constData()),
        0);
    ASSERT_TRUE(QFile::setPermissions(
        files.path(u"synced/real.mdb"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const qint64 before = QFileInfo(files.path(u"synced/real.mdb"_s)).size();

    EXPECT_EQ(CompactBirthDb(files.path(), Today), CompactOutcome::Compacted);

    EXPECT_TRUE(QFileInfo(files.path()).isSymLink());
    EXPECT_LT(QFileInfo(files.path(u"synced/real.mdb"_s)).size(), before);
    const struct stat real = statOf(files.path(u"synced/real.mdb"_s));
    EXPECT_EQ(real.st_nlink, 2u);
    EXPECT_EQ(statOf(files.path(u"hard.mdb"_s)).st_ino, real.st_ino);
    EXPECT_EQ(real.st_mode & 0777, 0640u);
    EXPECT_EQ(names(files.path(u"hard.mdb"_s)).size(), 150);
    EXPECT_TRUE(QFileInfo::exists(files.path(u"synced/backup/real-2026-03-31.mdb"_s)));
    EXPECT_EQ(QDir(files.path(u"synced"_s)).entryList(QDir::Files), QStringList { u"real.mdb"_s });
}

TEST(CompactionTest, ReadOnlyFileIsNotWritten)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 10);
    const QByteArray before = files.bytes();
    ASSERT_TRUE(QFile::setPermissions(files.path(), QFile::ReadOwner | QFile::ReadGroup));

    EXPECT_EQ(CompactBirthDb(files.path(), Today), CompactOutcome::ReadOnly);
    EXPECT_EQ(files.bytes(), before);
    EXPECT_EQ(QDir(files.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList { u"natalis.mdb"_s });
}

struct LeftAloneCase
{
    const char *situation;
    QString name;
    QByteArray content; // empty: a real database with ten rows
};

class LeftAloneTest : public testing::TestWithParam<LeftAloneCase>
{
};

TEST_P(LeftAloneTest, IsSkippedAndUntouched)
{
    test::TempDatabase files;
    const LeftAloneCase &c = GetParam();
    if (c.content.isEmpty())
        fill(files, c.name, 10);
    else
        files.write(c.name, c.content);
    const QByteArray before = files.bytes(c.name);
    EXPECT_EQ(CompactBirthDb(files.path(c.name), Today), CompactOutcome::Skipped);
    EXPECT_EQ(files.bytes(c.name), before);
    EXPECT_EQ(files.files(), QStringList { c.name });
}

INSTANTIATE_TEST_SUITE_P(Compaction, LeftAloneTest,
    testing::Values(
        LeftAloneCase { "database named like a working file", u"natalis_tmp.mdb"_s, {} },
        LeftAloneCase { "not a database", u"natalis.mdb"_s, "Standard Jet DB" }),
    [](const auto &info) { return test::caseName(info.param.situation); });

TEST(CompactionTest, AbsentFileIsSkippedSilently)
{
    test::TempDatabase files;
    EXPECT_EQ(CompactBirthDb(files.path(), Today), CompactOutcome::Skipped);
    EXPECT_TRUE(files.files().isEmpty());
}

TEST(CompactionTest, DatabaseHeldByAnotherWriterIsUnavailableAfterTwoSeconds)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 10);
    auto writer = Connection::open(files.path(), Connection::OpenMode::ExistingOnly);
    ASSERT_TRUE(writer);
    writer->exec("begin exclusive");
    writer->exec("delete from birthday");

    EXPECT_EQ(CompactBirthDb(files.path(), Today), CompactOutcome::Unavailable);
    writer->exec("rollback");
    EXPECT_EQ(names(files.path()).size(), 5);
    EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
}

// Another program began writing before the compaction and commits at a random moment, before,
// during or after the two seconds compaction waits: its row is in the file in the end.
TEST(CompactionTest, AnotherWritersCommitSurvivesAtAnyTiming)
{
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        test::TempDatabase files;
        fill(files, u"natalis.mdb"_s, 40);
        const int holdMs = int(QRandomGenerator::global()->bounded(2600));
        test::ChildProcess writer([&] {
            auto db = Connection::open(files.path(), Connection::OpenMode::ExistingOnly);
            if (!db)
                return 1;
            sqlite3_busy_timeout(db->handle(), 10'000);
            db->exec("begin immediate");
            BirthdayRecord r;
            r.About = u"另一个程序"_s;
            AddBirthToMdb(*db, r);
            test::ChildProcess::signalReady();
            ::usleep(useconds_t(holdMs) * 1000);
            db->exec("commit");
            return 0;
        });
        ASSERT_TRUE(writer.waitReady());
        const CompactOutcome outcome = CompactBirthDb(files.path(), Today);
        EXPECT_TRUE(outcome == CompactOutcome::Compacted || outcome == CompactOutcome::Unavailable)
            << int(outcome);
        EXPECT_EQ(writer.wait(), 0);
        EXPECT_TRUE(names(files.path()).contains(u"另一个程序"_s)) << "held " << holdMs << " ms";
        EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
    }
}

int integrityAndCount(const QString &path, int *count)
{
    auto db = Connection::open(path, Connection::OpenMode::ExistingOnly);
    if (!db)
        return -1;
    Statement check = db->prepare("PRAGMA integrity_check");
    if (!check.step() || check.text(0) != u"ok")
        return -1;
    Statement rows = db->prepare("select count(*) from birthday");
    rows.step();
    *count = int(rows.integer(0));
    return 0;
}

TEST(CompactionTest, KilledMidwayLeavesEveryRow)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 4000);
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        test::ChildProcess compactor([&] {
            test::ChildProcess::signalReady();
            for (;;)
                CompactBirthDb(files.path(), Today);
            return 0;
        });
        ASSERT_TRUE(compactor.waitReady());
        ::usleep(useconds_t(QRandomGenerator::global()->bounded(5'000, 120'000)));
        compactor.kill();
        int count = 0;
        EXPECT_EQ(integrityAndCount(files.path(), &count), 0);
        EXPECT_EQ(count, 2000);
    }
}

} // namespace
} // namespace natalis::store
