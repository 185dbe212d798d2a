// The calendar window's month content with a realistic list, against describing the days alone
// (its floor, named in the label for `scripts/bench.sh --table`). Both check the days they built
// and the cell of a day every almanac agrees on.

#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "calendar_ui/monthgrid.h"
#include "reminder/birthdayoccurrences.h"

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
        record.strGL = calendar::gregorianText(birth);
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

// Gregorian days from March 1901 to December 2100: the cells inside their month.
qsizetype daysOfAllMonths()
{
    return QDate(1901, 3, 1).daysTo(QDate(2100, 12, 31)) + 1;
}

// The Spring Festival of 2025 (lunar 2025-01-01) falls in January 2025's grid.
const QDate SpringFestival2025(2025, 1, 29);
const calendar::LunarDate SpringFestival2025Lunar { 2025, 1, 1, false };

// Each birthday shows once a year from its birth year to 2100 (a 29 February on the 28th, a lunar
// day 30 on the 29th), except a lunar birthday whose day in lunar 2100 falls in January 2101,
// past the last month shown. Counted here from the birth years, with the reminder's own
// occurrences for lunar 2100, rather than from the index the grid reads.
qsizetype expectedBirthdayLines(const QList<store::BirthdayRecord> &list)
{
    reminder::BirthOccurrences last(list.size());
    reminder::CalcNlBirthDates(list, 2100, last);
    qsizetype lines = 0;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].blnIsGL == reminder::RemindByGregorian) {
            lines += 2100 - calendar::parseGregorianText(list[i].strGL)->year() + 1;
        } else {
            lines += 2100 - calendar::parseLunarText(list[i].strNL)->year + 1;
            lines -= last.ThisYearDates[i] > QDate(2100, 12, 31);
        }
    }
    return lines;
}

qsizetype indexOfMonth(const QList<Month> &months, QDate day)
{
    for (qsizetype i = 0; i < months.size(); ++i) {
        if (months[i].year == day.year() && months[i].month == day.month())
            return i;
    }
    return -1;
}

void BM_FillMonthGrid_AllMonths(benchmark::State &state)
{
    // Arranged once, as the calendar window does when it opens.
    const QList<store::BirthdayRecord> list = makeList();
    const calendar_ui::MonthBirthdayIndex birthdays(list);
    const QList<Month> months = allMonths();
    const qsizetype springMonth = indexOfMonth(months, SpringFestival2025);
    qsizetype daysInMonths = 0;
    qsizetype birthdayLines = 0;
    calendar_ui::MonthCell spring;
    for (auto _ : state) {
        daysInMonths = 0;
        birthdayLines = 0;
        for (qsizetype i = 0; i < months.size(); ++i) {
            const std::array<calendar_ui::MonthCell, calendar_ui::GridCells> grid =
                calendar_ui::buildMonthGrid(
                    months[i].year, months[i].month, Today, birthdays, false);
            for (const calendar_ui::MonthCell &cell : grid) {
                daysInMonths += cell.day != 0;
                birthdayLines += cell.birthdays.size();
            }
            if (i == springMonth)
                spring = grid[calendar_ui::firstDayCell(QDate(2025, 1, 1)) + 28];
            benchmark::DoNotOptimize(grid);
        }
    }
    if (daysInMonths != daysOfAllMonths())
        state.SkipWithError("the grids do not hold every day of their months once");
    else if (spring.date != SpringFestival2025
        || spring.description.lunar != SpringFestival2025Lunar)
        state.SkipWithError("29 January 2025 is not the Spring Festival in its grid");
    else if (birthdayLines != expectedBirthdayLines(list))
        state.SkipWithError("the grids hold another number of birthdays");
    state.counters["birthday_lines"] = double(birthdayLines);
    state.SetItemsProcessed(state.iterations() * months.size());
    state.SetLabel("floor: BM_DescribeDay42_AllMonths");
}
BENCHMARK(BM_FillMonthGrid_AllMonths)->Unit(benchmark::kMillisecond);

// The floor: 42 day descriptions a month (a month's cells), nothing else. The days inside the
// month are told by comparing dates, not by taking each apart, which would cost the floor work
// the grid does not do.
void BM_DescribeDay42_AllMonths(benchmark::State &state)
{
    const QList<Month> months = allMonths();
    qsizetype daysInMonths = 0;
    std::optional<calendar::DayDescription> spring;
    for (auto _ : state) {
        daysInMonths = 0;
        for (const Month &m : months) {
            const QDate first(m.year, m.month, 1);
            const QDate last = first.addDays(first.daysInMonth() - 1);
            const QDate gridStart = first.addDays(-calendar_ui::firstDayCell(first));
            for (int cell = 0; cell < calendar_ui::GridCells; ++cell) {
                const QDate day = gridStart.addDays(cell);
                std::optional<calendar::DayDescription> description = calendar::DescribeDay(day);
                if (day >= first && day <= last) {
                    daysInMonths += description.has_value();
                    if (day == SpringFestival2025)
                        spring = description;
                }
                benchmark::DoNotOptimize(description);
            }
        }
    }
    if (daysInMonths != daysOfAllMonths())
        state.SkipWithError("a day of the months was not described");
    else if (!spring || spring->lunar != SpringFestival2025Lunar)
        state.SkipWithError("29 January 2025 is not described as the Spring Festival");
    state.SetItemsProcessed(state.iterations() * months.size());
}
BENCHMARK(BM_DescribeDay42_AllMonths)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
