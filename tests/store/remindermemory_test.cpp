#include "store/remindermemory.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace natalis::store;

namespace {

TEST(ReminderMemory, NewFileRemembersEachKeyOnItsOwnAcrossReopening)
{
    natalis::test::TempDatabase dir;
    {
        Connection connection = dir.create();
        EXPECT_EQ(ReadReminderDate(connection, LastRunKey), QDate());
        EXPECT_TRUE(WriteReminderDate(connection, LastRunKey, QDate(2026, 6, 17)));
        EXPECT_TRUE(WriteReminderDate(connection, MusicFiredKey, QDate(2026, 6, 16)));
        EXPECT_TRUE(WriteReminderDate(connection, LastRunKey, QDate(2026, 6, 18)));
    }
    auto reopened = OpenBirthDb(dir.path());
    ASSERT_TRUE(reopened);
    EXPECT_EQ(ReadReminderDate(*reopened, LastRunKey), QDate(2026, 6, 18));
    EXPECT_EQ(ReadReminderDate(*reopened, MusicFiredKey), QDate(2026, 6, 16));
    EXPECT_EQ(ReadReminderDate(*reopened, BalloonFiredKey), QDate());
}

TEST(ReminderMemory, OlderFileWithoutTheTableGetsIt)
{
    natalis::test::TempDatabase dir;
    Connection connection = dir.create();
    connection.exec("drop table reminderstate");
    EXPECT_EQ(ReadReminderDate(connection, BalloonFiredKey), QDate());
    EXPECT_TRUE(WriteReminderDate(connection, BalloonFiredKey, QDate(2026, 6, 18)));
    EXPECT_EQ(ReadReminderDate(connection, BalloonFiredKey), QDate(2026, 6, 18));
}

TEST(ReminderMemory, UnreadableValueIsUnknown)
{
    natalis::test::TempDatabase dir;
    Connection connection = dir.create();
    connection.exec("insert into reminderstate([Key],[Value]) values('lastRun','gestern')");
    EXPECT_EQ(ReadReminderDate(connection, LastRunKey), QDate());
}

} // namespace
