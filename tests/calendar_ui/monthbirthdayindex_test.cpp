#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "calendar_ui/monthbirthdayindex.h"
#include "reminder/birthdayoccurrences.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <vector>

using namespace natalis;

namespace {

// A list with every kind of birthday the occurrence rules treat apart: 29 February, lunar day
// 30, leap months kept or skipped, years or none, birth years after the shown year, texts that name
// no day, and a date in the other calendar that the rule must not remind by. Drawn from a fixed
// seed, so every run checks the same list.
QList<store::BirthdayRecord> mixedList()
{
    QRandomGenerator random(20061225);
    QList<store::BirthdayRecord> list;
    for (int i = 0; i < 1500; ++i) {
        const QString name = QStringLiteral("人%1").arg(i);
        const int year = 1901 + int(random.bounded(200));
        const QDate birth = i % 50 == 0 ? QDate(year - year % 4, 2, 29)
                                        : QDate(year, 1, 1).addDays(random.bounded(365));
        const int month = 1 + int(random.bounded(12));
        const int day = i % 7 == 0 ? 30 : 1 + int(random.bounded(30));
        // Every ninth without a year; every third leap month skips the years without it.
        const bool yearless = i % 9 == 0;
        store::BirthdayRecord record = test::lunarBirthday(
            name, calendar::lunarText({ yearless ? 0 : year, month, day, i % 5 == 0 }));
        record.strGL = yearless ? calendar::gregorianMonthDayText(birth.month(), birth.day())
                                : calendar::gregorianText(birth);
        record.LeapRule = i % 3 == 0 ? QStringLiteral("跳过") : QStringLiteral("平月");
        if (i % 2 == 0)
            record.blnIsGL = QStringLiteral("按公历提醒");
        list.append(record);
    }
    list.append(
        test::gregorianBirthday(QStringLiteral("坏日期"), QStringLiteral("公历1980年 02月30日")));
    list.append(
        test::lunarBirthday(QStringLiteral("坏农历"), QStringLiteral("农历1980年 13月01日")));
    return list;
}

// The occurrences as the reminder computes them for the month's first lunar year and the next.
QList<QList<qsizetype>> byScanning(const QList<store::BirthdayRecord> &list, QDate first)
{
    reminder::BirthOccurrences occurrences(list.size());
    reminder::CalcGlBirthDates(list, first.year(), occurrences);
    reminder::CalcNlBirthDates(list, calendar::DescribeDay(first)->lunar.year, occurrences);
    QList<QList<qsizetype>> days(first.daysInMonth());
    for (qsizetype i = 0; i < list.size(); ++i) {
        for (const QDate date : { occurrences.ThisYearDates[i], occurrences.NextYearDates[i] }) {
            if (date.isValid() && date.year() == first.year() && date.month() == first.month()) {
                days[date.day() - 1].append(i);
                break;
            }
        }
    }
    return days;
}

TEST(MonthBirthdayIndex, SameDaysAsComputingEveryOccurrenceOverTheWholeRange)
{
    const QList<store::BirthdayRecord> list = mixedList();
    const calendar_ui::MonthBirthdayIndex index(list);
    int placed = 0;
    for (QDate first(1901, 3, 1); first <= QDate(2100, 12, 1); first = first.addMonths(1)) {
        const QList<QList<qsizetype>> expected = byScanning(list, first);
        for (int day = 1; day <= first.daysInMonth(); ++day) {
            const QDate date(first.year(), first.month(), day);
            const QList<qsizetype> found = index.on(date, *calendar::DescribeDay(date));
            // As vectors: Qt 6.4 compares two empty lists with memcmp on null pointers.
            ASSERT_EQ(std::vector(found.begin(), found.end()),
                std::vector(expected[day - 1].begin(), expected[day - 1].end()))
                << date.toString(Qt::ISODate).toStdString();
            placed += int(found.size());
        }
    }
    EXPECT_GT(placed, 1500 * 100) << "most birthdays recur in most years";
}

} // namespace
