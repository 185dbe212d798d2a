#include "calendar_ui/monthbirthdayindex.h"

#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "calendar/lunaryeartable.h"
#include "reminder/birthdayoccurrences.h"

#include <algorithm>

namespace natalis::calendar_ui {

namespace {

// Occurrences are computed up to the end of the calendar's table.
constexpr int LastYear = 2100;

bool remindsBy(const store::BirthdayRecord &record, QStringView rule)
{
    return QStringView(record.blnIsGL).trimmed() == rule;
}

// 29 February exists in years divisible by 4 except 2100, as the reminder counts it.
bool hasLeapDay(int year)
{
    return year % 4 == 0 && year != 2100;
}

} // namespace

MonthBirthdayIndex::MonthBirthdayIndex(const QList<store::BirthdayRecord> &birthdays)
    : m_birthdays(std::make_shared<const QList<store::BirthdayRecord>>(birthdays))
{
    for (qsizetype i = 0; i < m_birthdays->size(); ++i) {
        const store::BirthdayRecord &record = m_birthdays->at(i);
        if (remindsBy(record, reminder::RemindByGregorian)) {
            if (const auto birth = calendar::parseGregorianText(record.strGL))
                m_gregorian[gregorianKey(birth->month(), birth->day())].append(
                    { i, birth->year() });
        } else if (remindsBy(record, reminder::RemindByLunar)) {
            if (const auto birth = calendar::parseLunarText(record.strNL))
                m_lunar[lunarKey(birth->month, birth->day, birth->isLeap)].append(
                    { i, birth->year });
        }
    }
}

void MonthBirthdayIndex::collect(
    const Bucket *bucket, int year, QList<const store::BirthdayRecord *> &found) const
{
    if (!bucket || year > LastYear)
        return;
    const qsizetype runStart = found.size();
    for (const Entry &entry : *bucket) {
        if (entry.birthYear <= year)
            found.append(&m_birthdays->at(entry.index));
    }
    // Each bucket is in list order (pointers into one list compare in list order); a run that
    // interleaves with the ones before it is merged in.
    if (runStart > 0 && runStart < found.size() && found[runStart] < found[runStart - 1])
        std::inplace_merge(found.begin(), found.begin() + runStart, found.end());
}

QList<const store::BirthdayRecord *> MonthBirthdayIndex::on(
    QDate date, const calendar::DayDescription &day) const
{
    QList<const store::BirthdayRecord *> found;
    const auto bucket = [](const QList<Bucket> &buckets, int key) {
        return buckets[key].isEmpty() ? nullptr : &buckets[key];
    };

    // Gregorian rule: the same month and day; 29 February falls on the 28th without a leap day.
    int year = 0, month = 0, dayOfMonth = 0;
    date.getDate(&year, &month, &dayOfMonth);
    collect(bucket(m_gregorian, gregorianKey(month, dayOfMonth)), year, found);
    if (month == 2 && dayOfMonth == 28 && !hasLeapDay(year))
        collect(bucket(m_gregorian, gregorianKey(2, 29)), year, found);

    // Lunar rule: a leap-month birthday falls in the leap month only when the year leaps that
    // month, otherwise in the regular month; day 30 falls on day 29 of a short month.
    const calendar::LunarDate &lunar = day.lunar;
    const calendar::LunarYearTable &table = calendar::LoadLunarYearTable();
    const bool shortMonthEnd =
        lunar.day == 29 && table.monthLength(lunar.year, lunar.month, lunar.isLeap) == 29;
    const bool yearLeapsThisMonth = table.leapMonth(lunar.year) == lunar.month;
    for (const int lunarDay : { lunar.day, shortMonthEnd ? 30 : 0 }) {
        if (lunarDay == 0)
            continue;
        if (lunar.isLeap) {
            collect(bucket(m_lunar, lunarKey(lunar.month, lunarDay, true)), lunar.year, found);
        } else {
            collect(bucket(m_lunar, lunarKey(lunar.month, lunarDay, false)), lunar.year, found);
            if (!yearLeapsThisMonth)
                collect(bucket(m_lunar, lunarKey(lunar.month, lunarDay, true)), lunar.year, found);
        }
    }

    return found;
}

} // namespace natalis::calendar_ui
