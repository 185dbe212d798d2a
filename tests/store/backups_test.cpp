#include "store/backups.h"
#include "store/compaction.h"
#include "store/connection.h"
#include "support/birthdayrows.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace natalis::store {
namespace {

const QDate Today(2026, 3, 31);

unsigned modeOf(const QString &path)
{
    struct stat s
    {
    };
    ::stat(QFile::encodeName(path).constData(), &s);
    return s.st_mode & 0777;
}

std::optional<Connection> open(const test::TempDatabase &files)
{
    return Connection::open(files.path(), Connection::OpenMode::ExistingOnly);
}

// Starts on each of the days before today and today: each start compacts and keeps the day's
// copy, and one row more is added each day.
void startOnDays(test::TempDatabase &files, int days)
{
    {
        Connection db = files.create();
        test::addBirthdays(db, 1);
    }
    for (int day = days - 1; day >= 0; --day) {
        ASSERT_EQ(CompactBirthDb(files.path(), Today.addDays(-day)), CompactOutcome::Compacted);
        auto db = open(files);
        test::addBirthdays(*db, 1, u"第"_s + QString::number(day) + u"天"_s);
    }
}

TEST(BackupsTest, KeepsTheLastSevenDaysNewestFirstWithDateSizeAndBirthdayCount)
{
    test::TempDatabase files;
    startOnDays(files, 9);

    const QList<BackupEntry> backups = listBackups(files.path());
    ASSERT_EQ(backups.size(), KeptBackups);
    for (int i = 0; i < KeptBackups; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(backups[i].taken, Today.addDays(-i).startOfDay());
        EXPECT_EQ(backups[i].birthdays, 9 - i);
        EXPECT_EQ(backups[i].bytes, QFileInfo(backups[i].path).size());
        EXPECT_GT(backups[i].bytes, 0);
        EXPECT_EQ(modeOf(backups[i].path), 0600u);
    }
    EXPECT_EQ(modeOf(backupFolder(files.path())), 0700u);
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
    QFile first(backups[1].path);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), beforeAny);
}

TEST(BackupsTest, DamagedBackupIsNeitherOfferedNorRestored)
{
    test::TempDatabase files;
    startOnDays(files, 2);
    QList<BackupEntry> backups = listBackups(files.path());
    QFile newest(backups.first().path);
    ASSERT_TRUE(newest.open(QIODevice::ReadWrite));
    QByteArray bytes = newest.readAll();
    for (qsizetype i = 1100; i < 1200; ++i)
        bytes[i] = char(~bytes[i]);
    newest.seek(0);
    newest.write(bytes);
    newest.close();

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
    ASSERT_EQ(CompactBirthDb(files.path(), Today.addDays(-1)), CompactOutcome::Compacted);
    open(files)->exec("delete from birthday where Id > 1000");
    ASSERT_EQ(CompactBirthDb(files.path(), Today), CompactOutcome::Compacted);
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
