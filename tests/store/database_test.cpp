#include "store/connection.h"
#include "store/database.h"
#include "store/statement.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

using namespace Qt::StringLiterals;

namespace natalis::store {
namespace {

QStringList rows(Connection &db, const char *sql)
{
    QStringList result;
    Statement select = db.prepare(sql);
    while (select.step()) {
        QStringList fields;
        for (int i = 0; i < select.columnCount(); ++i)
            fields << select.text(i);
        result << fields.join(u'|');
    }
    return result;
}

TEST(DatabaseTest, NewFileGetsEveryTableAndTheFixedRows)
{
    test::TempDatabase files;
    Connection db = files.create();

    EXPECT_EQ(rows(db,
                  "select name from sqlite_master where type='table' and name not like "
                  "'sqlite%' order by name"),
        (QStringList { u"birthday"_s, u"dlsclass"_s, u"dxhistory"_s, u"dxuser"_s, u"gysclass"_s,
            u"khclass"_s, u"tishidata"_s, u"tsclass"_s }));
    EXPECT_EQ(rows(db, "select Id,[user],flag from dxuser order by Id"),
        (QStringList { u"1||0"_s, u"2||0"_s }));
    EXPECT_EQ(rows(db,
                  "select Id,intQipao,intQpInit,intQpTime,strQpTime,intMusic,intNums,"
                  "DxSendTime,DxYyTail,intInitType,DxTxFlags7,intSd from tishidata"),
        (QStringList { u"1|1|1|1|09:00|0|3|08:00||0|0|1"_s }));
}

TEST(DatabaseTest, FileIsEncryptedUnderTheKey)
{
    test::TempDatabase files;
    files.create();

    EXPECT_FALSE(files.bytes().startsWith("SQLite format 3"));

    sqlite3 *plain = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2(files.path().toUtf8().constData(), &plain, SQLITE_OPEN_READONLY, nullptr),
        SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(plain, "select count(*) from sqlite_master", nullptr, nullptr, nullptr),
        SQLITE_NOTADB);
    sqlite3_close(plain);

    DbError error;
    EXPECT_FALSE(
        Connection::open(files.path(), Connection::OpenMode::ExistingOnly, &error, "wrong key"));
    EXPECT_EQ(error.number, SQLITE_NOTADB);
    EXPECT_TRUE(Connection::open(files.path(), Connection::OpenMode::ExistingOnly));
}

struct ForeignFileCase
{
    const char *situation;
    QByteArray content;
};

const ForeignFileCase ForeignFiles[] = {
    { "text file", "姓名\t生日\r\n张三\t1980-05-12\r\n" },
    { "empty file", "" },
    { "unencrypted database header", QByteArray("SQLite format 3\0", 16) + QByteArray(4080, 'x') },
    { "random bytes", QByteArray(4096, '\x5a') },
};

class ForeignFileTest : public testing::TestWithParam<ForeignFileCase>
{
};

TEST_P(ForeignFileTest, IsRefusedAndLeftExactlyAsItWas)
{
    test::TempDatabase files;
    files.write(u"natalis.mdb"_s, GetParam().content);

    DbError error;
    EXPECT_FALSE(OpenBirthDb(files.path(), &error));
    EXPECT_FALSE(error.describe().isEmpty());
    EXPECT_EQ(files.bytes(), GetParam().content);
    EXPECT_EQ(files.files(), QStringList { u"natalis.mdb"_s });
}

INSTANTIATE_TEST_SUITE_P(
    Files, ForeignFileTest, testing::ValuesIn(ForeignFiles), test::BySituation());

TEST(DatabaseTest, ErrorLineHasSourceNumberAndDescription)
{
    test::TempDatabase files;
    files.write(u"natalis.mdb"_s, "no database");
    DbError error;
    OpenBirthDb(files.path(), &error);
    EXPECT_EQ(
        error.describe(), u"SQLCipher reported 26 - file is encrypted or is not a database\r\n"_s);
}

} // namespace
} // namespace natalis::store
