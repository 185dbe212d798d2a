// The program's own way to a server: a base address and a calendar's name, found by discovery
// and made when missing, the settings and the last outcome in the database.
#include "store/birthdays.h"
#include "store/syncstate.h"
#include "support/birthdaybuilder.h"
#include "support/radicaleprocess.h"
#include "support/tempdatabase.h"
#include "sync/discovery.h"
#include "sync/syncservice.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace natalis::sync {
namespace {

using namespace Qt::StringLiterals;

const QDateTime Now(QDate(2026, 12, 7), QTime(10, 0));

// A database of lunar birthdays, the settings page's choices and a password file.
struct SyncedFile
{
    explicit SyncedFile(int birthdays)
    {
        store::Connection connection = files.create();
        for (int i = 0; i < birthdays; ++i)
            store::AddBirthToMdb(connection,
                test::lunarBirthday(u"人%1"_s.arg(i),
                    u"农历1955年 %1月%2日"_s.arg(1 + i % 12, 2, 10, QChar(u'0'))
                        .arg(1 + i % 28, 2, 10, QChar(u'0'))),
                test::EnteredAt);
        files.writePrivate(u"password"_s, "x\n");
    }
    void choose(const QUrl &server, const QString &calendar, int years = 3)
    {
        store::Connection connection = files.create();
        for (const auto &[key, value] : { std::pair { store::SyncServerKey, server.toString() },
                 { store::SyncUserKey, u"alice"_s }, { store::SyncCalendarKey, calendar },
                 { store::SyncYearsKey, QString::number(years) } })
            store::writeSyncSetting(connection, key, value);
    }
    SyncResult sync() { return runStoredSync(files.path(), passwords, Now, nullptr, {}); }

    test::TempDatabase files;
    FilePasswordStore passwords { files.path(u"password"_s) };
};

// The file names of a calendar's events; none when the calendar is missing.
QStringList eventsIn(const QUrl &calendar)
{
    DavClient client({ u"alice"_s, u"x"_s });
    QStringList names;
    for (const DavResource &resource :
        parseMultistatus(
            client
                .send({ "PROPFIND", calendar, propfindBody({ "d:getetag" }), { { "Depth", "1" } } })
                .body)) {
        if (resource.href.endsWith(u".ics"))
            names << resource.href.section(u'/', -1);
    }
    return names;
}

using StoredSync = testing::TestWithParam<test::DavServer>;

TEST_P(StoredSync, FindsTheCalendarByNameAndThenAsksOnlyIt)
{
    test::DavServerProcess server(GetParam());
    SyncedFile file(1);
    file.choose(server.url(), u"家人生日"_s);

    const SyncResult first = file.sync();
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_EQ(first.created, 3);

    DavClient client({ u"alice"_s, u"x"_s });
    const CalendarHome home = discoverCalendars(client, server.url());
    ASSERT_EQ(home.calendars.size(), 1);
    EXPECT_EQ(home.calendars.first().displayName, u"家人生日"_s);

    const SyncResult again = file.sync();
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.requests, 1);
    store::Connection connection = file.files.create();
    EXPECT_EQ(
        store::readSyncSetting(connection, store::SyncLastResultKey), u"新增0, 更新0, 删除0"_s);
}

// A calendar the user moved away from keeps only what natalis did not put there; one out of
// reach is tried again at the next sync.
TEST_P(StoredSync, AnotherCalendarTakesOurEventsAlong)
{
    test::DavServerProcess first(GetParam()), second(GetParam());
    SyncedFile file(1);
    const QUrl old = first.home().resolved(QUrl(u"old/"_s));
    const QUrl moved = first.home().resolved(QUrl(u"moved/"_s));
    file.choose(first.url(), old.toString());
    ASSERT_TRUE(file.sync().ok);
    DavClient client({ u"alice"_s, u"x"_s });
    ASSERT_TRUE(client
                    .send({ "PUT", old.resolved(QUrl(u"foreign.ics"_s)),
                        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//"
                        "EN\r\nBEGIN:VEVENT\r\nUID:foreign\r\n"
                        "DTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:20270101\r\nEND:"
                        "VEVENT\r\nEND:VCALENDAR\r\n",
                        {} })
                    .ok());

    file.choose(first.url(), moved.toString());
    const SyncResult sameServer = file.sync();
    EXPECT_TRUE(sameServer.ok && sameServer.created == 3 && sameServer.deleted == 3);
    EXPECT_EQ(eventsIn(old), QStringList { u"foreign.ics"_s });

    first.stop();
    file.choose(second.url(), second.home().resolved(QUrl(u"family/"_s)).toString());
    const SyncResult unreachable = file.sync();
    EXPECT_TRUE(unreachable.ok && unreachable.created == 3);
    EXPECT_TRUE(unreachable.warning.contains(u"旧日历中的事件未能删除: 服务器无法连接"_s));
    first.start();
    const SyncResult retried = file.sync();
    EXPECT_TRUE(retried.ok && retried.deleted == 3 && !retried.warning.contains(u"旧日历"_s));
    EXPECT_EQ(eventsIn(moved), QStringList());
}

// A first sync of many birthdays shows how far it is and stops when asked; the next one
// completes it with every event once.
TEST_P(StoredSync, AStoppedFirstSyncIsCompletedByTheNext)
{
    test::DavServerProcess server(GetParam());
    SyncedFile file(15);
    const QUrl calendar = server.home().resolved(QUrl(u"birthdays/"_s));
    file.choose(server.url(), calendar.toString(), DefaultSyncYears);
    SyncService service(
        file.files.path(), [] { return Now; },
        std::make_shared<FilePasswordStore>(file.files.path(u"password"_s)));
    QStringList statuses;
    QEventLoop loop;
    service.showStatus = [&](const QString &text) {
        statuses << text;
        text.startsWith(u"日历同步中") ? service.stop() : loop.quit();
    };
    QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
    service.syncNow();
    loop.exec();
    ASSERT_FALSE(statuses.isEmpty());
    EXPECT_TRUE(statuses.first().startsWith(u"日历同步中: 60/"_s));
    EXPECT_EQ(statuses.last(), u"日历同步已停止"_s);
    const qsizetype sentBeforeStop = eventsIn(calendar).size();

    // What the records hold is on the server once, and nothing is left for a third sync.
    EXPECT_TRUE(file.sync().ok);
    store::Connection connection = file.files.create();
    const auto events = store::readSyncState(connection, calendar.toString()).events;
    const qsizetype recorded =
        std::count_if(events.begin(), events.end(), [](const store::SyncedEvent &event) {
            return !event.href.isEmpty();
        }); // the writer's has none
    EXPECT_LT(sentBeforeStop, recorded);
    EXPECT_EQ(eventsIn(calendar).size(), recorded);
    EXPECT_EQ(file.sync().requests, 1);
}

INSTANTIATE_TEST_SUITE_P(Servers, StoredSync, test::EveryDavServer,
    [](const auto &info) { return test::serverName(info.param); });

} // namespace
} // namespace natalis::sync
