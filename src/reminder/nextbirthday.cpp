#include "reminder/nextbirthday.h"

#include "reminder/birthdayoccurrences.h"

namespace natalis::reminder {

QList<NextBirthday> nextBirthdays(const store::BirthdayList &birthdays, QDate today)
{
    TodaysReckoner reckoner(birthdays, today);
    QList<NextBirthday> next(birthdays.size());
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        NextBirthday &row = next[i];
        row.lunar = birthdays.text(i, store::BirthdayText::blnIsGL).trimmed() == RemindByLunar;
        const Reckoned reckoned = reckoner.at(i);
        if (!reckoned.rule)
            continue;
        row.hasYear = reckoned.rule->year != 0;
        for (int offset : { 0, 1 }) {
            const std::optional<QDate> &date = reckoned.dates[offset];
            if (!date || (offset == 0 && *date < today))
                continue;
            row.date = *date;
            row.age = reckoned.age(offset);
            break;
        }
    }
    return next;
}

} // namespace natalis::reminder
