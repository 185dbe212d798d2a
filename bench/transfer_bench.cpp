// Import of a 100,000-line tab file (read, parse, preview, one-transaction insert into an empty
// database) against the floor of reading the same file and splitting it into fields. The parts
// follow on their own: reading with the preview, and the insert of an already built preview,
// the latter also into an unkeyed file and as bare engine inserts, so that the price of the
// encryption and of our own layers shows beside the engine's.

#include "store/ansicodec.h"
#include "store/birthdayrecord.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/transaction.h"
#include "transfer/importinsert.h"
#include "transfer/importpreview.h"
#include "transfer/importreader.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <array>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace natalis;
using namespace Qt::StringLiterals;

namespace {

constexpr int Lines = 100'000;

// Distinct names; categories, rules and flags repeat; half the dates lunar, some leap months.
QString sampleLine(int i)
{
    static const QStringList types = { u"同事"_s, u"客户"_s, u"代理商"_s, u"供应商"_s, u"家人"_s,
        u"同学"_s, u"朋友"_s, u"其他"_s };
    const bool lunar = i % 2;
    const QString date = lunar ? (i % 10 == 1 ? u"2006-闰07-15"_s
                                              : u"%1-%2-%3"_s.arg(1940 + i % 60)
                                                    .arg(1 + i % 12, 2, 10, QChar(u'0'))
                                                    .arg(1 + i % 29, 2, 10, QChar(u'0')))
                               : u"%1-%2-%3"_s.arg(1940 + i % 60).arg(1 + i % 12).arg(1 + i % 28);
    const QStringList fields = { u"张三"_s + QString::number(i), types[i % 8],
        u"139"_s + QString::number(10'000'000 + i), i % 5 ? QString() : u"老同学，喜欢喝茶"_s, date,
        lunar ? u"按农历提醒"_s : u"按公历提醒"_s, QString::number(i % 15),
        i % 4 ? u"是"_s : u"否"_s, i % 3 ? u"男"_s : u"女"_s, u"部门"_s + QString::number(i % 20),
        QString::number(100'000 + i * 13), u"青萍软件作坊"_s, u"北京市海淀区中关村大街1号"_s,
        QString::number(i) };
    return fields.join(u'\t');
}

// The file in the ANSI code page, written once for the whole run.
const QString &importFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        QString text;
        for (int i = 0; i < Lines; ++i)
            text += sampleLine(i) + u"\r\n"_s;
        QFile file(dir.filePath(u"birthdays.txt"_s));
        if (!file.open(QIODevice::WriteOnly) || file.write(store::toAnsi(text)) < 0)
            std::abort();
        return file.fileName();
    }();
    return path;
}

void BM_ReadAndSplitFloor(benchmark::State &state)
{
    for (auto _ : state) {
        QFile file(importFile());
        if (!file.open(QIODevice::ReadOnly))
            std::abort();
        const QByteArray bytes = file.readAll();
        std::vector<QByteArrayView> fields;
        qsizetype count = 0;
        for (qsizetype start = 0; start < bytes.size();) {
            qsizetype end = bytes.indexOf('\n', start);
            if (end < 0)
                end = bytes.size();
            fields.clear();
            for (qsizetype field = start; field <= end;) {
                qsizetype tab = bytes.indexOf('\t', field);
                if (tab < 0 || tab > end)
                    tab = end;
                fields.push_back(QByteArrayView(bytes).sliced(field, tab - field));
                field = tab + 1;
            }
            count += qsizetype(fields.size());
            start = end + 1;
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * Lines);
}
BENCHMARK(BM_ReadAndSplitFloor)->Unit(benchmark::kMillisecond);

// An empty database with the full schema, in a folder of its own. Without the key the file stays
// plain SQLite, with the page size of a keyed file so that only the cipher differs: the peer
// that prices the encryption.
std::optional<store::Connection> openEmpty(const QTemporaryDir &dir, bool keyed)
{
    const QString path = dir.filePath(u"bench.mdb"_s);
    if (keyed)
        return store::OpenBirthDb(path);
    auto db = store::Connection::open(
        path, store::Connection::OpenMode::CreateIfMissing, nullptr, std::string_view());
    if (db) {
        db->exec("pragma page_size=1024");
        store::createSchema(*db);
    }
    return db;
}

// Proves which kind of file a run wrote: only an unkeyed file starts with the SQLite header.
void requireKind(const QTemporaryDir &dir, bool keyed)
{
    QFile file(dir.filePath(u"bench.mdb"_s));
    if (!file.open(QIODevice::ReadOnly) || file.read(15).startsWith("SQLite format 3") == keyed)
        std::abort();
}

const transfer::ImportPreview &builtPreview()
{
    static const transfer::ImportPreview preview = transfer::buildImportPreview(
        transfer::readImportFile(importFile(), transfer::ImportLayout::Tab).records, {});
    return preview;
}

// Times work on a fresh empty database per iteration; opening and closing the file are not
// timed.
template<typename Work>
void timeOnEmptyDatabase(benchmark::State &state, bool keyed, Work work)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        std::optional<store::Connection> db = openEmpty(dir, keyed);
        if (!db)
            std::abort();
        state.ResumeTiming();

        work(*db);

        state.PauseTiming();
        db.reset();
        requireKind(dir, keyed);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Lines);
}

void addPreview(store::Connection &db, const transfer::ImportPreview &preview)
{
    const transfer::ImportOutcome outcome = transfer::addImportedBirthdays(
        db, preview, transfer::ImportLayout::Tab, QDateTime::currentDateTime());
    if (!outcome.ok || outcome.added != Lines)
        std::abort();
}

void BM_ImportIntoEmptyDatabase(benchmark::State &state)
{
    timeOnEmptyDatabase(state, true, [](store::Connection &db) {
        transfer::ImportReading reading =
            transfer::readImportFile(importFile(), transfer::ImportLayout::Tab);
        addPreview(db, transfer::buildImportPreview(std::move(reading.records), {}));
    });
    state.SetLabel("floor: BM_ReadAndSplitFloor");
}
BENCHMARK(BM_ImportIntoEmptyDatabase)->Unit(benchmark::kMillisecond);

// The first part of the import alone: read, decode, parse, preview.
void BM_ReadAndPreview(benchmark::State &state)
{
    for (auto _ : state) {
        transfer::ImportReading reading =
            transfer::readImportFile(importFile(), transfer::ImportLayout::Tab);
        const transfer::ImportPreview preview =
            transfer::buildImportPreview(std::move(reading.records), {});
        if (preview.tickedCount != Lines)
            std::abort();
    }
    state.SetItemsProcessed(state.iterations() * Lines);
    state.SetLabel("floor: BM_ReadAndSplitFloor");
}
BENCHMARK(BM_ReadAndPreview)->Unit(benchmark::kMillisecond);

// The second part alone: the insert of a preview built beforehand; argument 1 keyed, 0 plain.
void BM_AddPreviewed(benchmark::State &state)
{
    const transfer::ImportPreview &preview = builtPreview();
    timeOnEmptyDatabase(
        state, state.range(0) != 0, [&preview](store::Connection &db) { addPreview(db, preview); });
    // The bare engine's insert of the same rows into the same kind of file.
    state.SetLabel(state.range(0) != 0 ? "floor: BM_EngineInsertFloor/keyed:1"
                                       : "floor: BM_EngineInsertFloor/keyed:0");
}
BENCHMARK(BM_AddPreviewed)->ArgName("keyed")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

using StoredRow = std::array<QByteArray, 15>;

// The rows exactly as the import stores them, as UTF-8, with intnums apart.
const std::vector<std::pair<StoredRow, int>> &storedRows()
{
    static const auto rows = [] {
        std::vector<std::pair<StoredRow, int>> result;
        for (const transfer::PreviewRow &row : builtPreview().rows) {
            const store::BirthdayRecord r = transfer::storedBirthday(row.record);
            result.push_back(
                { { r.About.toUtf8(), r.Type.toUtf8(), r.Tel.toUtf8(), r.Beizhu.toUtf8(),
                      r.strGL.toUtf8(), r.strNL.toUtf8(), r.blnIsGL.toUtf8(), r.Duanxin.toUtf8(),
                      r.Sex.toUtf8(), r.Class.toUtf8(), r.QQ_MSN.toUtf8(), r.Company.toUtf8(),
                      r.Address.toUtf8(), r.No.toUtf8(), r.DxSend.toUtf8() },
                    r.intNums });
        }
        return result;
    }();
    return rows;
}

// The engine's own price of the same rows: one prepared insert, the ready UTF-8 bound without a
// copy, one transaction. What the import adds beyond this is ours.
void insertStoredRows(store::Connection &db)
{
    store::Transaction transaction(db);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db.handle(),
        "insert into birthday([About],[Type],[Tel],[Beizhu],[strGL],[strNL],[blnIsGL],"
        "[Duanxin],[Sex],[Class],[QQ_MSN],[Company],[Address],[No],[DxSend],[intnums]) "
        "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
        -1, &insert, nullptr);
    for (const auto &[texts, days] : storedRows()) {
        int index = 0;
        for (const QByteArray &text : texts)
            sqlite3_bind_text(insert, ++index, text.constData(), int(text.size()), SQLITE_STATIC);
        sqlite3_bind_int(insert, ++index, days);
        if (sqlite3_step(insert) != SQLITE_DONE)
            std::abort();
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    transaction.commit();
}

// Argument 1 keyed, 0 plain.
void BM_EngineInsertFloor(benchmark::State &state)
{
    storedRows();
    timeOnEmptyDatabase(state, state.range(0) != 0, insertStoredRows);
}
BENCHMARK(BM_EngineInsertFloor)->ArgName("keyed")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// A million-line file, written in pieces so that writing it does not raise the process's peak
// above what reading it takes.
const QString &millionLineFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        QFile file(dir.filePath(u"million.txt"_s));
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        for (int start = 0; start < 1'000'000; start += 10'000) {
            QString text;
            for (int i = start; i < start + 10'000; ++i)
                text += sampleLine(i) + u"\r\n"_s;
            if (file.write(store::toAnsi(text)) < 0)
                std::abort();
        }
        return file.fileName();
    }();
    return path;
}

qint64 residentBytes()
{
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

qint64 peakResidentBytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

// What the window's worker does with a million-line file: read, detect, decode, parse, report,
// preview. The peak counter is the process's highest resident size above the size before the
// reading, in multiples of the file size; meaningful in a run of this benchmark alone
// (--benchmark_filter=Million), since the peak never comes down.
void BM_ReadAndPreviewMillionLines(benchmark::State &state)
{
    const qint64 fileBytes = QFileInfo(millionLineFile()).size();
    const qint64 before = residentBytes();
    for (auto _ : state) {
        transfer::ImportReading reading =
            transfer::readImportFile(millionLineFile(), transfer::ImportLayout::Tab);
        state.counters["read_peak_x_file"] =
            double(peakResidentBytes() - before) / double(fileBytes);
        const transfer::ImportPreview preview =
            transfer::buildImportPreview(std::move(reading), {});
        if (preview.tickedCount != 1'000'000)
            std::abort();
        state.counters["held_x_file"] = double(residentBytes() - before) / double(fileBytes);
    }
    state.counters["file_MB"] = double(fileBytes) / (1024 * 1024);
    state.counters["peak_x_file"] = double(peakResidentBytes() - before) / double(fileBytes);
}
BENCHMARK(BM_ReadAndPreviewMillionLines)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
