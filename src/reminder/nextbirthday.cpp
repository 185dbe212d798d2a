#include "reminder/nextbirthday.h"

#include "calendar/lunarconversion.h"
#include "reminder/birthdayoccurrences.h"

namespace natalis::reminder {

QList<NextBirthday> nextBirthdays(const store::BirthdayList &birthdays, QDate today)
{
    const qsizetype count = birthdays.size();
    BirthOccurrences occurrences(count);
    CalcGlBirthDates(birthdays, today.year(), occurrences);
    // The lunar rule counts from the lunar year today lies in: the one before has ended.
    if (const auto lunarToday = calendar::solarToLunar(today))
        CalcNlBirthDates(birthdays, lunarToday->year, occurrences);

    QList<NextBirthday> next(count);
    for (qsizetype i = 0; i < count; ++i) {
        next[i].lunar = birthdays.text(i, store::BirthdayText::blnIsGL).trimmed() == RemindByLunar;
        const std::optional<BirthRule> rule = birthRuleAt(birthdays, i);
        next[i].hasYear = rule && rule->year != 0;
        const QDate thisYear = occurrences.ThisYearDates[i];
        if (thisYear.isValid() && thisYear >= today) {
            next[i].date = thisYear;
            next[i].age = occurrences.ThisYearAges[i];
        } else if (occurrences.NextYearDates[i].isValid()) {
            next[i].date = occurrences.NextYearDates[i];
            next[i].age = occurrences.NextYearAges[i];
        }
    }
    return next;
}

} // namespace natalis::reminder
