#include "calendar_ui/monthbirthdayindex.h"

#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "calendar/lunaryeartable.h"
#include "reminder/birthdayoccurrences.h"

#include <algorithm>
#include <array>
#include <utility>

namespace natalis::calendar_ui {

namespace {

// Occurrences are computed up to the end of the calendar's table.
constexpr int LastYear = 2100;

bool remindsBy(const store::BirthdayList &list, qsizetype i, QStringView rule)
{
    return list.text(i, store::BirthdayText::blnIsGL).trimmed() == rule;
}

// 29 February exists in years divisible by 4 except 2100, as the reminder counts it.
bool hasLeapDay(int year)
{
    return year % 4 == 0 && year != 2100;
}

// std::merge without a branch on the comparison, which in a merge of two runs of a day guesses
// wrong about half the time. out may lie where the first run was read from only when the second
// run follows it there.
template<typename T>
T *mergeRuns(const T *a, const T *aEnd, const T *b, const T *bEnd, T *out)
{
    while (a != aEnd && b != bEnd) {
        const bool fromB = *b < *a;
        *out++ = fromB ? *b : *a;
        a += !fromB;
        b += fromB;
    }
    out = std::copy(a, aEnd, out);
    return std::copy(b, bEnd, out);
}

} // namespace

MonthBirthdayIndex::MonthBirthdayIndex(const store::BirthdayList &birthdays)
    : m_birthdays(std::make_shared<const store::BirthdayList>(birthdays)),
      m_gregorian(Months * Days), m_lunar(3 * Months * Days)
{
    const store::BirthdayList &list = *m_birthdays;
    for (qsizetype i = 0; i < list.size(); ++i) {
        // A date without a year has year 0: it recurs from the first year shown.
        if (remindsBy(list, i, reminder::RemindByGregorian)) {
            if (const auto birth =
                    calendar::parseGregorianMonthDay(list.text(i, store::BirthdayText::strGL)))
                m_gregorian[gregorianKey(birth->month, birth->day)].append({ i, birth->year });
        } else if (remindsBy(list, i, reminder::RemindByLunar)) {
            if (const auto birth =
                    calendar::parseLunarText(list.text(i, store::BirthdayText::strNL))) {
                const bool leapOnly =
                    birth->isLeap && list.leapRule(i) == store::LeapMonthRule::Skip;
                m_lunar[lunarKey(birth->month, birth->day, birth->isLeap, leapOnly)].append(
                    { i, birth->year });
            }
        }
    }
}

qsizetype *MonthBirthdayIndex::collect(const Bucket &bucket, int year, qsizetype *found)
{
    if (year > LastYear)
        return found;
    // Written always and kept only when born by then: a branch here would guess wrong at
    // random, since birth years in a bucket follow no order.
    for (const Entry &entry : bucket) {
        *found = entry.index;
        found += entry.birthYear <= year;
    }
    return found;
}

QList<qsizetype> MonthBirthdayIndex::on(QDate date, const calendar::DayDescription &day) const
{
    int year = 0, month = 0, dayOfMonth = 0;
    date.getDate(&year, &month, &dayOfMonth);
    return on(year, month, dayOfMonth, day);
}

QList<qsizetype> MonthBirthdayIndex::on(
    int year, int month, int dayOfMonth, const calendar::DayDescription &day) const
{
    if (isEmpty())
        return {};
    // The day's buckets first, so that the list is made once at its final size: a month of a
    // long list places hundreds of birthdays, and growing each day's list would cost more than
    // finding them.
    // Left uninitialised, as runEnd below: clearing them cost a tenth of the lookup, and only
    // what was written is read.
    std::array<std::pair<const Bucket *, int>, 6> sources;
    int used = 0;
    const auto add = [&](const QList<Bucket> &buckets, int key, int year) {
        if (!buckets[key].isEmpty())
            sources[used++] = { &buckets[key], year };
    };

    // Gregorian rule: the same month and day; 29 February falls on the 28th without a leap day.
    add(m_gregorian, gregorianKey(month, dayOfMonth), year);
    if (month == 2 && dayOfMonth == 28 && !hasLeapDay(year))
        add(m_gregorian, gregorianKey(2, 29), year);

    // Lunar rule: a leap-month birthday falls in the leap month only when the year leaps that
    // month, otherwise in the regular month unless its leap rule skips such years; day 30 falls
    // on day 29 of a short month.
    const calendar::LunarDate &lunar = day.lunar;
    const calendar::LunarYearTable &table = calendar::LoadLunarYearTable();
    const bool shortMonthEnd =
        lunar.day == 29 && table.monthLength(lunar.year, lunar.month, lunar.isLeap) == 29;
    const bool yearLeapsThisMonth = table.leapMonth(lunar.year) == lunar.month;
    for (const int lunarDay : { lunar.day, shortMonthEnd ? 30 : 0 }) {
        if (lunarDay == 0)
            continue;
        if (lunar.isLeap) {
            add(m_lunar, lunarKey(lunar.month, lunarDay, true), lunar.year);
            add(m_lunar, lunarKey(lunar.month, lunarDay, true, true), lunar.year);
        } else {
            add(m_lunar, lunarKey(lunar.month, lunarDay, false), lunar.year);
            if (!yearLeapsThisMonth)
                add(m_lunar, lunarKey(lunar.month, lunarDay, true), lunar.year);
        }
    }

    if (used == 0)
        return {};
    qsizetype most = 0;
    for (int i = 0; i < used; ++i)
        most += sources[i].first->size();
    QList<qsizetype> found(most);
    qsizetype *records = found.data();
    std::array<qsizetype, 7> runEnd;
    runEnd[0] = 0;
    for (int i = 0; i < used; ++i)
        runEnd[i + 1] =
            collect(*sources[i].first, sources[i].second, records + runEnd[i]) - records;
    const qsizetype count = runEnd[used];
    // Each bucket is in list order; a day that gathers several has its runs merged, from a copy
    // on the stack when they fit there.
    constexpr qsizetype Merged = 256;
    if (used > 1 && count <= Merged) {
        // The runs merged so far move aside, and the merge writes over them from the front: it
        // never overtakes the next run's unread part.
        std::array<qsizetype, Merged> aside;
        for (int i = 1; i < used; ++i) {
            std::copy(records, records + runEnd[i], aside.begin());
            mergeRuns<qsizetype>(aside.data(), aside.data() + runEnd[i], records + runEnd[i],
                records + runEnd[i + 1], records);
        }
    } else if (used > 1) {
        for (int i = 2; i <= used; ++i)
            std::inplace_merge(records, records + runEnd[i - 1], records + runEnd[i]);
    }
    found.resize(count);
    return found;
}

} // namespace natalis::calendar_ui
