// Import of a 100,000-line tab file (read, parse, preview, one-transaction insert into an empty
// database) against the floor of reading the same file and splitting it into fields.

#include "store/ansicodec.h"
#include "store/connection.h"
#include "store/database.h"
#include "transfer/importinsert.h"
#include "transfer/importpreview.h"
#include "transfer/importreader.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
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
        if (!file.open(QIODevice::WriteOnly) || file.write(store::ToAnsi(text)) < 0)
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

void BM_ImportIntoEmptyDatabase(benchmark::State &state)
{
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        std::optional<store::Connection> db =
            store::OpenBirthDb(dir.filePath(u"bench%1.mdb"_s.arg(++round)));
        if (!db)
            std::abort();
        state.ResumeTiming();

        transfer::ImportReading reading =
            transfer::ReadImportFile(importFile(), transfer::ImportLayout::Tab);
        const transfer::ImportPreview preview =
            transfer::BuildImportPreview(std::move(reading.records), {});
        const transfer::ImportOutcome outcome =
            transfer::AddImportedBirthdays(*db, preview, transfer::ImportLayout::Tab);
        if (!outcome.ok || outcome.added != Lines)
            std::abort();

        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Lines);
}
BENCHMARK(BM_ImportIntoEmptyDatabase)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
