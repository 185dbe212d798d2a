#include "store/birthdays.h"
#include "store/compaction.h"
#include "store/connection.h"
#include "store/statement.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <QDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace natalis::store {
namespace {

// A database with some deleted rows, so that compaction has pages to give back.
void fill(test::TempDatabase &files, const QString &name, int rows = 300)
{
    Connection db = files.create(name);
    BirthdayRecord r;
    r.Type = u"朋友"_s;
    r.Beizhu = QString(50, u'备');
    QList<qint32> ids;
    for (int i = 0; i < rows; ++i) {
        r.About = u"朋友"_s + QString::number(i);
        ids << AddBirthToMdb(db, r);
    }
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

TEST(CompactionTest, ShrinksKeepsRowsAndKeyAndCleansUp)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s);
    const qint64 before = files.bytes().size();
    const QStringList rowsBefore = names(files.path());

    EXPECT_EQ(CompactBirthDb(files.path()), CompactOutcome::Compacted);

    EXPECT_LT(files.bytes().size(), before);
    EXPECT_EQ(names(files.path()), rowsBefore);
    EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
    // Ids of deleted rows are not handed out again after compaction.
    auto db = Connection::open(files.path(), Connection::OpenMode::ExistingOnly);
    ASSERT_TRUE(db);
    EXPECT_EQ(AddBirthToMdb(*db, BirthdayRecord {}), 301);
}

TEST(CompactionTest, StaleTemporaryCopyIsRemovedFirst)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 10);
    files.write(u"natalis_tmp.mdb"_s, "left over from a crash");
    files.write(u"natalis_tmp.mdb-journal"_s, "left over from a crash");

    EXPECT_EQ(CompactBirthDb(files.path()), CompactOutcome::Compacted);
    EXPECT_EQ(names(files.path()).size(), 5);
    EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
}

TEST(CompactionTest, FailureRestoresTheSafetyCopyByteForByte)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s);
    // Damage the last page: the file still opens, but copying every row meets the damage.
    QByteArray damaged = files.bytes();
    for (qsizetype i = damaged.size() - 600; i < damaged.size() - 500; ++i)
        damaged[i] = char(~damaged[i]);
    files.write(u"natalis.mdb"_s, damaged);

    EXPECT_EQ(CompactBirthDb(files.path()), CompactOutcome::Failed);
    EXPECT_EQ(files.bytes(), damaged);
    EXPECT_EQ(files.bytes(u"natalis_old.mdb"_s), damaged);
}

TEST(CompactionTest, WorkingFilesKeepTheirNamesBesideAnotherDatabaseName)
{
    test::TempDatabase files;
    QDir(files.folder()).mkdir(u"家"_s);
    for (const QString &name : { u"家/b.db"_s, u"家/birthdays-of-the-family.mdb"_s }) {
        fill(files, name, 10);
        const CompactionPaths paths = compactionPaths(files.path(name));
        EXPECT_EQ(paths.safetyCopy, files.path(u"家/natalis_old.mdb"_s));
        EXPECT_EQ(paths.temporary, files.path(u"家/natalis_tmp.mdb"_s));
        EXPECT_EQ(CompactBirthDb(files.path(name)), CompactOutcome::Compacted);
        EXPECT_EQ(names(files.path(name)).size(), 5);
    }
    EXPECT_EQ(QDir(files.path(u"家"_s)).entryList(QDir::Files, QDir::Name),
        (QStringList { u"b.db"_s, u"birthdays-of-the-family.mdb"_s }));
}

TEST(CompactionTest, DatabaseNamedLikeAWorkingFileIsLeftAlone)
{
    test::TempDatabase files;
    fill(files, u"natalis_tmp.mdb"_s, 10);
    const QByteArray before = files.bytes(u"natalis_tmp.mdb"_s);
    EXPECT_EQ(CompactBirthDb(files.path(u"natalis_tmp.mdb"_s)), CompactOutcome::Skipped);
    EXPECT_EQ(files.bytes(u"natalis_tmp.mdb"_s), before);
}

TEST(CompactionTest, AbsentFileIsSkippedSilently)
{
    test::TempDatabase files;
    EXPECT_EQ(CompactBirthDb(files.path()), CompactOutcome::Skipped);
    EXPECT_TRUE(files.files().isEmpty());
}

TEST(CompactionTest, NonDatabaseIsNotTouched)
{
    test::TempDatabase files;
    files.write(u"natalis.mdb"_s, "Standard Jet DB");
    EXPECT_EQ(CompactBirthDb(files.path()), CompactOutcome::Skipped);
    EXPECT_EQ(files.bytes(), QByteArray("Standard Jet DB"));
    EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
}

TEST(CompactionTest, DatabaseLockedByAnotherWriterIsUnavailable)
{
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 10);
    auto writer = Connection::open(files.path(), Connection::OpenMode::ExistingOnly);
    ASSERT_TRUE(writer);
    writer->exec("begin exclusive");
    writer->exec("delete from birthday");

    EXPECT_EQ(CompactBirthDb(files.path()), CompactOutcome::Unavailable);
    writer->exec("rollback");
    EXPECT_EQ(names(files.path()).size(), 5);
    EXPECT_FALSE(files.exists(u"natalis_tmp.mdb"_s));
}

TEST(CompactionTest, UnreadableFileIsUnavailable)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    test::TempDatabase files;
    fill(files, u"natalis.mdb"_s, 10);
    QFile::setPermissions(files.path(), QFile::WriteOwner);
    EXPECT_EQ(CompactBirthDb(files.path()), CompactOutcome::Unavailable);
}

} // namespace
} // namespace natalis::store
