// The reminder loop's birthday text over a large list, against one bare pass over the same list.

#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "reminder/birthdaynotify.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

using natalis::store::BirthdayRecord;

namespace {

constexpr int ListSize = 100000;
const QDate Today(2025, 6, 15);

// Half the entries remind by the lunar date; categories, birth days and advance windows spread
// evenly, as in a large customer list.
QList<BirthdayRecord> makeList()
{
    static const char16_t *const categories[] = { u"同事", u"客户", u"代理商", u"供应商", u"家人",
        u"同学", u"朋友", u"其他" };
    QRandomGenerator random(20250615);
    QList<BirthdayRecord> list;
    list.reserve(ListSize);
    for (int i = 0; i < ListSize; ++i) {
        const QDate birth = QDate(1940, 1, 1).addDays(random.bounded(365 * 80));
        BirthdayRecord record;
        record.Id = i + 1;
        record.About = QStringLiteral("客户%1").arg(i);
        record.Type = QString::fromUtf16(categories[i % 8]);
        record.Tel = QStringLiteral("139%1").arg(10000000 + i);
        record.strGL = natalis::calendar::GregorianText(birth);
        record.strNL = natalis::calendar::DescribeDay(birth)->lunarText;
        record.blnIsGL = i % 2 ? QStringLiteral("按农历提醒") : QStringLiteral("按公历提醒");
        record.intNums = qint16(random.bounded(15));
        list.append(record);
    }
    return list;
}

void BM_GetBirthNotifyText_100k(benchmark::State &state)
{
    const QList<BirthdayRecord> list = makeList();
    qsizetype length = 0;
    for (auto _ : state) {
        const QString text = natalis::reminder::GetBirthNotifyText(list, Today, false);
        length = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["text_chars"] = double(length);
    state.SetItemsProcessed(state.iterations() * list.size());
}
BENCHMARK(BM_GetBirthNotifyText_100k)->Unit(benchmark::kMillisecond);

int digitsAt(QStringView text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i)
        value = value * 10 + (text[i].unicode() - u'0');
    return value;
}

// The floor: read each entry's rule and the year, month and day of the date text it names, as
// any reminder must, and nothing more.
void BM_ScanOnly_100k(benchmark::State &state)
{
    const QList<BirthdayRecord> list = makeList();
    for (auto _ : state) {
        int sum = 0;
        for (const BirthdayRecord &record : list) {
            const bool lunar = QStringView(record.blnIsGL).trimmed() == u"按农历提醒";
            const QStringView text = QStringView(lunar ? record.strNL : record.strGL).trimmed();
            if (text.size() == 14)
                sum += digitsAt(text, 2, 4) + digitsAt(text, 8, 2) + digitsAt(text, 11, 2);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * list.size());
}
BENCHMARK(BM_ScanOnly_100k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
