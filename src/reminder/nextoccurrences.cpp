#include "reminder/nextoccurrences.h"

#include "calendar/lunarconversion.h"
#include "reminder/birthdayoccurrences.h"
#include "reminder/entryages.h"

namespace natalis::reminder {

QList<Occurrence> nextOccurrences(const store::BirthdayRecord &entry, QDate from, int count)
{
    const store::BirthdayList one { entry };
    const std::optional<BirthRule> rule = birthRuleAt(one, 0);
    if (!rule || !from.isValid())
        return {};
    // A lunar year begins in January or February: the one before from's Gregorian year may
    // still have its occurrence ahead.
    int year = from.year() - (rule->lunar ? 1 : 0);
    const std::optional<int> startYear = startLunarYear(*rule, entry.strNL);
    QList<Occurrence> occurrences;
    for (; occurrences.size() < count && year <= 2100; ++year) {
        const std::optional<QDate> date = occurrenceIn(*rule, year);
        if (!date || *date < from)
            continue;
        Occurrence occurrence { *date, std::nullopt, std::nullopt };
        if (rule->year != 0) {
            occurrence.fullAge = year - rule->year;
            if (startYear)
                occurrence.nominalAge = nominalAgeOn(*startYear, *date);
        }
        occurrences.append(occurrence);
    }
    return occurrences;
}

} // namespace natalis::reminder
