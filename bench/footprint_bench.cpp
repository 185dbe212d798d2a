// What the running program costs the machine besides time: resident memory per birthday over the
// program's own baseline, and how often it wakes up, idle in the tray and while the floating
// window scrolls with music. Each is measured once on the real program (these are not loops to
// time) and reported as counters beside the limit it is held to; the table of
// `scripts/bench.sh --table` prints the ratio. Each checks that the program it measured started
// with the whole list, or that the window it watched was up.

#include "answeringmessages.h"
#include "app/application.h"
#include "desktop/frmnotify.h"
#include "desktop/musicplayer.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "processstatus.h"
#include "session/appcontext.h"
#include "session/backuprestore.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "store/database.h"
#include "store/settings.h"
#include "store/transaction.h"
#include "transfer/exportfile.h"
#include "transfer/icalendarexport.h"
#include "transfer/vcardexport.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

using namespace natalis;
using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = 100'000;
// Nothing is due on this day for the list below: every birthday lies in January to April.
const QDateTime Now(QDate(2025, 9, 15), QTime(10, 0));

store::BirthdayRecord sample(int i)
{
    static const char16_t *const types[] = { u"同事", u"客户", u"代理商", u"供应商", u"家人",
        u"同学", u"朋友", u"其他" };
    store::BirthdayRecord r;
    r.About = u"客户%1"_s.arg(i);
    r.Type = QString::fromUtf16(types[i % 8]);
    r.Tel = u"139%1"_s.arg(10'000'000 + i);
    r.strGL = u"公历%1年 %2月%3日"_s.arg(1940 + i % 60)
                  .arg(1 + i % 4, 2, 10, QChar(u'0'))
                  .arg(1 + i % 28, 2, 10, QChar(u'0'));
    r.blnIsGL = u"按公历提醒"_s;
    r.Sex = i % 3 ? u"男"_s : u"女"_s;
    r.Company = u"青萍软件作坊%1"_s.arg(i % 500);
    r.Address = u"北京市海淀区中关村大街%1号"_s.arg(i % 2000);
    if (i % 5 == 0)
        r.Beizhu = u"备注：老同学，喜欢喝茶 "_s + QString::number(i);
    return r;
}

// Text made as wide as width by repeating its start.
QString widened(const QString &start, int width)
{
    QString text = start;
    while (text.size() < width)
        text += start;
    return text.left(width);
}

// How the rows of a benchmark's list are filled.
enum class Filling {
    Typical, // sample
    Filled, // every field filled, each text as long as people write it
    Widest, // every field filled, the wide ones as wide as they may be
};

// Every field filled, as a user who keeps a whole card per person leaves it: both dates, a
// class, QQ, a staff number, a company shared by a few hundred people and an address by fifty,
// and a remark on every row, one in five as wide as it may be (100 characters). Such a remark on
// every row would take half the memory limit by itself (202 bytes as UTF-16 with its length),
// whatever the program around it did. Widest also makes class, company and address as wide as
// they may be, which doubles the file (a gigabyte for a million) but hardly the memory, since
// those texts repeat.
store::BirthdayRecord filledSample(int i, Filling filling)
{
    const auto wide = [filling](const QString &text, int width) {
        return filling == Filling::Widest ? widened(text, width) : text;
    };
    store::BirthdayRecord r = sample(i);
    r.Beizhu = i % 5 == 0 ? widened(u"老同学%1，喜欢喝茶，住在城东，每年寄卡片；"_s.arg(i),
                   store::BirthdayWidths::Beizhu)
                          : u"同学，爱喝茶 %1"_s.arg(i);
    r.strNL = u"农历%1年 %2月%3日"_s.arg(1940 + i % 60)
                  .arg(1 + i % 12, 2, 10, QChar(u'0'))
                  .arg(1 + i % 30, 2, 10, QChar(u'0'));
    r.Duanxin = u"是"_s;
    r.Class = wide(u"研发部第%1组"_s.arg(i % 20), store::BirthdayWidths::Class);
    r.QQ_MSN = QString::number(1'000'000'000 + i * 7);
    r.Company = wide(r.Company + u"有限公司"_s, store::BirthdayWidths::Company);
    r.Address = wide(r.Address + u"青萍大厦"_s, store::BirthdayWidths::Address);
    r.No = u"GH%1"_s.arg(i, 10, 10, QChar(u'0'));
    return r;
}

constexpr const char *ResidentOption = "--resident-kilobytes";

// A database of rows birthdays, with the floating window off so that the idle program has
// nothing on screen.
QString makeDatabase(const QString &folder, int rows, Filling filling = Filling::Typical)
{
    QDir(folder).mkpath(u"bin"_s);
    QDir(folder).mkpath(u"lock"_s);
    const QString file = folder + u"/bin/natalis.mdb"_s;
    {
        auto connection = store::OpenBirthDb(file);
        auto settings = std::get<store::SettingsRecord>(store::ReadSettings(*connection));
        settings.intFudong = 0;
        store::WriteSettings(*connection, settings);
        store::Transaction transaction(*connection);
        for (int i = 0; i < rows; ++i)
            store::AddBirthToMdb(*connection,
                filling == Filling::Typical ? sample(i) : filledSample(i, filling),
                QDateTime::currentDateTime());
        transaction.commit();
    }
    // Everything written so far on the disk before anything is measured, this file as a user's
    // is when the program starts: a gigabyte, or a build, still being written back would charge
    // its interrupts to the start.
    ::sync();
    return file;
}

qint64 residentKilobytes()
{
    return bench::statusField(u"/proc/self/status"_s, "VmRSS");
}

// The times any thread of the process went to sleep and was woken: a wake-up each. The
// process's own count keeps those of threads that have ended (a worker done within the measure),
// which a sum over the threads still there would lose.
qint64 wakeUps()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw;
}

// The wake-ups of the window thread alone: the program's timers, painting and whatever the
// libraries it calls do there.
qint64 windowThreadWakeUps()
{
    return bench::statusField(
        u"/proc/self/task/%1/status"_s.arg(QCoreApplication::applicationPid()),
        "voluntary_ctxt_switches");
}

struct WakeUpRates
{
    double all = 0; // every thread of the process
    double windowThread = 0;
};

// Runs the event loop for the given time and returns the wake-ups a second in it.
WakeUpRates wakeUpRates(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    const qint64 before = wakeUps();
    const qint64 windowBefore = windowThreadWakeUps();
    loop.exec();
    // The quitting timer's own wake-up is the measure's, not the program's.
    return { double(wakeUps() - before - 1) * 1000.0 / milliseconds,
        double(windowThreadWakeUps() - windowBefore - 1) * 1000.0 / milliseconds };
}

double wakeUpsPerSecond(int milliseconds)
{
    return wakeUpRates(milliseconds).all;
}

struct Running
{
    session::AppContext context;
    app::Application::Launch launched;
};

// The program as main starts it from the autostart entry, in the tray, on folder's database.
std::unique_ptr<Running> start(
    const QString &folder, const platform::Clock &clock, platform::MessageSink &messages)
{
    auto running = std::make_unique<Running>();
    const session::StartupPlaces places { folder + u"/bin"_s, true, folder + u"/data"_s,
        folder + u"/lock"_s };
    running->launched = app::Application::launch(
        { QString(), places, true }, running->context, messages, clock, nullptr);
    QApplication::processEvents();
    return running;
}

void stop(std::unique_ptr<Running> running)
{
    running->launched.program.reset();
    session::shutdown(running->context);
}

bool holds(const Running &running, int rows)
{
    return running.launched.program
        && (rows == 0 ? !running.context.HasBirthdays
                      : running.context.HasBirthdays && running.context.Birthdays.size() == rows);
}

struct CpuTime
{
    qint64 milliseconds = -1; // user and system
    qint64 systemMilliseconds = -1; // the kernel's share: reading files, faulting memory in
};

// The CPU time of this process so far, all its threads.
CpuTime cpuTime()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return qint64(t.tv_sec) * 1000 + t.tv_usec / 1000; };
    return { ms(usage.ru_utime) + ms(usage.ru_stime), ms(usage.ru_stime) };
}

struct Started
{
    qint64 residentKilobytes = -1; // -1: the program did not start with the whole list
    CpuTime cpu; // from the process's start to the program's window or tray
};

// A fresh process started on folder's database, measured by this binary run again with
// ResidentOption: no earlier work of this process can blur it.
Started startedProgram(const QString &folder, int rows)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
        { QString::fromLatin1(ResidentOption), folder, QString::number(rows) });
    if (!child.waitForFinished(600'000) || child.exitCode() != 0)
        return {};
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() != 3)
        return {};
    return { figures[0].toLongLong(), { figures[1].toLongLong(), figures[2].toLongLong() } };
}

qint64 residentKilobytesOfProgram(const QString &folder, int rows)
{
    return startedProgram(folder, rows).residentKilobytes;
}

constexpr double BytesPerBirthdayLimit = 400;
constexpr double IdleWakeUpsLimit = 2;
constexpr double ScrollWakeUpsLimit = 25;
constexpr int WatchedMilliseconds = 5000;

// The benchmarks' argument: 0 for the typical list of sample, 1 for the filled list of
// filledSample, 2 for its widest.
Filling filledList(const benchmark::State &state)
{
    return Filling(state.range(0));
}

void BM_ResidentPerBirthday_100k(benchmark::State &state)
{
    QTemporaryDir empty, full;
    makeDatabase(empty.path(), 0);
    makeDatabase(full.path(), Rows, filledList(state));
    double perBirthday = 0;
    qint64 loaded = 0;
    for (auto _ : state) {
        const qint64 baseline = residentKilobytesOfProgram(empty.path(), 0);
        loaded = residentKilobytesOfProgram(full.path(), Rows);
        if (baseline < 0 || loaded < 0) {
            state.SkipWithError("the program did not start with the whole list");
            break;
        }
        perBirthday = double(loaded - baseline) * 1024.0 / Rows;
        if (perBirthday > BytesPerBirthdayLimit) {
            state.SkipWithError(("the program took " + std::to_string(perBirthday)
                + " bytes per birthday, more than its limit")
                                    .c_str());
            break;
        }
    }
    state.counters["bytes_per_birthday"] = perBirthday;
    state.counters["resident_MB"] = double(loaded) / 1024.0;
    state.SetLabel("limit: " + std::to_string(int(BytesPerBirthdayLimit)) + " bytes_per_birthday");
}
BENCHMARK(BM_ResidentPerBirthday_100k)
    ->ArgName("filled")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// A million birthdays, the largest list the program is held to: resident memory after the start
// and the CPU time the start took, from the process's own start to the program up. The start is
// measured three times and the one with least CPU time counts: a busy machine only ever adds.
// The typical and the filled list; the widest (a gigabyte, its class, company and address all
// as wide as they may be) is measured by hand, since on a machine whose fresh memory is dear its
// start comes near the limit on the engine's decryption of every page alone.
void BM_StartWithAMillion(benchmark::State &state)
{
    constexpr int Million = 1'000'000;
    constexpr int Starts = 3;
    constexpr double ResidentLimitMB = 500;
    constexpr double CpuSecondsLimit = 10;
    QTemporaryDir full;
    makeDatabase(full.path(), Million, filledList(state));
    Started started;
    for (auto _ : state) {
        for (int round = 0; round < Starts; ++round) {
            const Started again = startedProgram(full.path(), Million);
            if (again.residentKilobytes < 0) {
                started = again;
                break;
            }
            if (round == 0 || again.cpu.milliseconds < started.cpu.milliseconds)
                started = again;
        }
        if (started.residentKilobytes < 0) {
            state.SkipWithError("the program did not start with the whole list");
            break;
        }
        if (double(started.residentKilobytes) / 1024.0 > ResidentLimitMB
            || double(started.cpu.milliseconds) / 1000.0 > CpuSecondsLimit) {
            state.SkipWithError(
                ("the start took " + std::to_string(started.residentKilobytes / 1024) + " MB and "
                    + std::to_string(started.cpu.milliseconds) + " ms of CPU time ("
                    + std::to_string(started.cpu.systemMilliseconds)
                    + " ms in the kernel), more than its limit")
                    .c_str());
            break;
        }
    }
    state.counters["resident_MB"] = double(started.residentKilobytes) / 1024.0;
    state.counters["cpu_seconds"] = double(started.cpu.milliseconds) / 1000.0;
    state.counters["cpu_kernel_seconds"] = double(started.cpu.systemMilliseconds) / 1000.0;
    state.SetLabel("limit: " + std::to_string(int(ResidentLimitMB)) + " resident_MB");
}
BENCHMARK(BM_StartWithAMillion)
    ->ArgName("filled")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Starts the program once and lets it take and keep the day's backup, so that a later start the
// same day has no copy to take and read back: what is measured then is the program idle, not its
// day's first minutes.
void keepTodaysBackup(
    const QString &folder, const platform::Clock &clock, platform::MessageSink &messages)
{
    const QString daily =
        folder + u"/bin/backup/natalis-"_s + Now.date().toString(u"yyyy-MM-dd"_s) + u".mdb"_s;
    auto first = start(folder, clock, messages);
    QEventLoop waiting;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &waiting, [&] {
        if (QFile::exists(daily))
            waiting.quit();
    });
    poll.start(50);
    QTimer::singleShot(60'000, &waiting, &QEventLoop::quit);
    waiting.exec();
    stop(std::move(first));
}

// The program hidden at start-up with a long list and nothing due: only the minute timer and the
// tray's own watch should wake it. The offscreen platform has no tray, so the program waits for
// one for its grace time and then shows the main window; the measure ends before that.
void BM_WakeUpsIdleInTray_100k(benchmark::State &state)
{
    bench::AnsweringMessages messages;
    const platform::FixedClock clock(Now);
    QTemporaryDir folder;
    makeDatabase(folder.path(), Rows);
    keepTodaysBackup(folder.path(), clock, messages);
    double rate = 0;
    for (auto _ : state) {
        auto running = start(folder.path(), clock, messages);
        const bool started = holds(*running, Rows);
        rate = wakeUpsPerSecond(app::Application::TrayGraceMilliseconds - 1000);
        stop(std::move(running));
        if (!started) {
            state.SkipWithError("the program did not start with the whole list");
            break;
        }
    }
    state.counters["wake_ups_per_second"] = rate;
    state.SetLabel("limit: " + std::to_string(int(IdleWakeUpsLimit)) + " wake_ups_per_second");
}
BENCHMARK(BM_WakeUpsIdleInTray_100k)->Unit(benchmark::kMillisecond)->Iterations(1);

// A minute of silence as a WAV file (16-bit mono PCM): as long as a song, so that the measure
// sees the music playing rather than the player starting each round.
QString silentWave(const QString &folder)
{
    constexpr quint32 Rate = 8000, Samples = Rate * 60;
    QByteArray data;
    const auto put = [&data](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            data.append(char((value >> (8 * i)) & 0xFF));
    };
    data.append("RIFF");
    put(36 + Samples * 2, 4);
    data.append("WAVEfmt ");
    put(16, 4), put(1, 2), put(1, 2), put(Rate, 4), put(Rate * 2, 4), put(2, 2), put(16, 2);
    data.append("data");
    put(Samples * 2, 4);
    data.append(QByteArray(Samples * 2, '\0'));
    const QString file = folder + u"/silence.wav"_s;
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
        return QString();
    return file;
}

constexpr const char *ScrollingOption = "--wake-ups-scrolling";
// The music's start (finding the file's type, building the pipeline, reaching the sound output)
// is over within a second; what is measured is the music going on, as a song does for minutes.
constexpr int MusicStartMilliseconds = 1500;

// The child of BM_WakeUpsScrollingWithMusic: the floating window up and scrolling and the
// reminder music playing, watched once the music has started. Prints the wake-ups a second of
// all threads and of the window thread, and 1 when the player found no sound output it could
// use; exits with 1 when the window was not up.
int watchScrollingWithMusic()
{
    QTemporaryDir folder;
    bool silent = false;
    desktop::frmNotify notify;
    notify.setNotifyText(u"张三生日还有5天，李四生日还有6天"_s);
    notify.show();
    auto music = desktop::createMusicPlayer();
    music->unplayable = [&silent](const QString &) { silent = true; };
    music->play(silentWave(folder.path()));
    QEventLoop starting;
    QTimer::singleShot(MusicStartMilliseconds, &starting, &QEventLoop::quit);
    starting.exec();
    const WakeUpRates rates = wakeUpRates(WatchedMilliseconds);
    const bool shown = notify.isVisible();
    music->stop(QString());
    if (!shown)
        return 1;
    printf("%f %f %d\n", rates.all, rates.windowThread, int(silent));
    return 0;
}

// A sound server of its own for the measure: PulseAudio with a null sink, in a private runtime
// folder, ended with the object. Empty server() when none could be started.
class PrivateSoundServer
{
public:
    PrivateSoundServer()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Its cookie and state go to the private folder, not to the user's home.
        environment.insert(u"HOME"_s, m_runtime.path());
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime.path());
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(u"pulseaudio"_s,
            { u"-n"_s, u"--daemonize=no"_s, u"--exit-idle-time=-1"_s, u"--use-pid-file=no"_s,
                u"--log-level=error"_s, u"-L"_s, u"module-null-sink"_s, u"-L"_s,
                u"module-native-protocol-unix auth-anonymous=1"_s });
        if (!m_process.waitForStarted(5000))
            return;
        const QString socket = m_runtime.filePath(u"pulse/native"_s);
        for (int waited = 0; waited < 10'000 && !QFile::exists(socket); waited += 50) {
            if (m_process.waitForFinished(50))
                return;
        }
        if (QFile::exists(socket))
            m_server = u"unix:"_s + socket;
    }
    ~PrivateSoundServer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    const QString &server() const { return m_server; }
    const QString runtimeFolder() const { return m_runtime.path(); }

private:
    QTemporaryDir m_runtime;
    QProcess m_process;
    QString m_server;
};

// The floating window up and scrolling with the reminder music playing, each measure in a fresh
// process: with a sound server of its own (sound_server:1), as on a desktop, and with none
// (sound_server:0), where the player plays into nothing. The label says when the player found
// no sound output at all.
void BM_WakeUpsScrollingWithMusic(benchmark::State &state)
{
    const bool withServer = state.range(0) != 0;
    WakeUpRates rates;
    bool silent = false;
    for (auto _ : state) {
        std::optional<PrivateSoundServer> server;
        QTemporaryDir noServer;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"PULSE_SERVER"_s);
        if (withServer) {
            server.emplace();
            if (server->server().isEmpty()) {
                state.SkipWithError("no sound server could be started (pulseaudio)");
                break;
            }
            environment.insert(u"XDG_RUNTIME_DIR"_s, server->runtimeFolder());
            environment.insert(u"PULSE_SERVER"_s, server->server());
        } else {
            // A runtime folder of its own: no sound server of the session is found there.
            environment.insert(u"XDG_RUNTIME_DIR"_s, noServer.path());
        }
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(
            QCoreApplication::applicationFilePath(), { QString::fromLatin1(ScrollingOption) });
        const bool finished = child.waitForFinished(60'000) && child.exitCode() == 0;
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        if (!finished || figures.size() != 3) {
            state.SkipWithError("the floating window was not up");
            break;
        }
        rates = { figures[0].toDouble(), figures[1].toDouble() };
        silent = figures[2] == "1";
        if (withServer && silent) {
            state.SkipWithError("the music did not play through the sound server");
            break;
        }
    }
    state.counters["wake_ups_per_second"] = rates.all;
    state.counters["window_thread_per_second"] = rates.windowThread;
    state.SetLabel("limit: " + std::to_string(int(ScrollWakeUpsLimit)) + " wake_ups_per_second"
        + (silent ? " (no sound output: scrolling only)" : ""));
}
BENCHMARK(BM_WakeUpsScrollingWithMusic)
    ->ArgName("sound_server")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The memory an export takes on top of the list it writes: the peak resident size during each of
// the four exports of a 100,000-birthday list, over the resident size before it. The files are
// written piece by piece, so the peak should not grow with the list; the .ics export still
// gathers its events first. Each checks the count its export reports.
void BM_ExportPeakMemory_100k(benchmark::State &state)
{
    store::BirthdayList list;
    list.reserve(Rows);
    for (int i = 0; i < Rows; ++i) {
        store::BirthdayRecord record = sample(i);
        record.Id = i + 1;
        list.append(record);
    }
    QTemporaryDir folder;
    QFile clearRefs(u"/proc/self/clear_refs"_s);
    // Peak resident memory over the resident memory before, in MB, of one export.
    const auto peakOf = [&](auto &&exportNow) {
        const qint64 before = residentKilobytes();
        // "5" starts the peak afresh (Linux 4.0 and later).
        if (clearRefs.open(QIODevice::WriteOnly)) {
            clearRefs.write("5");
            clearRefs.close();
        }
        const bool ok = exportNow();
        const qint64 peak = bench::statusField(u"/proc/self/status"_s, "VmHWM");
        return ok ? double(peak - before) / 1024.0 : -1.0;
    };
    double text = 0, csv = 0, ics = 0, vcf = 0;
    for (auto _ : state) {
        text = peakOf([&] {
            return transfer::exportBirthdays(list, folder.filePath(u"list.txt"_s)).written == Rows;
        });
        csv = peakOf([&] {
            return transfer::exportBirthdays(list, folder.filePath(u"list.csv"_s),
                       { transfer::ExportFormat::Csv, QString(), {} })
                       .written
                == Rows;
        });
        ics = peakOf([&] {
            const transfer::IcsOptions options { 2025, 1, false,
                QDateTime(QDate(2025, 6, 1), QTime(8, 0), Qt::UTC) };
            return transfer::exportIcs(list, folder.filePath(u"list.ics"_s), options, QString())
                       .events
                >= Rows;
        });
        vcf = peakOf([&] {
            return transfer::exportVcards(list, folder.filePath(u"list.vcf"_s), QString()).cards
                == Rows;
        });
        if (text < 0 || csv < 0 || ics < 0 || vcf < 0) {
            state.SkipWithError("an export did not write every birthday");
            break;
        }
    }
    state.counters["text_MB"] = text;
    state.counters["csv_MB"] = csv;
    state.counters["ics_MB"] = ics;
    state.counters["vcf_MB"] = vcf;
    state.counters["peak_MB"] = std::max({ text, csv, ics, vcf });
    state.SetLabel("limit: 50 peak_MB");
}
// Once even when the others repeat: a second round would grow into the heap the first one left
// and show no peak at all.
BENCHMARK(BM_ExportPeakMemory_100k)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(1);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The child of BM_ResidentPerBirthday_100k: start, print the resident kilobytes, end.
    if (argc == 4 && QByteArrayView(argv[1]) == ResidentOption) {
        bench::AnsweringMessages messages;
        const platform::FixedClock clock(Now);
        auto running = start(QString::fromLocal8Bit(argv[2]), clock, messages);
        const bool started = holds(*running, QByteArray(argv[3]).toInt());
        const qint64 resident = residentKilobytes();
        const CpuTime cpu = cpuTime();
        stop(std::move(running));
        if (!started)
            return 1;
        printf("%lld %lld %lld\n", static_cast<long long>(resident),
            static_cast<long long>(cpu.milliseconds),
            static_cast<long long>(cpu.systemMilliseconds));
        return 0;
    }
    if (argc == 2 && QByteArrayView(argv[1]) == ScrollingOption)
        return watchScrollingWithMusic();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
