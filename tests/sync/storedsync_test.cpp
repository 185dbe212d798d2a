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
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

namespace natalis::sync {
namespace {

using namespace Qt::StringLiterals;

const QDateTime Now(QDate(2026, 12, 7), QTime(10, 0));

// A database with lunar birthdays, its password file, and the settings page's choices.
class SyncedFile
{
public:
    explicit SyncedFile(int birthdays)
    {
        store::Connection connection = m_files.create();
        for (int i = 0; i < birthdays; ++i)
            EXPECT_GT(store::AddBirthToMdb(connection,
                          test::lunarBirthday(u"人%1"_s.arg(i),
                              u"农历1955年 %1月%2日"_s.arg(1 + i % 12, 2, 10, QChar(u'0'))
                                  .arg(1 + i % 28, 2, 10, QChar(u'0')))),
                0);
        QFile password(m_files.path(u"password"_s));
        EXPECT_TRUE(password.open(QIODevice::WriteOnly));
        password.write("x\n");
    }

    void choose(const QUrl &server, const QString &calendar, int years = 3)
    {
        store::Connection connection = m_files.create();
        store::writeSyncSetting(connection, store::SyncServerKey, server.toString());
        store::writeSyncSetting(connection, store::SyncUserKey, u"alice"_s);
        store::writeSyncSetting(connection, store::SyncCalendarKey, calendar);
        store::writeSyncSetting(connection, store::SyncYearsKey, QString::number(years));
    }

    SyncResult sync() { return runStoredSync(m_files.path(), m_passwords, Now, nullptr, {}); }
    QString path() const { return m_files.path(); }
    QString passwordFile() const { return m_files.path(u"password"_s); }
    store::Connection open() const { return m_files.create(); }

private:
    test::TempDatabase m_files;
    FilePasswordStore m_passwords { m_files.path(u"password"_s) };
};

// The file names of a calendar's events, sorted; none when the calendar is missing.
QStringList eventsIn(const QUrl &calendar)
{
    DavClient client({ u"alice"_s, u"x"_s });
    const DavReply listing =
        client.send({ "PROPFIND", calendar, propfindBody({ "d:getetag" }), { { "Depth", "1" } } });
    QStringList names;
    for (const DavResource &resource : parseMultistatus(listing.body)) {
        if (resource.href.endsWith(u".ics"))
            names << resource.href.section(u'/', -1);
    }
    names.sort();
    return names;
}

TEST(StoredSync, FindsTheCalendarByNameAndThenAsksOnlyIt)
{
    test::RadicaleProcess server;
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
    store::Connection connection = file.open();
    EXPECT_EQ(
        store::readSyncSetting(connection, store::SyncLastResultKey), u"新增0, 更新0, 删除0"_s);
}

// A calendar the user moves away from keeps only what natalis did not put there; one out of
// reach is tried again at the next sync.
TEST(StoredSync, AnotherCalendarTakesOurEventsAlong)
{
    test::RadicaleProcess first, second;
    SyncedFile file(1);
    const QUrl old = first.url().resolved(QUrl(u"/alice/old/"_s));
    const QUrl moved = first.url().resolved(QUrl(u"/alice/moved/"_s));
    const QUrl elsewhere = second.url().resolved(QUrl(u"/alice/family/"_s));
    file.choose(first.url(), old.toString());
    ASSERT_TRUE(file.sync().ok);
    DavClient client({ u"alice"_s, u"x"_s });
    ASSERT_TRUE(client
                    .send({ "PUT", old.resolved(QUrl(u"foreign.ics"_s)),
                        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\n"
                        "UID:foreign@example.org\r\nDTSTAMP:20260101T000000Z\r\n"
                        "DTSTART;VALUE=DATE:20270101\r\nSUMMARY:foreign\r\nEND:VEVENT\r\n"
                        "END:VCALENDAR\r\n",
                        {} })
                    .ok());

    file.choose(first.url(), moved.toString());
    const SyncResult sameServer = file.sync();
    EXPECT_TRUE(sameServer.ok && sameServer.created == 3 && sameServer.deleted == 3);
    EXPECT_EQ(eventsIn(old), QStringList { u"foreign.ics"_s });
    EXPECT_EQ(eventsIn(moved).size(), 3);

    first.stop();
    file.choose(second.url(), elsewhere.toString());
    const SyncResult unreachable = file.sync();
    EXPECT_TRUE(unreachable.ok && unreachable.created == 3);
    EXPECT_TRUE(unreachable.warning.contains(u"旧日历中的事件未能删除: 服务器无法连接"_s))
        << unreachable.warning.toStdString();

    first.start();
    const SyncResult retried = file.sync();
    EXPECT_TRUE(retried.ok && retried.deleted == 3 && !retried.warning.contains(u"旧日历"_s))
        << retried.warning.toStdString();
    EXPECT_TRUE(eventsIn(moved).isEmpty());
    EXPECT_EQ(eventsIn(elsewhere).size(), 3);
}

// A first sync of many birthdays shows how far it is and stops when asked; the next one
// completes it, with each event once, as an uninterrupted sync would have left the calendar.
TEST(StoredSync, AStoppedFirstSyncIsCompletedByTheNext)
{
    test::RadicaleProcess server;
    SyncedFile file(15);
    const QUrl calendar = server.url().resolved(QUrl(u"/alice/birthdays/"_s));
    file.choose(server.url(), calendar.toString(), DefaultSyncYears);
    SyncService service(
        file.path(), [] { return Now; }, std::make_shared<FilePasswordStore>(file.passwordFile()));
    QStringList statuses;
    QEventLoop loop;
    service.showStatus = [&](const QString &text) {
        statuses << text;
        if (text.startsWith(u"日历同步中"))
            service.stop();
        else
            loop.quit();
    };
    QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
    service.syncNow();
    loop.exec();
    ASSERT_GE(statuses.size(), 2);
    EXPECT_TRUE(statuses.first().startsWith(u"日历同步中: 60/"_s))
        << statuses.first().toStdString();
    EXPECT_EQ(statuses.last(), u"日历同步已停止"_s);
    EXPECT_LT(eventsIn(calendar).size(), 150);

    const SyncResult resumed = file.sync();
    ASSERT_TRUE(resumed.ok) << resumed.error.toStdString();
    const QUrl reference = server.url().resolved(QUrl(u"/alice/reference/"_s));
    store::Connection connection = file.open();
    SyncOptions options;
    options.calendar = reference;
    options.now = Now;
    DavClient client({ u"alice"_s, u"x"_s });
    ASSERT_TRUE(
        pushBirthdays(connection, store::LoadBirthdays(connection).Birthdays, client, options).ok);
    EXPECT_EQ(eventsIn(calendar), eventsIn(reference));
    EXPECT_EQ(file.sync().requests, 1);
}

} // namespace
} // namespace natalis::sync

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
