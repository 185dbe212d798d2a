#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"

#include <QDate>
#include <QList>

namespace natalis::reminder {

// A birthday's next occurrence on or after a given day, by the entry's own rule.
struct NextBirthday
{
    QDate date; // invalid: no occurrence within 1901..2100 (or a malformed date text)
    int age = 0; // 周岁 at that occurrence: whole years, lunar years for the lunar rule
    bool lunar = false; // the lunar rule, whose 虚岁 is age + 1
    bool hasYear = false; // false for an entry kept without a year: age is then 0 and no age
};

// One element per birthday, in the same order. Today's occurrence counts as the next one.
QList<NextBirthday> nextBirthdays(const store::BirthdayList &birthdays, QDate today);
// The same for the rows at positions only, one element per position in their order.
QList<NextBirthday> nextBirthdays(
    const store::BirthdayList &birthdays, QDate today, const QList<qsizetype> &positions);

} // namespace natalis::reminder
