// The calendar engine against ICU's Chinese calendar, over every day the engine describes.

#include "calendar/describeday.h"
#include "calendar/lunarconversion.h"
#include "calendar/lunaryeartable.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

using namespace natalis::calendar;

namespace {

QList<QDate> allDescribedDays()
{
    QList<QDate> days;
    for (QDate d = FirstDescribedDay(); d <= LastDescribedDay(); d = d.addDays(1))
        days.append(d);
    return days;
}

// Milliseconds since 1970 of 12:00 Beijing time (04:00 UTC) on the day.
UDate noonInBeijing(QDate day)
{
    constexpr qint64 unixEpochJulianDay = 2440588;
    return UDate((day.toJulianDay() - unixEpochJulianDay) * 86400000 + 4 * 3600000);
}

void BM_DescribeDay_AllDays(benchmark::State &state)
{
    LoadLunarYearTable();
    const QList<QDate> days = allDescribedDays();
    for (auto _ : state) {
        for (QDate day : days)
            benchmark::DoNotOptimize(DescribeDay(day));
    }
    state.SetItemsProcessed(state.iterations() * days.size());
}
BENCHMARK(BM_DescribeDay_AllDays)->Unit(benchmark::kMillisecond);

void BM_SolarToLunar_AllDays(benchmark::State &state)
{
    const QList<QDate> days = allDescribedDays();
    for (auto _ : state) {
        for (QDate day : days)
            benchmark::DoNotOptimize(SolarToLunar(day));
    }
    state.SetItemsProcessed(state.iterations() * days.size());
}
BENCHMARK(BM_SolarToLunar_AllDays)->Unit(benchmark::kMillisecond);

void BM_LunarToSolar_AllDays(benchmark::State &state)
{
    QList<QString> texts;
    for (QDate day : allDescribedDays())
        texts.append(DescribeDay(day)->lunarText);
    for (auto _ : state) {
        for (const QString &text : texts)
            benchmark::DoNotOptimize(LunarToSolarText(text));
    }
    state.SetItemsProcessed(state.iterations() * texts.size());
}
BENCHMARK(BM_LunarToSolar_AllDays)->Unit(benchmark::kMillisecond);

// The peer: ICU's bare Gregorian-to-Chinese conversion for the same days, reading the extended
// year, month, leap flag and day (what our lunar text holds), in Beijing time.
void BM_IcuChineseCalendar_AllDays(benchmark::State &state)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> chinese(
        icu::Calendar::createInstance(icu::TimeZone::createTimeZone("Asia/Shanghai"),
            icu::Locale("zh_CN@calendar=chinese"), status));
    if (U_FAILURE(status)) {
        state.SkipWithError("ICU has no Chinese calendar");
        return;
    }
    QList<UDate> instants;
    for (QDate day : allDescribedDays())
        instants.append(noonInBeijing(day));
    for (auto _ : state) {
        for (UDate instant : instants) {
            chinese->setTime(instant, status);
            benchmark::DoNotOptimize(chinese->get(UCAL_EXTENDED_YEAR, status));
            benchmark::DoNotOptimize(chinese->get(UCAL_MONTH, status));
            benchmark::DoNotOptimize(chinese->get(UCAL_IS_LEAP_MONTH, status));
            benchmark::DoNotOptimize(chinese->get(UCAL_DATE, status));
        }
    }
    state.SetItemsProcessed(state.iterations() * instants.size());
}
BENCHMARK(BM_IcuChineseCalendar_AllDays)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
