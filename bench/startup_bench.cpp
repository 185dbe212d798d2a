// The whole start with a large list, from the entry routine to the main window on screen:
// compaction with the day's backup, connection, settings, the birthdays, the reset of stale SMS
// marks and the eight lists.

#include "answeringmessages.h"
#include "app/application.h"
#include "desktop/musicplayer.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/backuprestore.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "store/compaction.h"
#include "store/database.h"
#include "store/settings.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace natalis;
using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = 100'000;
constexpr int StaleMarks = 10'000;
const QDateTime Now(QDate(2025, 6, 15), QTime(8, 0));

// Every tenth row was greeted for a January birthday: long past on 15 June, so its mark is stale.
store::BirthdayRecord sample(int i)
{
    static const char16_t *const types[] = { u"同事", u"客户", u"代理商", u"供应商", u"家人",
        u"同学", u"朋友", u"其他" };
    const bool greeted = i % (Rows / StaleMarks) == 0;
    store::BirthdayRecord r;
    r.About = u"客户%1"_s.arg(i);
    r.Type = QString::fromUtf16(types[i % 8]);
    r.Tel = u"139%1"_s.arg(10'000'000 + i);
    r.strGL = u"公历%1年 %2月%3日"_s.arg(1940 + i % 60)
                  .arg(greeted ? 1 : 1 + i % 12, 2, 10, QChar(u'0'))
                  .arg(1 + i % 28, 2, 10, QChar(u'0'));
    r.blnIsGL = u"按公历提醒"_s;
    r.intNums = qint16(i % 15);
    r.Duanxin = greeted ? u"是"_s : u"否"_s;
    r.DxSend = greeted ? u"1"_s : u"0"_s;
    r.Company = u"青萍软件作坊%1"_s.arg(i % 500);
    return r;
}

const QString &filledDatabase()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(u"natalis.mdb"_s);
        auto connection = store::OpenBirthDb(file);
        // The floating window stays closed, as the reminder's own benchmark measures it.
        auto settings = std::get<store::SettingsRecord>(store::ReadSettings(*connection));
        settings.intFudong = 0;
        store::WriteSettings(*connection, settings);
        store::Transaction transaction(*connection);
        for (int i = 0; i < Rows; ++i)
            store::AddBirthToMdb(*connection, sample(i), QDateTime::currentDateTime());
        transaction.commit();
        return file;
    }();
    return path;
}

int staleMarksLeft(store::Connection &connection)
{
    store::Statement count = connection.prepare("select count(*) from birthday where DxSend='1'");
    return count.step() ? int(count.integer(0)) : -1;
}

void BM_StartToWindowShown_100k(benchmark::State &state)
{
    bench::AnsweringMessages messages;
    const platform::FixedClock clock(Now);
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir run;
        QDir(run.path()).mkpath(u"bin"_s);
        QDir(run.path()).mkpath(u"lock"_s);
        QFile::copy(filledDatabase(), run.filePath(u"bin/natalis.mdb"_s));
        const session::StartupPlaces places { run.filePath(u"bin"_s), true, run.filePath(u"data"_s),
            run.filePath(u"lock"_s) };
        session::AppContext context;
        state.ResumeTiming();

        auto launched =
            app::Application::launch({ QString(), places }, context, messages, clock, nullptr);
        if (!launched.program) {
            state.SkipWithError("start-up failed");
            break;
        }
        QApplication::processEvents();

        state.PauseTiming();
        const bool reset = staleMarksLeft(*context.DbConnection) == 0;
        launched.program.reset();
        session::shutdown(context);
        state.ResumeTiming();
        // Reported after the timing runs again: the library refuses to resume a failed run.
        if (!reset) {
            state.SkipWithError("stale marks left in the table");
            break;
        }
    }
}
BENCHMARK(BM_StartToWindowShown_100k)->Unit(benchmark::kMillisecond)->Iterations(3);

// The start's care of the file alone: with nothing deleted, no compaction is due, and the day's
// copy is left to the worker that reads it back.
void BM_Compaction_100k(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir run;
        const QString file = run.filePath(u"natalis.mdb"_s);
        QFile::copy(filledDatabase(), file);
        state.ResumeTiming();
        const store::CompactOutcome outcome = store::CompactBirthDb(file, Now.date()).outcome;
        state.PauseTiming();
        // The file still opens under the key and holds every row.
        bool whole = false;
        if (outcome == store::CompactOutcome::NotDue) {
            auto connection =
                store::Connection::open(file, store::Connection::OpenMode::ExistingOnly);
            store::Statement count = connection->prepare("select count(*) from birthday");
            whole = count.step() && count.integer(0) == Rows;
        }
        state.ResumeTiming();
        if (!whole) {
            state.SkipWithError("the compaction did not leave a whole file");
            break;
        }
    }
}
BENCHMARK(BM_Compaction_100k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
