// What makes a calendar sync make and compare its events again, and what leaves it at the one
// request that asks whether the server changed: the list's texts as any program left them in
// the file, and the options.
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/radicaleprocess.h"
#include "support/tempdatabase.h"
#include "sync/calendarpush.h"
#include "sync/discovery.h"
#include "sync/multistatus.h"

#include <gtest/gtest.h>

namespace natalis::sync {
namespace {

using namespace Qt::StringLiterals;

struct InputChange
{
    const char *situation;
    const char *sql; // run on the file between the two syncs, as another program would
    void (*options)(SyncOptions &);
    bool rebuilt;
};

void same(SyncOptions &) { }

using UnchangedSync = testing::TestWithParam<std::tuple<test::DavServer, InputChange>>;

TEST_P(UnchangedSync, MakesTheEventsAgainOnlyWhenTheirInputsChanged)
{
    test::DavServerProcess server(std::get<0>(GetParam()));
    const InputChange &row = std::get<1>(GetParam());
    test::TempDatabase files;
    store::Connection connection = files.create();
    for (const store::BirthdayRecord &record :
        { test::lunarBirthday(u"人0"_s, u"农历1955年 03月04日"_s),
            test::lunarBirthday(u"人1"_s, u"农历1960年 11月20日"_s),
            test::gregorianBirthday(u"人2"_s, u"公历1970年 05月06日"_s) })
        store::AddBirthToMdb(connection, record, test::EnteredAt);
    SyncOptions options;
    options.calendar = server.home().resolved(QUrl(u"birthdays/"_s));
    options.years = 3;
    options.now = QDateTime(QDate(2026, 12, 7), QTime(10, 0));
    const auto sync = [&] {
        DavClient client({ u"alice"_s, u"x"_s });
        return pushBirthdays(
            connection, store::LoadBirthdays(connection).Birthdays, client, options);
    };
    ASSERT_TRUE(sync().ok);

    if (*row.sql)
        connection.exec(row.sql);
    row.options(options);
    const SyncResult second = sync();
    ASSERT_TRUE(second.ok) << second.error.toStdString();
    if (row.rebuilt) {
        EXPECT_GT(second.compared, 0);
        EXPECT_GT(second.created + second.updated + second.deleted, 0);
    } else {
        EXPECT_EQ(second.compared, 0);
        EXPECT_EQ(second.requests, 1);
    }
}

const InputChange InputChanges[] = {
    { "nothing changed", "", same, false },
    { "a field the events never show", "update birthday set Company='某公司',Sex='女'", same,
        false },
    { "a name edited", "update birthday set About='人0改' where About='人0'", same, true },
    { "a lunar date edited", "update birthday set strNL='农历1955年 03月05日' where About='人0'",
        same, true },
    { "advance days changed", "update birthday set intnums=9 where About='人2'", same, true },
    { "a row deleted by another program", "delete from birthday where About='人1'", same, true },
    { "years changed", "", [](SyncOptions &o) { o.years = 2; }, true },
    { "a new year begun", "",
        [](SyncOptions &o) { o.now = QDateTime(QDate(2027, 1, 2), QTime(8, 0)); }, true },
    { "festivals switched on", "", [](SyncOptions &o) { o.festivals = true; }, true },
};
// "Radicale_a_name_edited"
const auto ServerAndSituation = [](const auto &info) {
    return test::serverName(std::get<0>(info.param)) + '_'
        + test::BySituation()(testing::TestParamInfo<InputChange>(std::get<1>(info.param), 0));
};
INSTANTIATE_TEST_SUITE_P(Inputs, UnchangedSync,
    testing::Combine(test::EveryDavServer, testing::ValuesIn(InputChanges)), ServerAndSituation);

// A file that lost its records meets its events again: each create meets a 412; an event of an
// earlier version (no writer's mark) is ours and updated, one whose mark names another writer
// stays as it is.
TEST(RefusedCreate, IsReadAgainAndTheEventWrittenUnlessAnotherWriterMadeIt)
{
    test::RadicaleProcess server;
    test::TempDatabase files;
    store::Connection connection = files.create();
    store::AddBirthToMdb(
        connection, test::lunarBirthday(u"人0"_s, u"农历1955年 03月04日"_s), test::EnteredAt);
    SyncOptions options;
    options.calendar = server.url().resolved(QUrl(u"/alice/birthdays/"_s));
    options.years = 3;
    options.now = QDateTime(QDate(2026, 12, 7), QTime(10, 0));
    DavClient client({ u"alice"_s, u"x"_s });
    const auto sync = [&] {
        return pushBirthdays(
            connection, store::LoadBirthdays(connection).Birthdays, client, options);
    };
    ASSERT_TRUE(sync().ok);
    const QList<DavResource> events =
        parseMultistatus(client
                             .send({ "PROPFIND", options.calendar, propfindBody({ "d:getetag" }),
                                 { { "Depth", "1" } } })
                             .body)
            .mid(1);
    ASSERT_EQ(events.size(), 3);
    const auto href = [&](int i) { return options.calendar.resolved(QUrl(events[i].href)); };
    const auto put = [&](int i, const QByteArray &mark) {
        QByteArray body = client.send({ "GET", href(i), {}, {} }).body;
        const qsizetype at = body.indexOf("X-NATALIS-WRITER:");
        body.remove(at, body.indexOf('\n', at) - at + 1);
        body.replace("SUMMARY:", mark + "SUMMARY:旧");
        ASSERT_TRUE(client.send({ "PUT", href(i), body, {} }).ok());
    };
    put(0, {});
    put(1, "X-NATALIS-WRITER:another-file\r\n");
    connection.exec("delete from syncevent; delete from synccollection; delete from syncinputs;");

    const SyncResult healed = sync();
    EXPECT_TRUE(healed.ok) << healed.error.toStdString();
    // The third still names the writer whose records were dropped: a copy's, left alone too.
    EXPECT_EQ(healed.created + healed.updated, 1);
    EXPECT_FALSE(client.send({ "GET", href(0), {}, {} }).body.contains("SUMMARY:旧"));
    EXPECT_TRUE(client.send({ "GET", href(1), {}, {} }).body.contains("SUMMARY:旧"));
}

} // namespace
} // namespace natalis::sync
