#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"

#include <QDate>
#include <QList>
#include <QStringList>

namespace natalis::reminder {

// How far back a start-up still tells of birthdays the user was not reminded of.
inline constexpr int MissedDaysLimit = 7;

// The birthdays whose day lay after lastRun and before today while the program was not running,
// at most MissedDaysLimit days back, most recent first: "昨天是张三生日", "3天前是张三生日". Empty
// when lastRun is unknown (a new database) or not before yesterday.
QStringList missedBirthdayItems(const store::BirthdayList &birthdays, QDate lastRun, QDate today);

} // namespace natalis::reminder
