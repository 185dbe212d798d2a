// The reminder loop's birthday text over a large list, against one bare pass over the same list
// (its floor, named in the label for `scripts/bench.sh --table`). The list is the same in every
// run, so the text's items and its first item are known.

#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "reminder/birthdaynotify.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

using natalis::store::BirthdayRecord;
using namespace Qt::StringLiterals;

namespace {

constexpr int ListSize = 100000;
const QDate Today(2025, 6, 15);

// What GetBirthNotifyText gives for this list on Today, taken from a run and checked by eye: with
// advance windows spread over 0..14 days, one entry in 365 / 8 (about 2,190) is due; the first
// is due today and the last in 14 days.
constexpr qsizetype ExpectedItems = 2195;
const QString ExpectedFirstItem = u"今天是客户1401生日[客户,13910001401]"_s;
const QString ExpectedLastItem = u"客户92776生日还有14天[同事,13910092776]"_s;

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
        record.strGL = natalis::calendar::gregorianText(birth);
        record.strNL = natalis::calendar::DescribeDay(birth)->lunarText;
        record.blnIsGL = i % 2 ? QStringLiteral("按农历提醒") : QStringLiteral("按公历提醒");
        record.intNums = qint16(random.bounded(15));
        list.append(record);
    }
    return list;
}

void BM_GetBirthNotifyText_100k(benchmark::State &state)
{
    const natalis::store::BirthdayList list = makeList();
    QString text;
    for (auto _ : state) {
        text = natalis::reminder::GetBirthNotifyText(list, Today, false);
        benchmark::DoNotOptimize(text);
    }
    // Items are separated by one blank, and names and details hold none.
    const QStringList items = text.split(u' ');
    if (items.size() != ExpectedItems)
        state.SkipWithError("the reminder text lists the wrong number of birthdays");
    else if (items.front() != ExpectedFirstItem || items.back() != ExpectedLastItem)
        state.SkipWithError("the reminder text starts or ends with another birthday");
    state.counters["text_chars"] = double(text.size());
    state.counters["items"] = double(items.size());
    state.SetItemsProcessed(state.iterations() * list.size());
    state.SetLabel("floor: BM_ScanOnly_100k");
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
    using natalis::store::BirthdayText;
    const natalis::store::BirthdayList list = makeList();
    int read = 0;
    for (auto _ : state) {
        int sum = 0;
        read = 0;
        for (qsizetype i = 0; i < list.size(); ++i) {
            const bool lunar = list.text(i, BirthdayText::blnIsGL).trimmed() == u"按农历提醒";
            const QStringView text =
                list.text(i, lunar ? BirthdayText::strNL : BirthdayText::strGL).trimmed();
            if (text.size() == 14) {
                sum += digitsAt(text, 2, 4) + digitsAt(text, 8, 2) + digitsAt(text, 11, 2);
                ++read;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    if (read != list.size())
        state.SkipWithError("not every entry's date text was read");
    state.SetItemsProcessed(state.iterations() * list.size());
}
BENCHMARK(BM_ScanOnly_100k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
