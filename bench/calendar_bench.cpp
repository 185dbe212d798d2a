// The calendar engine against ICU's Chinese calendar, over every day the engine describes. Each
// run checks two days every almanac agrees on; the engine's benchmarks name ICU as their peer in
// their label, which `scripts/bench.sh --table` turns into a ratio.

#include "calendar/describeday.h"
#include "calendar/lunarconversion.h"
#include "calendar/lunaryeartable.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

using namespace natalis::calendar;
using namespace Qt::StringLiterals;

namespace {

// The Spring Festival of 2025, and the first day of 2023's leap second month.
const QDate SpringFestival2025(2025, 1, 29);
const LunarDate SpringFestival2025Lunar { 2025, 1, 1, false };
const QDate LeapSecondMonth2023(2023, 3, 22);
const LunarDate LeapSecondMonth2023Lunar { 2023, 2, 1, true };

constexpr const char *IcuPeer = "peer: BM_IcuChineseCalendar_AllDays";

QList<QDate> allDescribedDays()
{
    QList<QDate> days;
    for (QDate d = firstDescribedDay(); d <= lastDescribedDay(); d = d.addDays(1))
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
    const qsizetype springIndex = days.indexOf(SpringFestival2025);
    const qsizetype leapIndex = days.indexOf(LeapSecondMonth2023);
    qsizetype described = 0;
    std::optional<DayDescription> spring;
    std::optional<DayDescription> leap;
    for (auto _ : state) {
        described = 0;
        for (qsizetype i = 0; i < days.size(); ++i) {
            std::optional<DayDescription> description = DescribeDay(days[i]);
            described += description.has_value();
            if (i == springIndex)
                spring = description;
            else if (i == leapIndex)
                leap = description;
            benchmark::DoNotOptimize(description);
        }
    }
    if (described != days.size())
        state.SkipWithError("a day in the range was not described");
    else if (!spring || spring->lunar != SpringFestival2025Lunar || spring->dayName != u"初一"_s
        || !spring->festivals.contains(u"春节"_s))
        state.SkipWithError("29 January 2025 is not described as the Spring Festival");
    else if (!leap || leap->lunar != LeapSecondMonth2023Lunar || leap->monthNote != u"闰2月小"_s)
        state.SkipWithError("22 March 2023 is not described as the first of the leap 2nd month");
    state.SetItemsProcessed(state.iterations() * days.size());
    state.SetLabel(IcuPeer);
}
BENCHMARK(BM_DescribeDay_AllDays)->Unit(benchmark::kMillisecond);

void BM_SolarToLunar_AllDays(benchmark::State &state)
{
    const QList<QDate> days = allDescribedDays();
    const qsizetype springIndex = days.indexOf(SpringFestival2025);
    const qsizetype leapIndex = days.indexOf(LeapSecondMonth2023);
    qsizetype converted = 0;
    std::optional<LunarDate> spring;
    std::optional<LunarDate> leap;
    for (auto _ : state) {
        converted = 0;
        for (qsizetype i = 0; i < days.size(); ++i) {
            const std::optional<LunarDate> lunar = solarToLunar(days[i]);
            converted += lunar.has_value();
            if (i == springIndex)
                spring = lunar;
            else if (i == leapIndex)
                leap = lunar;
            benchmark::DoNotOptimize(lunar);
        }
    }
    if (converted != days.size())
        state.SkipWithError("a day in the range was not converted");
    else if (spring != SpringFestival2025Lunar || leap != LeapSecondMonth2023Lunar)
        state.SkipWithError("a known lunar date came out wrong");
    state.SetItemsProcessed(state.iterations() * days.size());
    state.SetLabel(IcuPeer);
}
BENCHMARK(BM_SolarToLunar_AllDays)->Unit(benchmark::kMillisecond);

void BM_LunarToSolar_AllDays(benchmark::State &state)
{
    const QList<QDate> days = allDescribedDays();
    QList<QString> texts;
    for (QDate day : days)
        texts.append(DescribeDay(day)->lunarText);
    const qsizetype springIndex = days.indexOf(SpringFestival2025);
    qsizetype converted = 0;
    std::optional<QString> spring;
    for (auto _ : state) {
        converted = 0;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            std::optional<QString> solar = LunarToSolarText(texts[i]);
            converted += solar.has_value();
            if (i == springIndex)
                spring = solar;
            benchmark::DoNotOptimize(solar);
        }
    }
    if (converted != texts.size())
        state.SkipWithError("a lunar text of the range was not converted");
    else if (spring != u"公历2025年 01月29日"_s)
        state.SkipWithError("the Spring Festival of 2025 did not come back as 29 January");
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
    const QList<QDate> days = allDescribedDays();
    QList<UDate> instants;
    for (QDate day : days)
        instants.append(noonInBeijing(day));
    const qsizetype springIndex = days.indexOf(SpringFestival2025);
    const qsizetype leapIndex = days.indexOf(LeapSecondMonth2023);
    // ICU counts years from 2637 BC and months from 0.
    constexpr int ExtendedYearOffset = 2637;
    LunarDate spring;
    LunarDate leap;
    for (auto _ : state) {
        for (qsizetype i = 0; i < instants.size(); ++i) {
            chinese->setTime(instants[i], status);
            const LunarDate lunar { chinese->get(UCAL_EXTENDED_YEAR, status) - ExtendedYearOffset,
                chinese->get(UCAL_MONTH, status) + 1, chinese->get(UCAL_DATE, status),
                chinese->get(UCAL_IS_LEAP_MONTH, status) != 0 };
            if (i == springIndex)
                spring = lunar;
            else if (i == leapIndex)
                leap = lunar;
            benchmark::DoNotOptimize(lunar);
        }
    }
    if (U_FAILURE(status))
        state.SkipWithError("ICU failed to convert a day");
    else if (spring != SpringFestival2025Lunar || leap != LeapSecondMonth2023Lunar)
        state.SkipWithError("ICU gave a known lunar date wrong");
    state.SetItemsProcessed(state.iterations() * instants.size());
}
BENCHMARK(BM_IcuChineseCalendar_AllDays)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
