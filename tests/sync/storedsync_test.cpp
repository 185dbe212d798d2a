// The program's own way to a server: a base address and a calendar's name, found by discovery
// and made when missing, the settings and the last outcome in the database.
#include "store/birthdays.h"
#include "store/syncstate.h"
#include "support/birthdaybuilder.h"
#include "support/radicaleprocess.h"
#include "support/tempdatabase.h"
#include "sync/discovery.h"
#include "sync/syncservice.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>

namespace natalis::sync {
namespace {

TEST(StoredSync, FindsTheCalendarByNameAndThenAsksOnlyIt)
{
    test::RadicaleProcess server;
    test::TempDatabase files;
    {
        store::Connection connection = files.create();
        ASSERT_GT(
            store::AddBirthToMdb(connection,
                test::lunarBirthday(QStringLiteral("母亲"), QStringLiteral("农历1955年 08月15日")),
                test::EnteredAt),
            0);
        store::writeSyncSetting(connection, store::SyncServerKey, server.url().toString());
        store::writeSyncSetting(connection, store::SyncUserKey, QStringLiteral("alice"));
        store::writeSyncSetting(connection, store::SyncCalendarKey, QStringLiteral("家人生日"));
        store::writeSyncSetting(connection, store::SyncYearsKey, QStringLiteral("3"));
    }
    QFile password(files.path(QStringLiteral("password")));
    ASSERT_TRUE(password.open(QIODevice::WriteOnly));
    password.write("x\n");
    password.close();
    FilePasswordStore passwords(password.fileName());
    const QDateTime now(QDate(2026, 12, 7), QTime(10, 0));

    const SyncResult first = runStoredSync(files.path(), passwords, now, nullptr, {});
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_EQ(first.created, 3);

    DavClient client({ QStringLiteral("alice"), QStringLiteral("x") });
    const CalendarHome home = discoverCalendars(client, server.url());
    ASSERT_EQ(home.calendars.size(), 1);
    EXPECT_EQ(home.calendars.first().displayName, QStringLiteral("家人生日"));

    const SyncResult again = runStoredSync(files.path(), passwords, now, nullptr, {});
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.requests, 1);
    store::Connection connection = files.create();
    EXPECT_EQ(store::readSyncSetting(connection, store::SyncLastResultKey),
        QStringLiteral("新增0, 更新0, 删除0"));
}

} // namespace
} // namespace natalis::sync

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
