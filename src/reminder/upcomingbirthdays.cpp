#include "reminder/upcomingbirthdays.h"

#include <algorithm>

namespace natalis::reminder {

QList<UpcomingBirthday> upcomingBirthdays(
    const store::BirthdayList &birthdays, QDate today, int days)
{
    const QList<NextBirthday> next = nextBirthdays(birthdays, today);
    QList<UpcomingBirthday> upcoming;
    for (qsizetype i = 0; i < next.size(); ++i) {
        if (!next[i].date.isValid())
            continue;
        const qint64 left = today.daysTo(next[i].date);
        if (left >= 0 && left <= days)
            upcoming.append({ i, next[i], int(left) });
    }
    std::stable_sort(
        upcoming.begin(), upcoming.end(), [](const UpcomingBirthday &a, const UpcomingBirthday &b) {
            return a.daysLeft < b.daysLeft;
        });
    return upcoming;
}

} // namespace natalis::reminder
