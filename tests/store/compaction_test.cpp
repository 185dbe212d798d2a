#include "store/backups.h"
#include "store/birthdays.h"
#include "store/compaction.h"
#include "store/connection.h"
#include "store/workingfile.h"
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

// A database with rows, half of them deleted, so that compaction has pages to give back.
void fill(test::TempDatabase &files, const QString &name, int rows = 300)
{
    Connection db = files.create(name);
    const QList<qint32> ids = test::addBirthdays(db, rows);
    DeleteBirthsFromMdb(db, std::span(ids).first(rows / 2));
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
        test::addBirthdays(*db, 1);
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
    EXPECT_TRUE(listBackups(files.path()).isEmpty());
}

// The database is reached through a symbolic link and a hard link, in a folder of its own, under
// a name of its own with another suffix: the links stay links to the compacted file, and the
// backup is named after the real file, beside it. Links at the names working files had in earlier
// versions are never followed.
TEST(CompactionTest, LinksStayLinksAndTheBackupLiesBesideTheRealFile)
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
    files.write(u"precious.txt"_s, "not to be overwritten");
    const QStringList oldNames = { u"natalis_old.mdb"_s, u"natalis_tmp.mdb"_s,
        u"natalis_tmp.mdb-journal"_s, u"natalis_old.mdb-journal"_s };
    for (const QString &name : oldNames)
        ASSERT_TRUE(QFile::link(files.path(u"precious.txt"_s), files.path(u"同步/"_s + name)));

    EXPECT_EQ(CompactBirthDb(files.path(), Today), CompactOutcome::Compacted);

    EXPECT_TRUE(QFileInfo(files.path()).isSymLink());
    EXPECT_LT(QFileInfo(real).size(), before);
    const struct stat compacted = statOf(real);
    EXPECT_EQ(compacted.st_nlink, 2u);
    EXPECT_EQ(statOf(files.path(u"hard.mdb"_s)).st_ino, compacted.st_ino);
    EXPECT_EQ(compacted.st_mode & 0777, 0640u);
    EXPECT_EQ(names(files.path(u"hard.mdb"_s)).size(), 150);
    EXPECT_EQ(QDir(files.path(u"同步/backup"_s)).entryList(QDir::Files),
        QStringList { u"家人-生日-2026-03-31.db"_s });
    EXPECT_EQ(files.bytes(u"precious.txt"_s), QByteArray("not to be overwritten"));
    for (const QString &name : oldNames)
        EXPECT_TRUE(QFileInfo(files.path(u"同步/"_s + name)).isSymLink()) << name.toStdString();
    EXPECT_EQ(QDir(files.path(u"同步"_s)).entryList(QDir::Files).size(), 5)
        << "the database and the links, nothing else";
}

struct UntouchedCase
{
    const char *situation;
    QString name;
    const char *content; // nullptr: a database with ten rows
    bool readOnly;
    CompactOutcome outcome;
};

const UntouchedCase UntouchedCases[] = {
    { "no file yet", {}, nullptr, false, CompactOutcome::Skipped },
    { "database named like a working file", u"natalis_tmp.mdb"_s, nullptr, false,
        CompactOutcome::Skipped },
    { "not a database", u"natalis.mdb"_s, "Standard Jet DB", false, CompactOutcome::Skipped },
    { "read-only database", u"natalis.mdb"_s, nullptr, true, CompactOutcome::ReadOnly },
};

using UntouchedTest = testing::TestWithParam<UntouchedCase>;

TEST_P(UntouchedTest, GetsItsOutcomeAndNothingIsWritten)
{
    const UntouchedCase &c = GetParam();
    test::TempDatabase files;
    const QString name = c.name.isEmpty() ? u"natalis.mdb"_s : c.name;
    if (!c.content && !c.name.isEmpty())
        fill(files, name, 10);
    else if (c.content)
        files.write(name, c.content);
    if (c.readOnly) {
        ASSERT_TRUE(QFile::setPermissions(files.path(name), QFile::ReadOwner | QFile::ReadGroup));
    }
    const QByteArray before = files.bytes(name);

    EXPECT_EQ(CompactBirthDb(files.path(name), Today), c.outcome);
    EXPECT_EQ(files.bytes(name), before);
    EXPECT_EQ(QDir(files.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        c.name.isEmpty() ? QStringList() : QStringList { name });
}

INSTANTIATE_TEST_SUITE_P(
    Compaction, UntouchedTest, testing::ValuesIn(UntouchedCases), test::BySituation());

struct WriterCase
{
    const char *situation;
    int holdMs; // from the writer's first change to its commit
    CompactOutcome outcome;
};

// Compaction waits two seconds for a file another program holds.
const WriterCase WriterCases[] = {
    { "commits at once", 0, CompactOutcome::Compacted },
    { "commits while compaction waits", 1000, CompactOutcome::Compacted },
    { "holds the file past the two seconds", 3500, CompactOutcome::Unavailable },
};

using AnotherWriterTest = testing::TestWithParam<WriterCase>;

// Another program began writing before the compaction: its row is in the file in the end.
TEST_P(AnotherWriterTest, ItsCommitSurvives)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 40);
    test::ChildProcess writer([&] {
        auto db = Connection::open(files.path(), Connection::OpenMode::ExistingOnly);
        if (!db)
            return 1;
        sqlite3_busy_timeout(db->handle(), 10'000);
        db->exec("begin immediate");
        test::addBirthdays(*db, 1, u"另一个程序"_s);
        test::ChildProcess::signalReady();
        ::usleep(useconds_t(GetParam().holdMs) * 1000);
        db->exec("commit");
        return 0;
    });
    ASSERT_TRUE(writer.waitReady());
    EXPECT_EQ(CompactBirthDb(files.path(), Today), GetParam().outcome);
    EXPECT_EQ(writer.wait(), 0);
    EXPECT_TRUE(names(files.path()).contains(u"另一个程序0"_s));
    EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
}

INSTANTIATE_TEST_SUITE_P(
    Compaction, AnotherWriterTest, testing::ValuesIn(WriterCases), test::BySituation());

TEST(CompactionTest, KilledAtAnyPhaseLeavesEveryRow)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 4000);
    test::killAtEveryPhase([&] { CompactBirthDb(files.path(), Today); },
        [&] { EXPECT_EQ(test::soundBirthdayCount(files.path()), 2000); });
}

} // namespace
} // namespace natalis::store
