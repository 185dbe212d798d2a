#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"

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
// It gives the same days as computing every birthday's occurrence by its own rule.
class MonthBirthdayIndex
{
public:
    MonthBirthdayIndex() = default;
    explicit MonthBirthdayIndex(const store::BirthdayList &birthdays);

    bool isEmpty() const { return !m_birthdays || m_birthdays->isEmpty(); }
    // The records the pointers of on() point into; holding it keeps them valid.
    const std::shared_ptr<const QList<store::BirthdayRecord>> &records() const
    {
        return m_birthdays;
    }

    // The birthdays whose occurrence falls on `date`, in list order. `day` is DescribeDay's
    // description of that date.
    QList<const store::BirthdayRecord *> on(QDate date, const calendar::DayDescription &day) const;
    // The same for a date given by its Gregorian parts, which a caller walking a month already
    // has: taking a date apart costs about as much as the lookup.
    QList<const store::BirthdayRecord *> on(
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
    static int lunarKey(int month, int day, bool leap)
    {
        return ((leap ? Months : 0) + month) * Days + day;
    }
    // Writes the bucket's birthdays born by year to found; returns the end of what it wrote.
    const store::BirthdayRecord **collect(
        const Bucket &bucket, int year, const store::BirthdayRecord **found) const;

    std::shared_ptr<const QList<store::BirthdayRecord>> m_birthdays;
    // Empty in an index of no list, which then costs nothing to make.
    QList<Bucket> m_gregorian;
    QList<Bucket> m_lunar;
};

} // namespace calendar_ui
} // namespace natalis
