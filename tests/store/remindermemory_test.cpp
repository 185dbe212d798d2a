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
        EXPECT_EQ(readReminderDate(connection, LastRunKey), QDate());
        EXPECT_TRUE(writeReminderDate(connection, LastRunKey, QDate(2026, 6, 17)));
        EXPECT_TRUE(writeReminderDate(connection, MusicFiredKey, QDate(2026, 6, 16)));
        EXPECT_TRUE(writeReminderDate(connection, LastRunKey, QDate(2026, 6, 18)));
    }
    auto reopened = OpenBirthDb(dir.path());
    ASSERT_TRUE(reopened);
    EXPECT_EQ(readReminderDate(*reopened, LastRunKey), QDate(2026, 6, 18));
    EXPECT_EQ(readReminderDate(*reopened, MusicFiredKey), QDate(2026, 6, 16));
    EXPECT_EQ(readReminderDate(*reopened, BalloonFiredKey), QDate());
}

TEST(ReminderMemory, AnUnreadableValueIsUnknownAndAnOlderFileGetsTheTable)
{
    natalis::test::TempDatabase dir;
    Connection connection = dir.create();
    connection.exec("insert into reminderstate([Key],[Value]) values('lastRun','gestern')");
    EXPECT_EQ(readReminderDate(connection, LastRunKey), QDate());
    connection.exec("drop table reminderstate");
    EXPECT_EQ(readReminderDate(connection, BalloonFiredKey), QDate());
    EXPECT_TRUE(writeReminderDate(connection, BalloonFiredKey, QDate(2026, 6, 18)));
    EXPECT_EQ(readReminderDate(connection, BalloonFiredKey), QDate(2026, 6, 18));
}

} // namespace
