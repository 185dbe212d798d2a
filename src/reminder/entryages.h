#pragma once

#include "reminder/birthdayoccurrences.h"
#include "store/birthdayrecord.h"

#include <QDate>
#include <QString>
#include <optional>

namespace natalis::reminder {

// The lunar year an entry began in: the lunar rule's own year, or the lunar year of the
// Gregorian date (its lunar text's year when that date lies outside 1901..2100). nullopt for an
// entry without a year or without a readable date.
std::optional<int> startLunarYear(const store::BirthdayRecord &entry);
// The same for a rule already read (birthRuleAt); lunarText, the entry's lunar date text, is read
// only for a Gregorian date outside 1901..2100.
std::optional<int> startLunarYear(const BirthRule &rule, QStringView lunarText);

// 虚岁 on day of someone born in the lunar year birthLunarYear: 1 in that year, one more at
// each lunar new year. nullopt when day lies outside the lunar calendar's range or before it.
std::optional<int> nominalAgeOn(int birthLunarYear, QDate day);

// The 生肖 of the entry's lunar year ("龙"); empty for an entry without a year.
QString entryZodiac(const store::BirthdayRecord &entry);

} // namespace natalis::reminder
