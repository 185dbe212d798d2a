#include "store/birthdays.h"
#include "store/cardsync.h"
#include "store/connection.h"
#include "store/transaction.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/fullfilesystem.h"
#include "support/qtprinters.h"
#include "support/queryrows.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::store {
namespace {

BirthdayRecord person(const QString &about, const QString &type = u"同事"_s)
{
    BirthdayRecord r = test::gregorianBirthday(about, u"公历1980年 05月12日"_s, 7);
    r.Type = type;
    r.Duanxin = u"是"_s;
    return r;
}

// Every column set, quotes and SQL-looking text included.
BirthdayRecord everyColumn(const QString &about, const QString &type)
{
    BirthdayRecord r = person(about, type);
    r.Tel = u"075512345678"_s;
    r.Beizhu = QString(50, u'备'); // 100 bytes in the double-byte code page
    r.strGL = u"公历1975年 12月31日"_s;
    r.strNL = u"农历1980年闰四月廿九"_s;
    r.blnIsGL = u"按农历提醒"_s;
    r.intNums = 15;
    r.Duanxin = u"否"_s;
    r.Sex = u"男"_s;
    r.Class = u"O'Brien \"采购\" 部"_s;
    r.QQ_MSN = u"a'b--; drop table x"_s;
    r.Company = u"深圳'某'公司"_s;
    r.Address = u"南山区 科技园'1号"_s;
    r.No = u"NO-0001"_s;
    r.DxSend = u"1"_s;
    r.Uid = QUuid(u"6f1c2d3e-4a5b-4c6d-8e7f-9a0b1c2d3e4f"_s);
    r.Kind = u"纪念日"_s;
    r.Days = u"15,1,0"_s;
    r.LeapRule = u"跳过"_s;
    return r;
}

class BirthdaysTest : public testing::Test
{
protected:
    void addPeople(int count)
    {
        for (int i = 0; i < count; ++i)
            AddBirthToMdb(db, person(u"人"_s + QString::number(i)), test::EnteredAt);
    }

    // Days and SMS choice of every row in Id order: "9是 7否".
    QString daysAndSms()
    {
        return test::queryRows(db, "select intnums||Duanxin from birthday order by Id").join(u' ');
    }

    test::TempDatabase files;
    Connection db = files.create();
};

// An update rewrites every column the add wrote but the sent mark, and keeps the birthday's Uid:
// its events and contacts elsewhere stay its own.
TEST_F(BirthdaysTest, EveryColumnSurvivesAddAndUpdateButTheSentMarkAndUid)
{
    BirthdayRecord r = everyColumn(u"王'小明"_s, u"供应商"_s);
    r.Id = AddBirthToMdb(db, r, test::EnteredAt);
    ASSERT_GT(r.Id, 0) << db.lastError().describe().toStdString();
    const BirthdayLoad load = LoadBirthdays(db);
    ASSERT_FALSE(load.error);
    ASSERT_TRUE(load.HasBirthdays);
    EXPECT_EQ(load.Birthdays, QList<BirthdayRecord> { r });

    BirthdayRecord changed = person(u"赵六"_s);
    changed.Id = r.Id;
    ASSERT_EQ(UpdateBirthInMdb(db, changed, test::EnteredAt), 1);
    changed.DxSend = r.DxSend;
    changed.Uid = r.Uid;
    EXPECT_EQ(LoadBirthdays(db).Birthdays, QList<BirthdayRecord> { changed });
    changed.Id = 4711; // a row that vanished meanwhile
    EXPECT_EQ(UpdateBirthInMdb(db, changed, test::EnteredAt), -1);
}

// Storage of an earlier load is reused; none of its rows may show again.
TEST_F(BirthdaysTest, EmptyTableGivesOneBlankUnusableRecord)
{
    const BirthdayLoad load = LoadBirthdays(db, QList<BirthdayRecord>(5, person(u"旧"_s)));
    EXPECT_FALSE(load.error);
    EXPECT_FALSE(load.HasBirthdays);
    EXPECT_EQ(load.Birthdays, QList<BirthdayRecord> { BirthdayRecord {} });
}

TEST_F(BirthdaysTest, LoaderGroupsByCategoryAndKeepsInsertOrderWithin)
{
    for (const char16_t *type : { u"家人", u"同事", u"家人", u"客户", u"同事", u"Zoo", u"" })
        AddBirthToMdb(db, person(u"x"_s, QString::fromUtf16(type)), test::EnteredAt);

    QStringList order;
    for (const BirthdayRecord &r : LoadBirthdays(db).Birthdays)
        order << r.Type + QString::number(r.Id);
    // Byte order of the UTF-8 texts: "" < "Z" < 同 E5908C < 客 E5AEA2 < 家 E5AEB6.
    EXPECT_EQ(order,
        (QStringList {
            u"7"_s, u"Zoo6"_s, u"同事2"_s, u"同事5"_s, u"客户4"_s, u"家人1"_s, u"家人3"_s }));
}

struct LoadCase
{
    const char *situation;
    const char *change; // to the second of three rows
    QString BirthdayRecord::*field;
    QString loaded;
};

const LoadCase LoadCases[] = {
    { "contact that is no phone number turns SMS off",
        "update birthday set Tel='021-12345678', Duanxin='是'", &BirthdayRecord::Duanxin, u"否"_s },
    { "null text reads as empty", "update birthday set Beizhu=NULL, Sex=NULL, [No]=NULL",
        &BirthdayRecord::Beizhu, QString() },
    { "overlong name is cut to its width",
        "update birthday set About='一二三四五六七八九十一二三四五六七八九十'",
        &BirthdayRecord::About, u"一二三四五六七八九十一二三四五六"_s },
    { "overlong class, a text rows share, is cut to its width",
        "update birthday set Class='一二三四五六七八九十一二三四五六七八九十一二'",
        &BirthdayRecord::Class, u"一二三四五六七八九十一二三四五六七八九十"_s },
    { "name cut at its width keeps a character outside the BMP whole",
        "update birthday set About='一二三四五六七八九十一二三四五😀'", &BirthdayRecord::About,
        u"一二三四五六七八九十一二三四五"_s },
    { "bytes that are not UTF-8 read as replacement characters",
        "update birthday set Beizhu=CAST(X'41FF42E4B8' AS TEXT)", &BirthdayRecord::Beizhu,
        u"A\uFFFDB\uFFFD\uFFFD"_s },
    { "a leading byte-order mark is dropped",
        "update birthday set Company=CAST(X'EFBBBF41' AS TEXT)", &BirthdayRecord::Company, u"A"_s },
};

class LoadTest : public BirthdaysTest, public testing::WithParamInterface<LoadCase>
{
};

// What the list shows is mended in memory only: loading never writes, and goes on after the row.
TEST_P(LoadTest, MendsTheRowInMemoryOnly)
{
    addPeople(3);
    db.prepare(GetParam().change + std::string(" where Id=2")).run();
    const QByteArray stored = files.bytes();

    const BirthdayLoad load = LoadBirthdays(db);
    EXPECT_FALSE(load.error);
    ASSERT_EQ(load.Birthdays.size(), 3);
    EXPECT_EQ(load.Birthdays[1].*GetParam().field, GetParam().loaded);
    EXPECT_EQ(load.Birthdays[2].About, u"人2"_s);
    EXPECT_EQ(files.bytes(), stored);
}

INSTANTIATE_TEST_SUITE_P(Rows, LoadTest, testing::ValuesIn(LoadCases), test::BySituation());

// Imported lists can hold one name twice in one category: each add gives its own row's Id.
TEST_F(BirthdaysTest, DeleteRemovesExactlyTheListedRows)
{
    QList<qint32> ids;
    for (int i = 0; i < 4; ++i)
        ids << AddBirthToMdb(db, person(u"张三"_s), test::EnteredAt);
    const qint32 doomed[] = { ids[0], ids[2] };
    ASSERT_EQ(DeleteBirthsFromMdb(db, doomed, test::EnteredAt), 1);

    QList<qint32> left;
    for (const BirthdayRecord &r : LoadBirthdays(db).Birthdays) {
        EXPECT_FALSE(r.Uid.isNull()) << "a new birthday gets a Uid";
        left << r.Id;
    }
    EXPECT_EQ(left, (QList<qint32> { ids[1], ids[3] }));
}

struct BatchCase
{
    const char *situation;
    bool useFirst;
    bool useSecond;
    // Expected intnums/Duanxin of rows 1..4; rows 1,2 form the first list, 3 the second.
    const char16_t *expected;
};

const BatchCase BatchCases[] = {
    { "both lists", true, true, u"9是 9是 9否 7是" },
    { "first list only", true, false, u"9是 9是 7是 7是" },
    { "neither list", false, false, u"7是 7是 7是 7是" },
};

class BatchUpdateTest : public BirthdaysTest, public testing::WithParamInterface<BatchCase>
{
};

// A failure half way leaves the table unchanged; then the change is made to the lists in use.
TEST_P(BatchUpdateTest, ChangesOnlyTheListsInUseOrNothing)
{
    const BatchCase &c = GetParam();
    addPeople(4);
    const qint32 first[] = { 1, 2 };
    const qint32 second[] = { 3 };
    // The last row of whichever list is in use refuses the change.
    db.exec("create trigger refuse before update on birthday when old.Id = "
        + std::to_string(c.useSecond ? 3 : 2) + " begin select raise(abort, 'refused'); end");
    EXPECT_EQ(BatchUpdateBirths(db, 9, first, c.useFirst, second, c.useSecond, test::EnteredAt),
        c.useFirst || c.useSecond ? -1 : 1);
    EXPECT_EQ(daysAndSms(), u"7是 7是 7是 7是"_s);

    db.exec("drop trigger refuse");
    ASSERT_EQ(BatchUpdateBirths(db, 9, first, c.useFirst, second, c.useSecond, test::EnteredAt), 1);
    EXPECT_EQ(daysAndSms(), QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, BatchUpdateTest, testing::ValuesIn(BatchCases), test::BySituation());

TEST_F(BirthdaysTest, BatchInsideALargerTransactionFollowsIt)
{
    addPeople(3);
    const qint32 first[] = { 1, 2 };
    const qint32 none[] = { 0 };
    {
        Transaction outer(db);
        ASSERT_EQ(BatchUpdateBirths(db, 9, first, true, none, false, test::EnteredAt), 1);
        EXPECT_EQ(daysAndSms(), u"9是 9是 7是"_s);
        const qint32 gone[] = { 3 };
        ASSERT_EQ(DeleteBirthsFromMdb(db, gone, test::EnteredAt), 1);
    } // rolled back
    EXPECT_EQ(daysAndSms(), u"7是 7是 7是"_s);

    db.exec("create trigger refuse before update on birthday when old.Id = 2 "
            "begin select raise(abort, 'refused'); end");
    {
        Transaction outer(db);
        AddBirthToMdb(db, person(u"新"_s), test::EnteredAt);
        EXPECT_EQ(BatchUpdateBirths(db, 9, first, true, none, false, test::EnteredAt), -1);
        outer.commit();
    }
    EXPECT_EQ(daysAndSms(), u"7是 7是 7是 7是"_s);
}

// Undo and redo write rows as the editor does: each change queued for the address book at the
// program's clock, a removal too.
TEST_F(BirthdaysTest, UndoAndRedoQueueTheirChanges)
{
    createCardSync(db);
    BirthdayRecord record = person(u"甲"_s);
    record.Uid = QUuid::createUuid();
    QDateTime at(QDate(2026, 12, 8), QTime(1, 0), Qt::UTC);
    for (const bool kept : { true, true, false }) { // added, changed, removed
        const BirthdayState state { record.Uid, kept ? std::optional(record) : std::nullopt };
        ASSERT_EQ(putBirthdayStates(db, std::span(&state, 1), at = at.addSecs(60)), 1);
        EXPECT_EQ(readCardChanges(db).value(record.Uid.toString(QUuid::WithoutBraces)), at);
    }
    EXPECT_FALSE(LoadBirthdays(db).HasBirthdays);
}

// A file that synced before the server's cards were kept opens with them empty, and keeps the
// next one byte for byte.
TEST_F(BirthdaysTest, OlderCardStateGainsTheServerCard)
{
    db.exec("create table cardstate([Book] text not null,[Uid] text not null,[Href] text not null,"
            "[Etag] text not null,[Fields] text not null,[CardUid] text not null default '',"
            "primary key([Book],[Uid]))");
    db.exec("insert into cardstate values('b','u','/u.vcf','\"1\"','{}','')");
    createCardSync(db);
    EXPECT_EQ(readCardBook(db, u"b"_s).cards.value(u"u"_s).etag, u"\"1\""_s);
    EXPECT_TRUE(readSyncedCardData(db, u"b"_s, u"u"_s).isEmpty());
    const QByteArray card = u"BEGIN:VCARD\r\nFN:张三\r\n PHOTO\r\nEND:VCARD\r\n"_s.toUtf8();
    writeSyncedCard(db, u"b"_s, { u"u"_s, u"/u.vcf"_s, u"\"2\""_s, {}, {}, {} }, card);
    EXPECT_EQ(readSyncedCardData(db, u"b"_s, u"u"_s), card);
}

// A file from before kinds and several days opens with its rows reminding as they always did,
// and takes the new fields from then on.
TEST(OlderFile, GainsKindsDaysAndLeapRuleWithTheirDefaults)
{
    test::TempDatabase files;
    {
        Connection old = *Connection::open(files.path(), Connection::OpenMode::CreateIfMissing);
        old.exec("create table birthday(Id integer primary key autoincrement,[About] text,"
                 "[Type] text,[Tel] text,[Beizhu] text,[strGL] text,[strNL] text,[blnIsGL] text,"
                 "[intnums] integer not null default 7,[Duanxin] text,[Sex] text,[Class] text,"
                 "[QQ_MSN] text,[Company] text,[Address] text,[No] text,[DxSend] text)");
        old.exec("insert into birthday(About,Type,intnums) values('张三','家人',3)");
        const BirthdayRecord before = LoadBirthdays(old).Birthdays.at(0);
        EXPECT_EQ(std::tuple(before.Kind, before.Days, before.LeapRule, before.intNums),
            std::tuple(u"生日"_s, QString(), u"平月"_s, qint16(3)));
    }
    Connection db = *OpenBirthDb(files.path());
    BirthdayRecord r = everyColumn(u"李四"_s, u"家人"_s);
    r.Id = AddBirthToMdb(db, r, test::EnteredAt);
    EXPECT_EQ(LoadBirthdays(db).Birthdays.at(1), r);
}

// A failed add tells what it ran into instead of blaming another program.
TEST(WriteFailure, AFullDiskIsToldAsSuch)
{
    test::FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a small file system needs root";
    std::optional<Connection> connection = OpenBirthDb(disk.path(u"natalis.mdb"_s));
    ASSERT_TRUE(connection);
    disk.fill();
    BirthdayRecord record = person(u"张三"_s);
    record.Beizhu = QString(100, u'备');
    qint32 id = 0;
    for (int row = 0; row < 10000 && id >= 0; ++row)
        id = AddBirthToMdb(*connection, record, test::EnteredAt);
    ASSERT_LT(id, 0) << "the disk never filled";
    EXPECT_EQ(writeFailureCause(connection->lastError()), u"磁盘空间不足"_s);
}

TEST(WriteFailure, AReadOnlyFileIsToldAsSuch)
{
    test::TempDatabase folder;
    folder.create();
    QFile::setPermissions(folder.path(), QFile::ReadOwner);
    std::optional<Connection> connection = OpenBirthDb(folder.path());
    ASSERT_TRUE(connection);
    EXPECT_LT(AddBirthToMdb(*connection, person(u"张三"_s), test::EnteredAt), 0);
    EXPECT_EQ(writeFailureCause(connection->lastError()), u"生日数据库文件只读"_s);
}

} // namespace
} // namespace natalis::store
