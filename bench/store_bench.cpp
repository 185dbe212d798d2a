// The birthday loader against the floor of a bare prepared select over the same file (named in
// the label for `scripts/bench.sh --table`), and the cost of a large insert batch. Each checks
// the rows it read or wrote.

#include "store/birthdays.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/transaction.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>
#include <string>
#include <vector>

using namespace natalis::store;
using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = 100'000;

// Realistic spread: names, numbers and card numbers differ, a fifth have remarks, addresses
// and companies repeat a little, categories and flags repeat a lot.
BirthdayRecord sampleRecord(int i)
{
    static const QStringList types = { u"同事"_s, u"客户"_s, u"代理商"_s, u"供应商"_s, u"家人"_s,
        u"同学"_s, u"朋友"_s, u"其他"_s };
    BirthdayRecord r;
    r.About = u"张三"_s + QString::number(i);
    r.Type = types[(i * 7) % types.size()];
    r.Tel = i % 3 ? u"139"_s + QString::number(10'000'000 + i) : u"021-1234"_s;
    if (i % 5 == 0)
        r.Beizhu = u"备注：老同学，喜欢喝茶 "_s + QString::number(i);
    r.strGL = u"公历%1年 %2月%3日"_s.arg(1940 + i % 60)
                  .arg(1 + i % 12, 2, 10, QChar(u'0'))
                  .arg(1 + i % 28, 2, 10, QChar(u'0'));
    r.strNL = u"农历%1年三月廿八"_s.arg(1940 + i % 60);
    r.blnIsGL = i % 2 ? u"按公历提醒"_s : u"按农历提醒"_s;
    r.Duanxin = i % 4 ? u"是"_s : u"否"_s;
    r.Sex = i % 3 ? u"男"_s : u"女"_s;
    r.Class = u"部门"_s + QString::number(i % 20);
    r.QQ_MSN = QString::number(100'000 + i * 13);
    r.Company = u"青萍软件作坊"_s + QString::number(i % 500);
    r.Address = u"北京市海淀区中关村大街%1号"_s.arg(i % 2000);
    r.No = QString::number(i);
    return r;
}

// The worst case for the loader: every text column as wide as it may be, a remark on every row.
BirthdayRecord fullRecord(int i)
{
    BirthdayRecord r = sampleRecord(i);
    const QString digits = QString::number(i);
    const auto wide = [&](QString text, int width) {
        while (text.size() < width)
            text += digits;
        return text.left(width);
    };
    r.About = wide(r.About, BirthdayWidths::About);
    r.Tel = wide(u"139"_s + digits, BirthdayWidths::Tel);
    r.Beizhu = wide(u"备注：老同学，喜欢喝茶，住在城东，每年寄卡片 "_s, BirthdayWidths::Beizhu);
    r.Class = wide(r.Class, BirthdayWidths::Class);
    r.QQ_MSN = wide(r.QQ_MSN, BirthdayWidths::QQ_MSN);
    r.Company = wide(r.Company + u"有限公司"_s, BirthdayWidths::Company);
    r.Address = wide(r.Address + u"某某大厦"_s, BirthdayWidths::Address);
    r.No = wide(r.No, BirthdayWidths::No);
    return r;
}

// The benchmarks' argument: which kind of rows the file holds.
enum Fill { Realistic, Full };

void insertRows(Connection &db, int fill = Realistic)
{
    Transaction transaction(db);
    for (int i = 0; i < Rows; ++i)
        AddBirthToMdb(
            db, fill == Full ? fullRecord(i) : sampleRecord(i), QDateTime::currentDateTime());
    transaction.commit();
}

// One file of Rows birthdays of each kind, made once for the whole run.
const QString &filledDatabase(int fill)
{
    static QTemporaryDir dir;
    static QString paths[2];
    QString &path = paths[fill];
    if (path.isEmpty()) {
        path = dir.filePath(u"natalis%1.mdb"_s.arg(fill));
        auto db = OpenBirthDb(path);
        insertRows(*db, fill);
    }
    return path;
}

// The bare select of the same file, named as Google Benchmark names it.
std::string rawSelectFloor(const benchmark::State &state)
{
    return "floor: BM_RawSelect_100k/full:" + std::to_string(state.range(0));
}

// The loaded list is the file's: every row, the first as sampleRecord(6) wrote it (the loader
// groups by category in UTF-8 order, which puts 代理商 first, and row 6 is its lowest Id).
bool isTheFile(const BirthdayLoad &load, int fill)
{
    const BirthdayRecord expected = fill == Full ? fullRecord(6) : sampleRecord(6);
    return !load.error && load.HasBirthdays && load.Birthdays.size() == Rows
        && load.Birthdays.first().About == expected.About
        && load.Birthdays.first().Tel == expected.Tel
        && load.Birthdays.first().Address == expected.Address;
}

qint64 countRows(Connection &db)
{
    sqlite3_stmt *stmt = nullptr;
    qint64 rows = -1;
    if (sqlite3_prepare_v2(db.handle(), "select count(*) from birthday", -1, &stmt, nullptr)
            == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        rows = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return rows;
}

void BM_LoadBirthdays_100k(benchmark::State &state)
{
    auto db =
        Connection::open(filledDatabase(int(state.range(0))), Connection::OpenMode::ExistingOnly);
    BirthdayLoad load;
    for (auto _ : state) {
        load = LoadBirthdays(*db);
        benchmark::DoNotOptimize(load);
    }
    if (!isTheFile(load, int(state.range(0))))
        state.SkipWithError("the loaded list is not the file's");
    state.SetItemsProcessed(state.iterations() * Rows);
    state.SetLabel(rawSelectFloor(state));
}
BENCHMARK(BM_LoadBirthdays_100k)
    ->Unit(benchmark::kMillisecond)
    ->ArgName("full")
    ->Arg(Realistic)
    ->Arg(Full);

// The program's own reload after a change: the new array reuses the memory of the old one.
void BM_ReloadBirthdays_100k(benchmark::State &state)
{
    auto db =
        Connection::open(filledDatabase(int(state.range(0))), Connection::OpenMode::ExistingOnly);
    BirthdayLoad load = LoadBirthdays(*db);
    for (auto _ : state) {
        load = LoadBirthdays(*db, std::move(load.Birthdays));
        benchmark::DoNotOptimize(load);
    }
    if (!isTheFile(load, int(state.range(0))))
        state.SkipWithError("the reloaded list is not the file's");
    state.SetItemsProcessed(state.iterations() * Rows);
    state.SetLabel(rawSelectFloor(state));
}
BENCHMARK(BM_ReloadBirthdays_100k)
    ->Unit(benchmark::kMillisecond)
    ->ArgName("full")
    ->Arg(Realistic)
    ->Arg(Full);

void BM_RawSelect_100k(benchmark::State &state)
{
    auto db =
        Connection::open(filledDatabase(int(state.range(0))), Connection::OpenMode::ExistingOnly);
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db->handle(), "select * from birthday", -1, &stmt, nullptr);
        const int columns = sqlite3_column_count(stmt);
        std::vector<std::string> fields(columns);
        int rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                fields[c].assign(text ? text : "", sqlite3_column_bytes(stmt, c));
            }
            benchmark::DoNotOptimize(fields);
            ++rows;
        }
        sqlite3_finalize(stmt);
        if (rows != Rows) {
            state.SkipWithError("the select did not return every row");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(BM_RawSelect_100k)
    ->Unit(benchmark::kMillisecond)
    ->ArgName("full")
    ->Arg(Realistic)
    ->Arg(Full);

void BM_AddBirth_100k(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        auto db = OpenBirthDb(dir.filePath(u"natalis.mdb"_s));
        state.ResumeTiming();
        insertRows(*db);
        state.PauseTiming();
        const bool inserted = countRows(*db) == Rows;
        state.ResumeTiming();
        // Reported after the timing runs again: the library refuses to resume a failed run.
        if (!inserted) {
            state.SkipWithError("the file does not hold every inserted row");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(BM_AddBirth_100k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
