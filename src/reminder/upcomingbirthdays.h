#pragma once

#include "reminder/nextbirthday.h"

#include <QList>

namespace natalis::reminder {

// One birthday of the list of those coming up.
struct UpcomingBirthday
{
    qsizetype index = 0; // position in the birthdays given
    NextBirthday next; // its date, the age then and which calendar reminds
    int daysLeft = 0; // 0 today, 1 tomorrow …
};

// The birthdays whose next occurrence falls on today or one of the `days` days after it, soonest
// first, in the array's order within a day. Birthdays without a date are left out.
QList<UpcomingBirthday> upcomingBirthdays(
    const store::BirthdayList &birthdays, QDate today, int days = 30);

} // namespace natalis::reminder
