#include "reminder/missedbirthdays.h"

#include "calendar/lunarconversion.h"
#include "reminder/birthdaynotify.h"
#include "reminder/birthdayoccurrences.h"

#include <algorithm>

namespace natalis::reminder {

namespace {

struct Missed
{
    qsizetype index;
    int daysAgo;
};

QString missedText(const store::BirthdayRecord &birthday, int daysAgo)
{
    const QString subject = entrySubject(birthday);
    if (daysAgo == 1)
        return QStringLiteral("昨天是") + subject;
    return QString::number(daysAgo) + QStringLiteral("天前是") + subject;
}

} // namespace

QStringList missedBirthdayItems(const store::BirthdayList &birthdays, QDate lastRun, QDate today)
{
    if (birthdays.isEmpty() || !lastRun.isValid() || !today.isValid())
        return {};
    const QDate earliest = std::max(lastRun.addDays(1), today.addDays(-MissedDaysLimit));
    if (earliest >= today)
        return {};

    // This and next year from the earliest day cover every day up to today, in both calendars.
    BirthOccurrences occurrences(birthdays.size());
    CalcGlBirthDates(birthdays, earliest.year(), occurrences);
    if (const auto lunar = calendar::solarToLunar(earliest))
        CalcNlBirthDates(birthdays, lunar->year, occurrences);

    QList<Missed> missed;
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        for (const QList<QDate> *dates :
            { &occurrences.ThisYearDates, &occurrences.NextYearDates }) {
            const QDate date = (*dates)[i];
            if (date.isValid() && date >= earliest && date < today)
                missed.append({ i, int(date.daysTo(today)) });
        }
    }
    std::stable_sort(missed.begin(), missed.end(),
        [](const Missed &a, const Missed &b) { return a.daysAgo < b.daysAgo; });
    QStringList items;
    for (const Missed &item : missed)
        items.append(missedText(birthdays[item.index], item.daysAgo));
    return items;
}

} // namespace natalis::reminder
