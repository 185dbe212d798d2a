#include "reminder/nextbirthday.h"

#include "calendar/lunarconversion.h"
#include "reminder/birthdayoccurrences.h"

namespace natalis::reminder {

QList<NextBirthday> nextBirthdays(const store::BirthdayList &birthdays, QDate today)
{
    DateReckoner gregorian(birthdays, false, today.year());
    // The lunar rule counts from the lunar year today lies in: the one before has ended.
    const auto lunarToday = calendar::solarToLunar(today);
    std::optional<DateReckoner> lunar;
    if (lunarToday)
        lunar.emplace(birthdays, true, lunarToday->year);

    QList<NextBirthday> next(birthdays.size());
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        NextBirthday &row = next[i];
        const QStringView by = birthdays.text(i, store::BirthdayText::blnIsGL).trimmed();
        row.lunar = by == RemindByLunar;
        if (!row.lunar && by != RemindByGregorian)
            continue;
        if (row.lunar && !lunar) {
            const std::optional<BirthRule> rule = birthRuleAt(birthdays, i);
            row.hasYear = rule && rule->year != 0;
            continue;
        }
        const Reckoned reckoned = row.lunar ? lunar->at(i) : gregorian.at(i);
        if (!reckoned.rule)
            continue;
        row.hasYear = reckoned.rule->year != 0;
        const int year = row.lunar ? lunarToday->year : today.year();
        for (int offset : { 0, 1 }) {
            const std::optional<QDate> &date = reckoned.dates[offset];
            if (!date || (offset == 0 && *date < today))
                continue;
            row.date = *date;
            row.age = row.hasYear ? year + offset - reckoned.rule->year : 0;
            break;
        }
    }
    return next;
}

} // namespace natalis::reminder
