#include "store/remindermemory.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace natalis::store;

namespace {

TEST(ReminderMemory, EachKeyIsRememberedOnItsOwnAndAnOlderFileGetsTheTable)
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

    reopened->exec("update reminderstate set [Value]='gestern' where [Key]='lastRun'");
    EXPECT_EQ(readReminderDate(*reopened, LastRunKey), QDate()) << "unreadable is unknown";
    reopened->exec("drop table reminderstate");
    EXPECT_EQ(readReminderDate(*reopened, BalloonFiredKey), QDate());
    EXPECT_TRUE(writeReminderDate(*reopened, BalloonFiredKey, QDate(2026, 6, 18)));
    EXPECT_EQ(readReminderDate(*reopened, BalloonFiredKey), QDate(2026, 6, 18));
}

} // namespace
