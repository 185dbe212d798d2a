// The phone calendar of 1,000 birthdays (half of them lunar, so 20 events each) for the default 20
// years, with and without the festivals and solar terms, and the contacts file of the same list
// written and read back. They run on the window thread: these numbers say whether that can stay.
// Each checks what it made: the calendar's events counted, the contacts read back by name.

#include "transfer/icalendarexport.h"
#include "transfer/vcardexport.h"
#include "transfer/vcardimport.h"

#include <benchmark/benchmark.h>

using namespace natalis;
using namespace Qt::StringLiterals;

namespace {

constexpr int Birthdays = 1000;

QList<store::BirthdayRecord> sampleList()
{
    QList<store::BirthdayRecord> list;
    for (int i = 0; i < Birthdays; ++i) {
        store::BirthdayRecord r;
        r.Id = i + 1;
        r.About = u"生日%1"_s.arg(i);
        r.Type = u"朋友"_s;
        r.Tel = u"138%1"_s.arg(i, 8, 10, QChar(u'0'));
        r.Beizhu = u"老同学,喜欢喝茶"_s;
        r.strGL = u"公历%1年 %2月%3日"_s.arg(1940 + i % 60)
                      .arg(1 + i % 12, 2, 10, QChar(u'0'))
                      .arg(1 + i % 28, 2, 10, QChar(u'0'));
        r.strNL = u"农历%1年 %2月%3日"_s.arg(1940 + i % 60)
                      .arg(1 + i % 12, 2, 10, QChar(u'0'))
                      .arg(1 + i % 30, 2, 10, QChar(u'0'));
        r.blnIsGL = i % 2 ? u"按农历提醒"_s : u"按公历提醒"_s;
        list.append(r);
    }
    return list;
}

void BM_Ics(benchmark::State &state)
{
    const store::BirthdayList list = sampleList();
    const transfer::IcsOptions options { 2025, transfer::DefaultIcsYears, state.range(0) != 0,
        QDateTime(QDate(2025, 6, 1), QTime(8, 0), Qt::UTC) };
    QByteArray ics;
    for (auto _ : state) {
        ics = transfer::buildIcs(list, options);
        benchmark::DoNotOptimize(ics.data());
    }
    // A Gregorian birthday is one repeating event, a lunar one an event a year; the festivals
    // add the eleven reminded ones and the 24 terms a year. The lunar birthdays of the 12th
    // month (i % 12 == 11, 83 of them, all on its 2nd day or later) also fall in January 2025
    // in lunar 2024, whose 12th month began on 31 December 2024: one event more each.
    constexpr qsizetype TwelfthMonthBirthdays = (Birthdays - 1 - 11) / 12 + 1;
    const qsizetype expected = Birthdays / 2 * (1 + transfer::DefaultIcsYears)
        + TwelfthMonthBirthdays + (options.festivals ? transfer::DefaultIcsYears * (11 + 24) : 0);
    if (!ics.startsWith("BEGIN:VCALENDAR\r\n") || !ics.endsWith("END:VCALENDAR\r\n"))
        state.SkipWithError("the calendar file is not one whole VCALENDAR");
    else if (ics.count("\r\nBEGIN:VEVENT\r\n") != expected)
        state.SkipWithError("the calendar file holds the wrong number of events");
    state.counters["file_MB"] = double(ics.size()) / 1e6;
}
BENCHMARK(BM_Ics)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_VcardsOutAndIn(benchmark::State &state)
{
    const store::BirthdayList list = sampleList();
    transfer::VcardImportReading read;
    for (auto _ : state) {
        read = transfer::readVcardImportBytes(transfer::buildVcards(list), u"x.vcf"_s);
        benchmark::DoNotOptimize(read.reading.records.size());
    }
    const QList<transfer::ImportRecord> &records = read.reading.records;
    if (read.reading.failure || records.size() != Birthdays || !read.withoutBirthday.isEmpty())
        state.SkipWithError("not every contact came back with its birthday");
    else if (records.front().fields().About != u"生日0"_s
        || records.back().fields().Tel != u"13800000999"_s)
        state.SkipWithError("the contacts came back with other names or numbers");
}
BENCHMARK(BM_VcardsOutAndIn)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
