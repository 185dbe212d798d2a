// The calendar window's month content with a realistic list, against describing the days alone.

#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "calendar_ui/monthgrid.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

using namespace natalis;

namespace {

constexpr int ListSize = 10000;
const QDate Today(2025, 6, 15);

QList<store::BirthdayRecord> makeList()
{
    static const char16_t *const categories[] = { u"同事", u"客户", u"代理商", u"供应商", u"家人",
        u"同学", u"朋友", u"其他" };
    QRandomGenerator random(615);
    QList<store::BirthdayRecord> list;
    for (int i = 0; i < ListSize; ++i) {
        const QDate birth = QDate(1940, 3, 1).addDays(random.bounded(365 * 80));
        store::BirthdayRecord record;
        record.Id = i + 1;
        record.About = QStringLiteral("客户%1").arg(i);
        record.Type = QString::fromUtf16(categories[i % 8]);
        record.Tel = QStringLiteral("139%1").arg(10000000 + i);
        record.strGL = calendar::GregorianText(birth);
        record.strNL = calendar::DescribeDay(birth)->lunarText;
        record.blnIsGL = i % 2 ? QStringLiteral("按农历提醒") : QStringLiteral("按公历提醒");
        record.intNums = 7;
        list.append(record);
    }
    return list;
}

struct Month
{
    int year;
    int month;
};

// March 1901 to December 2100.
QList<Month> allMonths()
{
    QList<Month> months;
    for (int year = 1901; year <= 2100; ++year) {
        for (int month = year == 1901 ? 3 : 1; month <= 12; ++month)
            months.append({ year, month });
    }
    return months;
}

void BM_FillMonthGrid_AllMonths(benchmark::State &state)
{
    // Arranged once, as the calendar window does when it opens.
    const calendar_ui::MonthBirthdayIndex birthdays(makeList());
    const QList<Month> months = allMonths();
    for (auto _ : state) {
        for (const Month &m : months)
            benchmark::DoNotOptimize(
                calendar_ui::BuildMonthGrid(m.year, m.month, Today, birthdays, false));
    }
    state.SetItemsProcessed(state.iterations() * months.size());
}
BENCHMARK(BM_FillMonthGrid_AllMonths)->Unit(benchmark::kMillisecond);

// The floor: 42 day descriptions a month (a month's cells), nothing else.
void BM_DescribeDay42_AllMonths(benchmark::State &state)
{
    const QList<Month> months = allMonths();
    for (auto _ : state) {
        for (const Month &m : months) {
            const QDate first(m.year, m.month, 1);
            for (int cell = 0; cell < 42; ++cell) {
                const QDate day = first.addDays(cell - first.dayOfWeek() % 7);
                benchmark::DoNotOptimize(calendar::DescribeDay(day));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * months.size());
}
BENCHMARK(BM_DescribeDay42_AllMonths)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
