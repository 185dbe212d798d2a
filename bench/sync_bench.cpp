// The calendar push and the address-book sync, first and with nothing changed, at the sizes the
// users asked about.
//
// Radicale is the server of every test and of the small calendar benchmark here
// (NATALIS_SYNC_BENCH_BIRTHDAYS sets its list, default 20). It cannot take the big sizes: Radicale
// 3.1 takes one write at a time and, before it stores a new item, reads every item the collection
// holds to see that the UID is new, so a first sync's time grows with the square of its items and
// 10,000 birthdays (about 90,000 events) would keep it busy for days. The big benchmarks use
// davstandin (beside this file), a small in-memory WebDAV server in a process of its own that
// answers what our client sends and counts the requests, so that they measure our side: its wall
// time, its CPU (the server's is not ours) and its peak memory.
//
// Each checks its own result: every event or card on the server, the pulled database equal to
// the pushed one, a sync with nothing changed at its one request. In CI's short mode
// (--benchmark_min_time below 0.1 s) the big sizes are a tenth.

#include "calendar/datetext.h"
#include "calendar/lunarconversion.h"
#include "processstatus.h"
#include "shortmode.h"
#include "store/birthdays.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/syncstate.h"
#include "store/transaction.h"
#include "support/radicaleprocess.h"
#include "sync/calendarpush.h"
#include "sync/cardsync.h"
#include "transfer/icalendarexport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

using namespace natalis;
using namespace Qt::StringLiterals;

namespace {

int Big = 10'000; // birthdays and cards of the big benchmarks; a tenth in the short mode

const QDateTime Now(QDate(2026, 12, 7), QTime(10, 0));

int radicaleBirthdays()
{
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("NATALIS_SYNC_BENCH_BIRTHDAYS", &ok);
    return ok && count > 0 ? count : 20;
}

// Nine in ten by the lunar rule (an event a year each), the rest by the Gregorian one (one
// yearly event), both dates and every text a card carries filled in, as the editor leaves them.
store::BirthdayRecord birthday(int i)
{
    const QDate born(1940 + i % 60, 1 + i % 12, 1 + i % 28);
    store::BirthdayRecord record;
    record.About = u"人%1"_s.arg(i);
    record.Type = u"朋友"_s;
    record.Tel = u"138%1"_s.arg(i, 8, 10, QChar(u'0'));
    record.Beizhu = u"备注%1"_s.arg(i % 100);
    record.strGL = calendar::gregorianText(born);
    record.strNL = calendar::lunarText(*calendar::solarToLunar(born));
    record.blnIsGL = i % 10 == 9 ? u"按公历提醒"_s : u"按农历提醒"_s;
    record.intNums = qint16(i % 8);
    record.Duanxin = u"否"_s;
    record.Company = u"公司%1"_s.arg(i % 50);
    record.Uid = QUuid::createUuid();
    return record;
}

store::BirthdayList birthdays(int count)
{
    store::BirthdayList list;
    list.reserve(count);
    for (int i = 0; i < count; ++i)
        list.append(birthday(i));
    return list;
}

sync::SyncOptions syncOptions(const QUrl &calendar)
{
    sync::SyncOptions options;
    options.calendar = calendar;
    options.now = Now;
    return options;
}

transfer::IcsOptions icsOptions()
{
    return { Now.date().year(), sync::DefaultSyncYears, false, Now };
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The wall time, our CPU time and our peak resident memory above the resident memory before,
// of one piece of work. The heap the work before left is handed back first and the peak started
// afresh (Linux 4.0 and later), so a small piece shows its own size.
struct Cost
{
    double seconds = 0;
    double cpu = 0;
    double peakMB = 0;
};

template<typename Work>
Cost measure(Work &&work)
{
    malloc_trim(0);
    if (QFile clearRefs(u"/proc/self/clear_refs"_s); clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    const qint64 before = bench::statusField(u"/proc/self/status"_s, "VmRSS");
    const double cpu = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    work();
    return { double(timer.nsecsElapsed()) / 1e9, cpuSeconds() - cpu,
        double(bench::statusField(u"/proc/self/status"_s, "VmHWM") - before) / 1024 };
}

// davstandin on a free loopback port, ended with the object.
class StandIn
{
public:
    StandIn()
    {
        m_process.start(QStringLiteral(NATALIS_DAV_STANDIN), {});
        if (m_process.waitForReadyRead(10'000))
            m_port = m_process.readLine().trimmed().mid(5).toUShort();
    }
    ~StandIn()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    bool running() const { return m_port != 0; }
    QUrl url(const QString &path) const
    {
        return QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_port).arg(path));
    }
    // What the server counted: "requests" and its members by collection path.
    QHash<QString, qint64> stats() const
    {
        sync::DavClient client({ u"bench"_s, u"x"_s });
        QHash<QString, qint64> figures;
        for (const QByteArray &line :
            client.send({ "GET", url(u"/.standin"_s), {}, {} }).body.split('\n')) {
            const qsizetype space = line.lastIndexOf(' ');
            if (space > 0)
                figures.insert(
                    QString::fromUtf8(line.left(space)), line.mid(space + 1).toLongLong());
        }
        return figures;
    }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

void BM_FirstAndUnchangedSync(benchmark::State &state)
{
    const int count = radicaleBirthdays();
    for (auto _ : state) {
        test::RadicaleProcess server;
        QTemporaryDir folder;
        std::optional<store::Connection> connection =
            store::OpenBirthDb(folder.filePath(u"natalis.mdb"_s));
        const store::BirthdayList list = birthdays(count);
        const sync::SyncOptions options =
            syncOptions(server.url().resolved(QUrl(u"/bench/birthdays/"_s)));
        sync::DavClient first({ u"bench"_s, u"x"_s });
        QElapsedTimer timer;
        timer.start();
        const sync::SyncResult made = sync::pushBirthdays(*connection, list, first, options);
        const double firstSeconds = timer.elapsed() / 1000.0;
        sync::DavClient second({ u"bench"_s, u"x"_s });
        timer.restart();
        const sync::SyncResult unchanged = sync::pushBirthdays(*connection, list, second, options);
        const double unchangedMs = double(timer.nsecsElapsed()) / 1e6;
        if (!made.ok || made.created < count * 9)
            state.SkipWithError("the first sync did not create every birthday's events");
        if (!unchanged.ok || unchanged.requests != 1 || unchanged.compared > 0)
            state.SkipWithError("a sync with nothing changed did more than its one request");
        state.counters["birthdays"] = count;
        state.counters["events"] = made.created;
        state.counters["first_s"] = firstSeconds;
        state.counters["unchanged_requests"] = unchanged.requests;
        state.counters["unchanged_ms"] = unchangedMs;
    }
}
BENCHMARK(BM_FirstAndUnchangedSync)->Unit(benchmark::kSecond)->Iterations(1);

// The floor of the first sync's CPU: the engine making the same events, nothing sent.
void BM_CalendarEvents(benchmark::State &state)
{
    const store::BirthdayList list = birthdays(Big);
    qsizetype events = 0;
    for (auto _ : state) {
        events = transfer::buildIcsObjects(list, icsOptions(), transfer::IcsPart::Birthdays).size();
        benchmark::DoNotOptimize(events);
    }
    state.counters["birthdays"] = Big;
    state.counters["events"] = double(events);
}
BENCHMARK(BM_CalendarEvents)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The first sync of the big list into an empty calendar on davstandin, then one with nothing
// changed. The time is the first sync's wall time; the counters give its CPU and peak memory, the
// events the server holds, the unchanged sync's requests, time and memory, and those of the same
// sync made to compare every event, as it does when its inputs cannot be shown unchanged.
void BM_CalendarFirstSync(benchmark::State &state)
{
    const store::BirthdayList list = birthdays(Big);
    const qsizetype wanted =
        transfer::buildIcsObjects(list, icsOptions(), transfer::IcsPart::Birthdays).size();
    for (auto _ : state) {
        state.PauseTiming(); // the CPU time is the first sync's
        StandIn server;
        QTemporaryDir folder;
        std::optional<store::Connection> connection =
            store::OpenBirthDb(folder.filePath(u"natalis.mdb"_s));
        if (!server.running() || !connection) {
            state.SkipWithError("the stand-in server or the database did not start");
            break;
        }
        const sync::SyncOptions options = syncOptions(server.url(u"/bench/birthdays/"_s));
        sync::SyncResult made, unchanged, checked;
        state.ResumeTiming();
        const Cost first = measure([&] {
            sync::DavClient client({ u"bench"_s, u"x"_s });
            made = sync::pushBirthdays(*connection, list, client, options);
        });
        state.PauseTiming();
        const qint64 onServer = server.stats().value(u"/bench/birthdays/"_s);
        const Cost again = measure([&] {
            sync::DavClient client({ u"bench"_s, u"x"_s });
            unchanged = sync::pushBirthdays(*connection, list, client, options);
        });
        // The same sync without the digest of its inputs makes and compares every event: what
        // the digest saves.
        store::writeSyncInputs(*connection, options.calendar.toString(), {});
        const Cost full = measure([&] {
            sync::DavClient client({ u"bench"_s, u"x"_s });
            checked = sync::pushBirthdays(*connection, list, client, options);
        });
        state.ResumeTiming();
        state.SetIterationTime(first.seconds);
        if (!made.ok || made.created != wanted || onServer != wanted)
            state.SkipWithError("the first sync did not put every event on the server");
        if (!unchanged.ok || unchanged.requests != 1 || unchanged.compared > 0)
            state.SkipWithError("a sync with nothing changed did more than its one request");
        if (!checked.ok || checked.requests != 1 || checked.compared != wanted
            || checked.created + checked.updated + checked.deleted > 0)
            state.SkipWithError("the events made again differ from those on the server");
        state.counters["birthdays"] = Big;
        state.counters["events"] = double(onServer);
        state.counters["requests"] = made.requests;
        state.counters["cpu_s"] = first.cpu;
        state.counters["cpu_us_per_event"] = first.cpu * 1e6 / double(qMax<qsizetype>(wanted, 1));
        state.counters["peak_MB"] = first.peakMB;
        state.counters["unchanged_requests"] = unchanged.requests;
        state.counters["unchanged_ms"] = again.seconds * 1e3;
        state.counters["unchanged_MB"] = again.peakMB;
        state.counters["unchanged_x_first"] = again.seconds / first.seconds;
        state.counters["compared_ms"] = full.seconds * 1e3;
        state.counters["compared_MB"] = full.peakMB;
    }
    state.SetLabel("peer: BM_CalendarEvents");
}
// Once even when the others repeat: a first sync of the big list takes tens of seconds, and a
// second round would grow into the heap the first left.
BENCHMARK(BM_CalendarFirstSync)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(1);

// The card fields of a list by Uid, which a pull must bring over unchanged.
QMap<QUuid, store::BirthdayRecord> byUid(store::Connection &connection)
{
    QMap<QUuid, store::BirthdayRecord> records;
    for (store::BirthdayRecord record : store::LoadBirthdays(connection).Birthdays) {
        record.Id = 0;
        record.DxSend.clear();
        records.insert(record.Uid, record);
    }
    return records;
}

// A first push of a list of state.range(0) birthdays to an empty address book on davstandin, a
// first pull of it into a second, empty database, then a sync with nothing changed. The time is
// the push's; the counters give the pull's and the unchanged sync's.
void BM_AddressBook(benchmark::State &state)
{
    const int cards = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming(); // the CPU time is the push's
        StandIn server;
        QTemporaryDir folder;
        std::optional<store::Connection> pushed =
            store::OpenBirthDb(folder.filePath(u"pushed.mdb"_s));
        std::optional<store::Connection> pulled =
            store::OpenBirthDb(folder.filePath(u"pulled.mdb"_s));
        if (!server.running() || !pushed || !pulled) {
            state.SkipWithError("the stand-in server or a database did not start");
            break;
        }
        {
            store::Transaction transaction(*pushed);
            for (int i = 0; i < cards; ++i)
                store::AddBirthToMdb(*pushed, birthday(i), Now);
            transaction.commit();
        }
        sync::CardSyncOptions options;
        options.addressBook = server.url(u"/bench/cards/"_s);
        options.now = Now;
        const auto syncOf = [&](store::Connection &connection, sync::CardSyncResult &result) {
            return measure([&] {
                sync::DavClient client({ u"bench"_s, u"x"_s });
                result = sync::syncAddressBook(connection, client, options);
            });
        };
        sync::CardSyncResult push, pull, unchanged;
        state.ResumeTiming();
        const Cost first = syncOf(*pushed, push);
        state.PauseTiming();
        const Cost fetched = syncOf(*pulled, pull);
        const Cost again = syncOf(*pushed, unchanged);
        state.ResumeTiming();
        state.SetIterationTime(first.seconds);
        if (!push.ok || push.pushed != cards || server.stats().value(u"/bench/cards/"_s) != cards)
            state.SkipWithError("the first push did not put every card on the server");
        if (!pull.ok || pull.pulled != cards || byUid(*pulled) != byUid(*pushed))
            state.SkipWithError("the pulled database differs from the pushed one");
        if (!unchanged.ok || unchanged.requests != 1)
            state.SkipWithError("a sync with nothing changed did more than its one request");
        state.counters["cards"] = cards;
        state.counters["push_requests"] = push.requests;
        state.counters["push_MB"] = first.peakMB;
        state.counters["pull_s"] = fetched.seconds;
        state.counters["pull_requests"] = pull.requests;
        state.counters["pull_MB"] = fetched.peakMB;
        state.counters["unchanged_requests"] = unchanged.requests;
        state.counters["unchanged_ms"] = again.seconds * 1e3;
        state.counters["unchanged_x_push"] = again.seconds / first.seconds;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (bench::shortMode(argc, argv))
        Big /= 10;
    benchmark::RegisterBenchmark("BM_AddressBook", BM_AddressBook)
        ->Arg(Big / 10)
        ->Arg(Big)
        ->Unit(benchmark::kSecond)
        ->UseManualTime()
        ->MeasureProcessCPUTime()
        ->Iterations(1)
        ->Repetitions(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
