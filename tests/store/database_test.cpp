#include "store/birthdays.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/statement.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/queryrows.h"
#include "support/tempdatabase.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using natalis::test::queryRows;

namespace natalis::store {
namespace {

// Opens every permission the process gives until the test ends.
struct PermissiveUmask
{
    mode_t previous = ::umask(0);
    ~PermissiveUmask() { ::umask(previous); }
};

TEST(DatabaseTest, NewFileGetsEveryTableAndTheFixedRowsForItsOwnerOnly)
{
    const PermissiveUmask permissive;
    test::TempDatabase files;
    Connection db = files.create();

    EXPECT_EQ(QFileInfo(files.path()).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_FALSE(files.bytes().startsWith("SQLite format 3")) << "encrypted under the key";
    EXPECT_EQ(queryRows(db,
                  "select name from sqlite_master where type='table' and name not like "
                  "'sqlite%' order by name"),
        (QStringList { u"birthday"_s, u"dlsclass"_s, u"dxgateway"_s, u"dxhistory"_s, u"dxuser"_s,
            u"gysclass"_s, u"khclass"_s, u"reminderitem"_s, u"reminderstate"_s, u"tishidata"_s,
            u"tsclass"_s, u"windowstate"_s }));
    EXPECT_EQ(queryRows(db, "select Id,[user],flag from dxuser order by Id"),
        (QStringList { u"1||0"_s, u"2||0"_s }));
}

// Made by the build of 2026-12-06 with natalis-cli add, before the cipher settings were pinned:
// whatever the library's defaults, it must open unchanged.
TEST(DatabaseTest, FileFromAnEarlierBuildOpensWithItsRowsAndGetsUidsOnce)
{
    test::TempDatabase files;
    ASSERT_TRUE(QFile::copy(QStringLiteral(NATALIS_TEST_DATA_DIR "/today.mdb"), files.path()));
    QFile::setPermissions(files.path(), QFile::ReadOwner | QFile::WriteOwner);

    auto db = OpenBirthDb(files.path());
    ASSERT_TRUE(db);
    EXPECT_EQ(queryRows(*db, "select About,Type,strGL,strNL,blnIsGL from birthday order by Id"),
        (QStringList { u"张三|同事|公历1980年 05月12日|农历1980年 03月28日|按公历提醒"_s,
            u"李四|家人|公历2006年 09月07日|农历2006年闰07月15日|按农历提醒"_s,
            u"王小明|客户|公历1975年 12月31日|农历1975年 11月29日|按公历提醒"_s }));
    EXPECT_EQ(queryRows(*db, "select [Class] from tsclass"), QStringList { u"研发部"_s });
    EXPECT_EQ(queryRows(*db, "PRAGMA cipher_page_size"), QStringList { u"1024"_s });
    EXPECT_EQ(queryRows(*db, "PRAGMA kdf_iter"), QStringList { u"64000"_s });

    // It is from before birthdays had Uids: it gets them once, each its own.
    BirthdayLoad load = LoadBirthdays(*db);
    EXPECT_TRUE(lacksBirthdayUids(*db, load.Birthdays));
    EXPECT_EQ(assignMissingBirthdayUids(*db), 3);
    load = LoadBirthdays(*db);
    EXPECT_FALSE(lacksBirthdayUids(*db, load.Birthdays));
    EXPECT_NE(load.Birthdays[0].Uid, load.Birthdays[1].Uid);
    EXPECT_EQ(assignMissingBirthdayUids(*db), 0);
    EXPECT_EQ(LoadBirthdays(*db).Birthdays[0].Uid, load.Birthdays[0].Uid);
}

struct ForeignFileCase
{
    const char *situation;
    QByteArray content;
    QString error = u"SQLCipher reported 26 - file is encrypted or is not a database\r\n"_s;
};

const ForeignFileCase ForeignFiles[] = {
    { "empty file", "", u"natalis reported 26 - file is empty\r\n"_s },
    { "unencrypted database header", QByteArray("SQLite format 3\0", 16) + QByteArray(4080, 'x') },
};

using ForeignFileTest = testing::TestWithParam<ForeignFileCase>;

TEST_P(ForeignFileTest, IsRefusedAndLeftExactlyAsItWas)
{
    test::TempDatabase files;
    files.write(u"natalis.mdb"_s, GetParam().content);

    DbError error;
    EXPECT_FALSE(OpenBirthDb(files.path(), &error));
    EXPECT_EQ(error.describe(), GetParam().error);
    EXPECT_EQ(files.bytes(), GetParam().content);
    EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
}

INSTANTIATE_TEST_SUITE_P(
    Files, ForeignFileTest, testing::ValuesIn(ForeignFiles), test::BySituation());

// Bound in this order through one statement, so that each text reuses the memory of the texts
// before it: shorter after longer and the other way round.
const std::pair<const char *, QString> BoundTexts[] = {
    { "long Chinese text", u"北京市海淀区中关村大街1号青萍软件作坊"_s },
    { "short ASCII after a long text", u"ab"_s },
    { "empty text", u""_s },
    { "null text", QString() },
    { "character outside the BMP", QString::fromUcs4(U"甲\U00020000乙") },
    { "lone high surrogate", u"a"_s + QChar(0xD83D) + u"z"_s },
    { "high surrogate at the end", u"ab"_s + QChar(0xD83D) },
    { "long text again", u"备注：老同学，喜欢喝茶 100000"_s },
};

TEST(StatementTest, BoundTextIsStoredAsItsUtf8)
{
    test::TempDatabase files;
    Connection db = files.create();
    db.exec("create table bound(n integer, v)");
    int n = 0;
    for (const auto &[situation, text] : BoundTexts)
        db.cached("insert into bound(n,v) values(?,?)").bindAll(++n, text).run();

    Statement select = db.prepare("select typeof(v), v from bound order by n");
    for (const auto &[situation, text] : BoundTexts) {
        ASSERT_TRUE(select.step());
        EXPECT_EQ(select.utf8(0).toByteArray(), QByteArray("text")) << situation;
        EXPECT_EQ(select.utf8(1).toByteArray(), text.toUtf8()) << situation;
    }
}

TEST(StatementTest, RefusedBindLeavesARunningStatementItsText)
{
    test::TempDatabase files;
    Connection db = files.create();
    db.exec("create table bound(v)");
    db.exec("insert into bound(v) values('a'),('b')");
    Statement select = db.prepare("select v, ? from bound order by v");
    select.bind(1, u"kept"_s);
    ASSERT_TRUE(select.step());

    EXPECT_THROW(select.bind(1, u"lost"_s), DbException);
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select.text(1), u"kept"_s);
}

} // namespace
} // namespace natalis::store
