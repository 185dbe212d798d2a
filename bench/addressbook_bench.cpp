// Our address-book sync beside vdirsyncer, the widely used command-line syncer, on one Radicale
// address book of phone-made cards: each makes a first sync of every card into an empty place of
// its own (our database, vdirsyncer's folder of .vcf files) and then a sync with nothing changed.
//
// Both run against the same server in the same run: the cards are written straight into
// Radicale's storage folder (putting them one by one would take Radicale hours, see sync_bench)
// and the whole collection read once before either side is timed, so that neither pays for
// Radicale building its cache of the items. The server's CPU is in neither figure; requests are
// counted from the server's own log. Our CPU time is the process's; vdirsyncer's is its own
// process's (and its children's) from wait4, reported as the counter child_cpu_s, which the
// table takes as its CPU time.
//
// The size is NATALIS_ADDRESSBOOK_BENCH_CARDS (default 10,000; a tenth in CI's short mode, where
// --benchmark_min_time is below 0.1 s: on a busy machine Radicale takes a minute or two for each
// listing of 10,000 cards, and the whole binary up to ten minutes). Each checks its own result:
// every card a birthday in our database and a file in vdirsyncer's folder, both exiting well, a
// sync with nothing changed at one request for us.

#include "shortmode.h"
#include "store/birthdays.h"
#include "store/connection.h"
#include "store/database.h"
#include "sync/cardsync.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

using namespace natalis;
using namespace Qt::StringLiterals;

namespace {

int Cards = 10'000;

const QDateTime Now(QDate(2026, 12, 8), QTime(10, 0));
const QString CollectionPath = u"/bench/cards/"_s;

double seconds(const timeval &time)
{
    return double(time.tv_sec) + double(time.tv_usec) / 1e6;
}

double ownCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A contact as a phone leaves it: vCard 3.0, a UID of its own, a birthday with its year, and an
// e-mail address that is not ours to touch.
QByteArray phoneCard(int i, const QUuid &uid)
{
    const QDate born(1940 + i % 60, 1 + i % 12, 1 + i % 28);
    return u"BEGIN:VCARD\r\nVERSION:3.0\r\nUID:urn:uuid:%1\r\nFN:联系人%2\r\nN:联系人%2;;;;\r\n"
           "TEL;TYPE=CELL:139%3\r\nEMAIL;TYPE=INTERNET:c%2@example.com\r\nBDAY:%4\r\n"
           "END:VCARD\r\n"_s.arg(uid.toString(QUuid::WithoutBraces))
               .arg(i)
               .arg(i, 8, 10, QChar(u'0'))
               .arg(born.toString(Qt::ISODate))
               .toUtf8();
}

// Radicale on a free loopback port, started by the tests' own launcher (radicale_server.py,
// writing without fsync) with its log in a file, so that the requests either side sends can be
// counted where the server saw them. Ended with the object.
class Radicale
{
public:
    Radicale()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        m_port = probe.serverPort();
        probe.close();
        m_process.setStandardErrorFile(logPath());
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(u"/usr/bin/python3"_s,
            { QStringLiteral(NATALIS_TEST_SUPPORT_DIR "/radicale_server.py"), u"--config"_s,
                QString(), u"--server-hosts"_s, u"127.0.0.1:%1"_s.arg(m_port),
                u"--storage-filesystem-folder"_s, m_dir.filePath(u"storage"_s), u"--auth-type"_s,
                u"none"_s, u"--logging-level"_s, u"info"_s });
        for (int tries = 0; tries < 200 && !m_up; ++tries) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            m_up = socket.waitForConnected(100);
            if (!m_up)
                QThread::msleep(50);
        }
    }
    ~Radicale()
    {
        m_process.terminate();
        m_process.waitForFinished(10'000);
    }

    bool running() const { return m_up; }
    QUrl collection() const
    {
        return QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_port).arg(CollectionPath));
    }

    // Writes count cards into the address book as files, the way Radicale keeps them.
    bool fill(int count)
    {
        const QString folder = m_dir.filePath(u"storage/collection-root"_s) + CollectionPath;
        if (!QDir().mkpath(folder))
            return false;
        QFile props(folder + u".Radicale.props"_s);
        if (!props.open(QIODevice::WriteOnly)
            || props.write(R"({"D:displayname": "bench", "tag": "VADDRESSBOOK"})") < 0)
            return false;
        for (int i = 0; i < count; ++i) {
            const QUuid uid = QUuid::createUuid();
            QFile card(folder + uid.toString(QUuid::WithoutBraces) + u".vcf"_s);
            if (!card.open(QIODevice::WriteOnly) || card.write(phoneCard(i, uid)) < 0)
                return false;
        }
        return true;
    }

    // The collection's listing of ETags (PROPFIND, depth 1), waited for up to ten minutes.
    QByteArray listingEtags() const
    {
        const QByteArray body =
            R"(<?xml version="1.0"?><propfind xmlns="DAV:"><prop><getetag/></prop></propfind>)";
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (!socket.waitForConnected(10'000))
            return {};
        socket.write("PROPFIND " + CollectionPath.toUtf8() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n"
            + "Authorization: Basic " + QByteArray("bench:x").toBase64()
            + "\r\nDepth: 1\r\nContent-Type: application/xml\r\nConnection: close\r\n"
            + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        QByteArray answer;
        QElapsedTimer timer;
        timer.start();
        while (socket.state() == QAbstractSocket::ConnectedState && timer.elapsed() < 600'000) {
            socket.waitForReadyRead(1000);
            answer += socket.readAll();
        }
        return answer + socket.readAll();
    }

    // Every request the server has logged so far.
    int requests() const
    {
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return -1;
        return int(log.readAll().count(" request for "));
    }

private:
    QString logPath() const { return m_dir.filePath(u"radicale.log"_s); }

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_up = false;
};

// The one server both sides sync with, filled and read once before the first benchmark, and
// ended in main before the application.
std::unique_ptr<Radicale> Shared;
double FirstListingSeconds = 0; // Radicale's first listing, in which it parses and caches the cards

std::unique_ptr<Radicale> filledServer()
{
    auto radicale = std::make_unique<Radicale>();
    if (!radicale->running() || !radicale->fill(Cards))
        return nullptr;
    // A listing of every card with its ETag makes Radicale parse and cache each item. Under
    // load that takes longer than our client waits, so it is asked for here without a limit.
    QElapsedTimer timer;
    timer.start();
    if (radicale->listingEtags().count("getetag>") < Cards)
        return nullptr;
    FirstListingSeconds = double(timer.elapsed()) / 1e3;
    return radicale;
}

Radicale *server()
{
    static bool tried = false;
    if (!std::exchange(tried, true))
        Shared = filledServer();
    return Shared.get();
}

// One sync's wall time, CPU time and the requests the server logged for it.
struct Cost
{
    double seconds = 0;
    double cpu = 0;
    int requests = 0;
    bool ok = false;
    QString error; // why it failed, as the program says it
};

void report(benchmark::State &state, const Cost &first, const Cost &unchanged)
{
    state.SetIterationTime(first.seconds);
    state.counters["cards"] = Cards;
    state.counters["first_requests"] = first.requests;
    state.counters["first_cpu_s"] = first.cpu;
    state.counters["unchanged_s"] = unchanged.seconds;
    state.counters["unchanged_cpu_s"] = unchanged.cpu;
    state.counters["unchanged_requests"] = unchanged.requests;
}

Cost natalisSync(Radicale &radicale, store::Connection &connection)
{
    sync::CardSyncOptions options;
    options.addressBook = radicale.collection();
    options.now = Now;
    const int before = radicale.requests();
    const double cpu = ownCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    sync::DavClient client({ u"bench"_s, u"x"_s });
    const sync::CardSyncResult result = sync::syncAddressBook(connection, client, options);
    Cost cost { double(timer.nsecsElapsed()) / 1e9, ownCpuSeconds() - cpu, 0, result.ok,
        result.error };
    cost.requests = radicale.requests() - before;
    return cost;
}

void BM_AddressBookRadicale(benchmark::State &state)
{
    Radicale *radicale = server();
    if (!radicale) {
        state.SkipWithError("Radicale did not start or did not list the cards written to it");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming(); // the CPU time is the first sync's
        QTemporaryDir folder;
        std::optional<store::Connection> connection =
            store::OpenBirthDb(folder.filePath(u"natalis.mdb"_s));
        if (!connection) {
            state.SkipWithError("the database did not open");
            break;
        }
        state.ResumeTiming();
        const Cost first = natalisSync(*radicale, *connection);
        state.PauseTiming();
        const qsizetype birthdays = store::LoadBirthdays(*connection).Birthdays.size();
        const Cost unchanged = natalisSync(*radicale, *connection);
        state.ResumeTiming();
        report(state, first, unchanged);
        state.counters["server_first_listing_s"] = FirstListingSeconds;
        if (!first.ok || birthdays != Cards)
            state.SkipWithError(
                (u"the first sync did not make every card a birthday: "_s + first.error).toUtf8());
        if (!unchanged.ok || unchanged.requests != 1)
            state.SkipWithError("a sync with nothing changed did more than its one request");
    }
    state.SetLabel("peer: BM_VdirsyncerRadicale");
}

// Runs vdirsyncer with the config and arguments given, its answers to questions read from
// answers and its output thrown away; the cost's CPU is vdirsyncer's own, from wait4.
Cost vdirsyncer(
    Radicale &radicale, const QString &config, const QStringList &arguments, const QString &answers)
{
    QList<QByteArray> words { "vdirsyncer", "--config", QFile::encodeName(config) };
    for (const QString &argument : arguments)
        words.append(argument.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const QByteArray input = QFile::encodeName(answers);
    const int before = radicale.requests();
    QElapsedTimer timer;
    timer.start();
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(input.constData(), O_RDONLY);
        const int out = ::open("/dev/null", O_WRONLY);
        if (in < 0 || out < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(out, 2) < 0)
            ::_exit(127);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    const bool waited = child > 0 && ::wait4(child, &status, 0, &usage) == child;
    Cost cost { double(timer.nsecsElapsed()) / 1e9,
        seconds(usage.ru_utime) + seconds(usage.ru_stime), 0,
        waited && WIFEXITED(status) && WEXITSTATUS(status) == 0, {} };
    cost.requests = radicale.requests() - before;
    return cost;
}

// A pair of the address book and a folder of .vcf files, the collection named by its URL.
QByteArray vdirsyncerConfig(const QTemporaryDir &home, const QUrl &collection)
{
    return u"[general]\nstatus_path = \"%1/status/\"\n\n"
           "[pair bench]\na = \"bench_files\"\nb = \"bench_server\"\ncollections = null\n\n"
           "[storage bench_files]\ntype = \"filesystem\"\npath = \"%1/cards/\"\n"
           "fileext = \".vcf\"\n\n"
           "[storage bench_server]\ntype = \"carddav\"\nurl = \"%2\"\nusername = \"bench\"\n"
           "password = \"x\"\n"_s.arg(home.path(), collection.toString())
               .toUtf8();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void BM_VdirsyncerRadicale(benchmark::State &state)
{
    Radicale *radicale = server();
    if (!radicale) {
        state.SkipWithError("Radicale did not start or did not list the cards written to it");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir home;
        const QString config = home.filePath(u"config"_s);
        const QString answers = home.filePath(u"answers"_s);
        if (!QDir(home.path()).mkdir(u"cards"_s)
            || !writeFile(config, vdirsyncerConfig(home, radicale->collection()))
            || !writeFile(answers, QByteArray("y\n").repeated(20))) {
            state.SkipWithError("vdirsyncer's folder or config could not be written");
            break;
        }
        const Cost discovered = vdirsyncer(*radicale, config, { u"discover"_s }, answers);
        state.ResumeTiming();
        const Cost first = vdirsyncer(*radicale, config, { u"sync"_s }, answers);
        state.PauseTiming();
        const qsizetype files =
            QDir(home.filePath(u"cards"_s), u"*.vcf"_s, QDir::NoSort, QDir::Files).count();
        const Cost unchanged = vdirsyncer(*radicale, config, { u"sync"_s }, answers);
        state.ResumeTiming();
        report(state, first, unchanged);
        state.counters["child_cpu_s"] = first.cpu;
        if (!discovered.ok || !first.ok || files != Cards)
            state.SkipWithError("vdirsyncer's first sync did not bring every card");
        if (!unchanged.ok)
            state.SkipWithError("vdirsyncer's sync with nothing changed failed");
    }
}

// Both once even when the others repeat: a first sync of the whole list takes minutes.
void registerBoth()
{
    for (const auto &[name, function] :
        { std::pair { "BM_AddressBookRadicale", &BM_AddressBookRadicale },
            std::pair { "BM_VdirsyncerRadicale", &BM_VdirsyncerRadicale } })
        benchmark::RegisterBenchmark(name, function)
            ->Unit(benchmark::kSecond)
            ->UseManualTime()
            ->MeasureProcessCPUTime()
            ->Iterations(1)
            ->Repetitions(1);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    bool given = false;
    const int cards = qEnvironmentVariableIntValue("NATALIS_ADDRESSBOOK_BENCH_CARDS", &given);
    if (given && cards > 0)
        Cards = cards;
    else if (bench::shortMode(argc, argv))
        Cards /= 10;
    registerBoth();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Shared.reset();
    return 0;
}
