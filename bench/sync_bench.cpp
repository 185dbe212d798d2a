// The first sync of a birthday list to a Radicale server on loopback (10 years ahead, lunar
// birthdays, one event each a year) and then a sync with nothing changed, whose requests are
// counted: it must be one whatever the size of the list. NATALIS_SYNC_BENCH_BIRTHDAYS sets the
// list's size (default 20). Radicale 3.1 takes one write at a time and, before it stores a new
// event, reads every event the collection holds to see that the UID is new, so a first sync's
// time grows with the square of its events: the server's time, not ours (about 1 s of CPU for
// 2,000 events), bounds the size worth running.

#include "store/birthdays.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/transaction.h"
#include "support/radicaleprocess.h"
#include "sync/calendarpush.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace natalis;
using namespace Qt::StringLiterals;

namespace {

int birthdayCount()
{
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("NATALIS_SYNC_BENCH_BIRTHDAYS", &ok);
    return ok && count > 0 ? count : 20;
}

QList<store::BirthdayRecord> lunarBirthdays(int count)
{
    QList<store::BirthdayRecord> birthdays;
    for (int i = 0; i < count; ++i) {
        store::BirthdayRecord record;
        record.About = u"人%1"_s.arg(i);
        record.Type = u"朋友"_s;
        record.strNL = u"农历%1年 %2月%3日"_s.arg(1940 + i % 60)
                           .arg(1 + i % 12, 2, 10, QChar(u'0'))
                           .arg(1 + i % 29, 2, 10, QChar(u'0'));
        record.blnIsGL = u"按农历提醒"_s;
        record.intNums = 3;
        record.Uid = QUuid::createUuid();
        birthdays << record;
    }
    return birthdays;
}

void BM_FirstAndUnchangedSync(benchmark::State &state)
{
    const int count = birthdayCount();
    for (auto _ : state) {
        test::RadicaleProcess server;
        QTemporaryDir folder;
        std::optional<store::Connection> connection =
            store::OpenBirthDb(folder.filePath(u"natalis.mdb"_s));
        const store::BirthdayList birthdays = lunarBirthdays(count);
        sync::SyncOptions options;
        options.calendar = server.url().resolved(QUrl(u"/bench/birthdays/"_s));
        options.now = QDateTime(QDate(2026, 12, 7), QTime(10, 0));
        sync::DavClient first({ u"bench"_s, u"x"_s });
        QElapsedTimer timer;
        timer.start();
        const sync::SyncResult made = sync::pushBirthdays(*connection, birthdays, first, options);
        const double firstSeconds = timer.elapsed() / 1000.0;
        sync::DavClient second({ u"bench"_s, u"x"_s });
        timer.restart();
        const sync::SyncResult unchanged =
            sync::pushBirthdays(*connection, birthdays, second, options);
        const double unchangedMs = double(timer.nsecsElapsed()) / 1e6;
        if (!made.ok || made.created < count * 10)
            state.SkipWithError("the first sync did not create every birthday's events");
        if (!unchanged.ok || unchanged.requests != 1 || unchanged.created + unchanged.updated > 0)
            state.SkipWithError("a sync with nothing changed asked more than one request");
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        state.counters["birthdays"] = count;
        state.counters["events"] = made.created;
        state.counters["first_s"] = firstSeconds;
        state.counters["unchanged_requests"] = unchanged.requests;
        state.counters["unchanged_ms"] = unchangedMs;
        state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
    }
}
BENCHMARK(BM_FirstAndUnchangedSync)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
