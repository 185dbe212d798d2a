#pragma once

#include "store/birthdaylist.h"

#include <QDate>
#include <QList>
#include <memory>

namespace natalis {
namespace calendar {
struct DayDescription;
}

namespace calendar_ui {

// The birthday list arranged by the calendar day each birthday recurs on, built once when the
// calendar opens so that browsing months does not walk the whole list for every month shown.
// It gives the same days as computing every birthday's occurrence by its own rule. It reads the
// program's compact list in place and shares it (a copy that changes later leaves it as it was):
// a million birthdays made into full records would cost seconds and hundreds of megabytes.
class MonthBirthdayIndex
{
public:
    MonthBirthdayIndex() = default;
    explicit MonthBirthdayIndex(const store::BirthdayList &birthdays);

    bool isEmpty() const { return !m_birthdays || m_birthdays->isEmpty(); }
    // The list whose rows on() gives; holding it keeps them as they were.
    const std::shared_ptr<const store::BirthdayList> &records() const { return m_birthdays; }

    // The rows of the birthdays whose occurrence falls on `date`, ascending. `day` is
    // DescribeDay's description of that date.
    QList<qsizetype> on(QDate date, const calendar::DayDescription &day) const;
    // The same for a date given by its Gregorian parts, which a caller walking a month already
    // has: taking a date apart costs about as much as the lookup.
    QList<qsizetype> on(
        int year, int month, int dayOfMonth, const calendar::DayDescription &day) const;

private:
    struct Entry
    {
        qsizetype index; // into the list
        int birthYear;
    };
    using Bucket = QList<Entry>;

    // Buckets are addressed directly by month and day: a day's lookup is a few array reads.
    static constexpr int Days = 32; // day 1..31 (lunar 1..30)
    static constexpr int Months = 13; // month 1..12
    static int gregorianKey(int month, int day) { return month * Days + day; }
    // Leap-month birthdays that skip years without their leap month (leapOnly) have buckets of
    // their own, looked up in leap months only.
    static int lunarKey(int month, int day, bool leap, bool leapOnly = false)
    {
        return ((leapOnly ? 2 * Months : leap ? Months : 0) + month) * Days + day;
    }
    // Writes the bucket's birthdays born by year to found; returns the end of what it wrote.
    static qsizetype *collect(const Bucket &bucket, int year, qsizetype *found);

    std::shared_ptr<const store::BirthdayList> m_birthdays;
    // Empty in an index of no list, which then costs nothing to make.
    QList<Bucket> m_gregorian;
    QList<Bucket> m_lunar;
};

} // namespace calendar_ui
} // namespace natalis
