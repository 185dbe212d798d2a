#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"
#include "store/entrykind.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <array>
#include <optional>
#include <utility>

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

// An entry's date as its rule reads it.
struct BirthRule
{
    bool lunar = false; // 按农历提醒
    int year = 0; // the year of the date in the rule's calendar; 0 when the entry has none
    int month = 0; // 1..12
    int day = 0; // 1..31 (Gregorian) or 1..30 (lunar)
    bool isLeap = false; // a lunar leap month (闰月)
    store::LeapMonthRule leapRule = store::LeapMonthRule::RegularMonth;
};

// The rule of row i, or nullopt when its date text for its rule is malformed or missing.
std::optional<BirthRule> birthRuleAt(const store::BirthdayList &birthdays, qsizetype i);

// The occurrence of the rule in year, a Gregorian year for the Gregorian rule and a lunar year
// for the lunar rule. nullopt before the entry's year, after 2100 (or before 1901 for the lunar
// rule), and, with LeapMonthRule::Skip, in a year without the entry's leap month. 29 February
// falls on 28 February in common years; a lunar day 30 falls on day 29 of a 29-day month; a leap
// month kept by the regular month (平月) falls in the regular month of years without it.
std::optional<QDate> occurrenceIn(const BirthRule &rule, int year);

// A date's rule and its occurrences in two years, as one pass over a list reckons them.
struct Reckoned
{
    std::optional<BirthRule> rule; // nullopt: no valid date for the row's rule
    int year = 0; // the year of dates[0], in the rule's calendar
    std::array<std::optional<QDate>, 2> dates; // in year and the year after

    // Whole years at dates[offset] since the entry's year; 0 for an entry without one.
    int age(int offset) const { return rule->year == 0 ? 0 : year + offset - rule->year; }
};

// Reckons each distinct date once in a pass over one list for one calendar (the rows whose rule
// is that calendar's), in year and the year after (lunar years for the lunar rule). A date text
// the list holds for many rows is one text at one address (the loader shares repeated texts), so
// the address and length, with the row's leap-month rule, name the date while the pass runs: the
// list must not change while the reckoner lives. Past MaxDates distinct dates the rest are
// reckoned row by row, which bounds the pass's memory on a list whose dates are all its own.
class DateReckoner
{
public:
    DateReckoner(const store::BirthdayList &birthdays, bool lunar, int year)
        : m_birthdays(birthdays), m_lunar(lunar), m_year(year)
    {
    }

    // Row i's rule and dates; i must remind by this reckoner's calendar.
    Reckoned at(qsizetype i);

private:
    static constexpr qsizetype MaxDates = 1 << 16;
    // The text's address, its length and the leap rule.
    using Key = std::pair<const QChar *, qint64>;

    const store::BirthdayList &m_birthdays;
    bool m_lunar;
    int m_year;
    QHash<Key, Reckoned> m_seen;
};

// Each row of a list by its own rule as of today: the Gregorian rule in today's year, the lunar
// rule in the lunar year today lies in (the one before has ended), and the year after; each
// distinct date reckoned once (DateReckoner). A row that reminds by neither rule has no rule; a
// lunar row on a day the lunar table does not reach has its rule but no dates.
class TodaysReckoner
{
public:
    TodaysReckoner(const store::BirthdayList &birthdays, QDate today);

    Reckoned at(qsizetype i);

private:
    const store::BirthdayList &m_birthdays;
    DateReckoner m_gregorian;
    std::optional<DateReckoner> m_lunar;
};

// True when row i reminds daysLeft (>= 0) days before its date: any day up to intNums ahead
// when it keeps one number, exactly the listed days when it keeps several.
bool remindsOn(const store::BirthdayList &birthdays, qsizetype i, qint64 daysLeft);

// Fills the elements of the Gregorian-rule birthdays for the Gregorian year `year` and the year
// after it; other elements are left alone. A birthday on 29 February falls on 28 February in
// years without one. Nothing is computed before the birth year or after 2100, nor for a
// birthday whose date text is malformed. An entry without a year occurs every year, age 0.
void CalcGlBirthDates(
    const store::BirthdayList &birthdays, int year, BirthOccurrences &occurrences);

// Fills the elements of the lunar-rule birthdays for the lunar year `lunarYear` and the one
// after it; other elements are left alone. A leap-month birthday falls in the leap month only
// in years whose leap month has its number, in the regular month otherwise; day 30 falls on
// day 29 of a 29-day month. Ages count lunar years. Nothing is computed for target years
// outside 1901..2100 or before the birth year, nor for a malformed date text, nor (for entries
// whose leap rule is 跳过) in years without the leap month. An entry without a year occurs every
// year, age 0.
void CalcNlBirthDates(
    const store::BirthdayList &birthdays, int lunarYear, BirthOccurrences &occurrences);

} // namespace natalis::reminder
