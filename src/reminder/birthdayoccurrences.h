#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"

#include <QDate>
#include <QList>

namespace natalis::reminder {

// This year's and next year's occurrence of every birthday, indexed exactly like the birthday
// list. A date left invalid (QDate()) means "no occurrence" and is never due; its age stays 0.
struct BirthOccurrences
{
    explicit BirthOccurrences(qsizetype count)
        : ThisYearDates(count), NextYearDates(count), ThisYearAges(count, 0), NextYearAges(count, 0)
    {
    }

    QList<QDate> ThisYearDates;
    QList<QDate> NextYearDates;
    QList<qint16> ThisYearAges; // years between the birth year and the occurrence's year
    QList<qint16> NextYearAges;
};

// The remind-by texts of a birthday record.
inline constexpr QStringView RemindByGregorian = u"按公历提醒";
inline constexpr QStringView RemindByLunar = u"按农历提醒";

// Fills the elements of the Gregorian-rule birthdays for the Gregorian year `year` and the year
// after it; other elements are left alone. A birthday on 29 February falls on 28 February in
// years without one. Nothing is computed before the birth year or after 2100, nor for a
// birthday whose date text is malformed.
void CalcGlBirthDates(
    const store::BirthdayList &birthdays, int year, BirthOccurrences &occurrences);

// Fills the elements of the lunar-rule birthdays for the lunar year `lunarYear` and the one
// after it; other elements are left alone. A leap-month birthday falls in the leap month only
// in years whose leap month has its number, in the regular month otherwise; day 30 falls on
// day 29 of a 29-day month. Ages count lunar years. Nothing is computed for target years
// outside 1901..2100 or before the birth year, nor for a malformed date text.
void CalcNlBirthDates(
    const store::BirthdayList &birthdays, int lunarYear, BirthOccurrences &occurrences);

} // namespace natalis::reminder
