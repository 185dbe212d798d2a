// The main window's load with a large list, against the loader alone on the same file (its floor,
// named in the label for `scripts/bench.sh --table`), and the delete of a large selection. Each
// checks what the window or the loader holds afterwards.

#include "answeringmessages.h"
#include "app/application.h"
#include "app/frmget.h"
#include "desktop/musicplayer.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "store/database.h"
#include "store/transaction.h"

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace natalis;

namespace {

constexpr int Rows = 100000;

store::BirthdayRecord sample(int i)
{
    static const char16_t *const types[] = { u"同事", u"客户", u"代理商", u"供应商", u"家人",
        u"同学", u"朋友", u"其他" };
    store::BirthdayRecord r;
    r.About = QStringLiteral("客户%1").arg(i);
    r.Type = QString::fromUtf16(types[i % 8]);
    r.Tel = QStringLiteral("139%1").arg(10000000 + i);
    r.strGL = QStringLiteral("公历%1年 %2月%3日")
                  .arg(1940 + i % 60)
                  .arg(1 + i % 12, 2, 10, QChar(u'0'))
                  .arg(1 + i % 28, 2, 10, QChar(u'0'));
    r.strNL = QStringLiteral("农历%1年 %2月%3日")
                  .arg(1940 + i % 60)
                  .arg(1 + i % 12, 2, 10, QChar(u'0'))
                  .arg(1 + i % 29, 2, 10, QChar(u'0'));
    r.blnIsGL = i % 2 ? QStringLiteral("按公历提醒") : QStringLiteral("按农历提醒");
    r.intNums = qint16(i % 15);
    r.Duanxin = QStringLiteral("否");
    r.Company = QStringLiteral("青萍软件作坊%1").arg(i % 500);
    return r;
}

QString fillDatabase(const QString &file, int rows, bool oneCategory)
{
    auto connection = store::OpenBirthDb(file);
    store::Transaction transaction(*connection);
    for (int i = 0; i < rows; ++i) {
        store::BirthdayRecord record = sample(i);
        if (oneCategory)
            record.Type = QStringLiteral("同事");
        store::AddBirthToMdb(*connection, record, QDateTime::currentDateTime());
    }
    transaction.commit();
    return file;
}

QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

const QString &filledDatabase()
{
    static const QString path =
        fillDatabase(scratch().filePath(QStringLiteral("natalis.mdb")), Rows, false);
    return path;
}

void BM_LoadBirthdays_100k(benchmark::State &state)
{
    auto connection = store::OpenBirthDb(filledDatabase());
    store::BirthdayLoad load;
    for (auto _ : state) {
        load = store::LoadBirthdays(*connection);
        benchmark::DoNotOptimize(load);
    }
    if (load.error || !load.HasBirthdays || load.Birthdays.size() != Rows)
        state.SkipWithError("the loaded list is not the file's");
}
BENCHMARK(BM_LoadBirthdays_100k)->Unit(benchmark::kMillisecond);

// From the open database to the main window shown: load, lists, start-up reminder.
void BM_MainWindowLoad_100k(benchmark::State &state)
{
    auto connection = store::OpenBirthDb(filledDatabase());
    // Every question answered Yes, the delete confirmation included.
    bench::AnsweringMessages messages(platform::MessageButton::Yes);
    platform::FixedClock clock(QDateTime(QDate(2025, 6, 15), QTime(8, 0)));
    for (auto _ : state) {
        session::AppContext context;
        store::BirthdayLoad load = store::LoadBirthdays(*connection);
        context.Birthdays = std::move(load.Birthdays);
        context.HasBirthdays = load.HasBirthdays;
        context.Settings.intFudong = 0;
        app::Application program(context, messages, clock, nullptr);
        app::frmGet &window = program.window();
        window.show();
        QApplication::processEvents();
        state.PauseTiming();
        int listed = 0;
        for (int category = 0; category < app::frmGet::CategoryCount; ++category)
            listed += window.listModel(category)->rowCount();
        window.hide();
        state.ResumeTiming();
        // Reported after the timing runs again: the library refuses to resume a failed run.
        if (listed != Rows) {
            state.SkipWithError("the main window's lists do not hold every birthday once");
            break;
        }
    }
    state.SetLabel("floor: BM_LoadBirthdays_100k");
}
BENCHMARK(BM_MainWindowLoad_100k)->Unit(benchmark::kMillisecond);

// Deleting 40,000 selected birthdays of one list, from the delete button to the window answering
// again: the database delete, the list update in one pass, the array reload and the reminders.
void BM_DeleteSelected_40k(benchmark::State &state)
{
    constexpr int Deleted = 40000;
    static const QString prepared =
        fillDatabase(scratch().filePath(QStringLiteral("delete.mdb")), Deleted, true);
    const QString working = scratch().filePath(QStringLiteral("working.mdb"));
    // Every question answered Yes, the delete confirmation included.
    bench::AnsweringMessages messages(platform::MessageButton::Yes);
    platform::FixedClock clock(QDateTime(QDate(2025, 6, 15), QTime(8, 0)));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(working);
        QFile::copy(prepared, working);
        session::AppContext context;
        context.DbConnection = store::OpenBirthDb(working);
        // As the program loads: the data version is noted, so that showing the window does not
        // reload the lists (and clear the selection) as if another program had written.
        birthdays::reloadBirthdays(context, messages);
        context.Settings.intFudong = 0;
        app::Application program(context, messages, clock, nullptr);
        app::frmGet &window = program.window();
        window.show();
        QApplication::processEvents();
        window.listView(0)->selectAll();
        state.ResumeTiming();
        window.cmdDel_Click();
        QApplication::processEvents();
        state.PauseTiming();
        const bool deleted = window.listModel(0)->rowCount() == 0
            && !store::LoadBirthdays(*context.DbConnection).HasBirthdays;
        window.hide();
        state.ResumeTiming();
        if (!deleted) {
            // Reported after the timing is running again: the library refuses to resume a run
            // that already failed.
            state.SkipWithError("birthdays left after the delete");
            break;
        }
    }
}
BENCHMARK(BM_DeleteSelected_40k)->Unit(benchmark::kMillisecond)->Iterations(3);

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
