#include "store/connection.h"
#include "store/settings.h"
#include "support/qtprinters.h"
#include "support/queryrows.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::store {
namespace {

class SettingsTest : public testing::Test
{
protected:
    SettingsRecord read()
    {
        auto result = ReadSettings(db);
        if (auto *error = std::get_if<DbError>(&result)) {
            ADD_FAILURE() << error->describe().toStdString();
            return {};
        }
        return std::get<SettingsRecord>(result);
    }

    test::TempDatabase files;
    Connection db = files.create();
};

TEST_F(SettingsTest, NewDatabaseReadsTheInitialValues)
{
    EXPECT_EQ(read(), SettingsRecord {});
}

TEST_F(SettingsTest, EveryFieldRoundTripsTrimmed)
{
    SettingsRecord s;
    s.strServer = u"  server  "_s;
    s.intQipao = 0;
    s.intMcTime = 1;
    s.strMcFile = u"/音乐/生日快乐.mp3"_s;
    s.intCy = 0;
    s.DxTxFlags[5] = u"1"_s;
    s.DxTxUser[5] = u"acc[应用] "_s;
    s.DxTxContent[7] = u"祝'你'生日快乐!"_s;
    s.DxTxTqDays[7] = 9;
    s.DxTxRetryNums = 4;
    s.DxSendTime = u"22:00"_s;
    s.DxYyTail = u"O'Brien"_s;

    ASSERT_TRUE(WriteSettings(db, s));
    EXPECT_EQ(s.strServer, u"server"_s);
    EXPECT_EQ(s.DxTxUser[5], u"acc[应用]"_s);
    EXPECT_EQ(read(), s);
}

TEST_F(SettingsTest, NullServerReadsEmptyAndIsWrittenBackEmpty)
{
    db.exec("update tishidata set strServer=NULL");
    SettingsRecord s = read();
    EXPECT_EQ(s.strServer, QString());
    ASSERT_TRUE(WriteSettings(db, s));
    EXPECT_EQ(test::queryRows(db, "select typeof(strServer)||strServer from tishidata"),
        QStringList { u"text"_s });
}

TEST_F(SettingsTest, ANullSignatureOrAMissingRowOrTableIsAnError)
{
    // A file from another tool, without our column constraints.
    db.exec("create table t as select * from tishidata");
    db.exec("drop table tishidata");
    db.exec("alter table t rename to tishidata");
    db.exec("update tishidata set DxYyTail=NULL");
    auto result = ReadSettings(db);
    ASSERT_TRUE(std::holds_alternative<DbError>(result));
    EXPECT_TRUE(std::get<DbError>(result).description.contains(u"DxYyTail"_s));
    db.exec("delete from tishidata");
    EXPECT_TRUE(std::holds_alternative<DbError>(ReadSettings(db)));
    db.exec("drop table tishidata");
    EXPECT_TRUE(std::holds_alternative<DbError>(ReadSettings(db)));
}

TEST_F(SettingsTest, ReaderTakesTheFirstRowAndWriterRowOne)
{
    db.exec("update tishidata set Id=5, intNums=1");
    db.exec("insert into tishidata(Id, intNums) values(1, 2)");
    db.exec("update tishidata set Id=0 where Id=5"); // rowid order now: 0, 1

    SettingsRecord s = read();
    EXPECT_EQ(s.intNums, 1);
    s.intNums = 6;
    ASSERT_TRUE(WriteSettings(db, s));
    EXPECT_EQ(test::queryRows(db, "select intNums from tishidata order by Id"),
        (QStringList { u"1"_s, u"6"_s }));

    db.exec("delete from tishidata where Id=1");
    EXPECT_FALSE(WriteSettings(db, s)) << "without row 1";
}

} // namespace
} // namespace natalis::store
