#include "reminder/nextbirthday.h"

#include "reminder/birthdayoccurrences.h"

namespace natalis::reminder {

namespace {

NextBirthday nextOf(
    const store::BirthdayList &birthdays, qsizetype i, QDate today, TodaysReckoner &reckoner)
{
    NextBirthday next;
    next.lunar = birthdays.text(i, store::BirthdayText::blnIsGL).trimmed() == RemindByLunar;
    const Reckoned reckoned = reckoner.at(i);
    if (!reckoned.rule)
        return next;
    next.hasYear = reckoned.rule->year != 0;
    for (int offset : { 0, 1 }) {
        const std::optional<QDate> &date = reckoned.dates[offset];
        if (!date || (offset == 0 && *date < today))
            continue;
        next.date = *date;
        next.age = reckoned.age(offset);
        break;
    }
    return next;
}

} // namespace

QList<NextBirthday> nextBirthdays(const store::BirthdayList &birthdays, QDate today)
{
    TodaysReckoner reckoner(birthdays, today);
    QList<NextBirthday> next;
    next.reserve(birthdays.size());
    for (qsizetype i = 0; i < birthdays.size(); ++i)
        next.append(nextOf(birthdays, i, today, reckoner));
    return next;
}

QList<NextBirthday> nextBirthdays(
    const store::BirthdayList &birthdays, QDate today, const QList<qsizetype> &positions)
{
    TodaysReckoner reckoner(birthdays, today);
    QList<NextBirthday> next;
    next.reserve(positions.size());
    for (qsizetype i : positions)
        next.append(nextOf(birthdays, i, today, reckoner));
    return next;
}

} // namespace natalis::reminder
