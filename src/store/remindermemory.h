#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

namespace natalis::store {

class Connection;

// What the reminder remembers across restarts: the day each time-of-day method last fired and
// the last day the program ran. Kept as key/value rows of table reminderstate, which every new
// file gets and an older file gets on first use.
inline constexpr QStringView LastRunKey = u"lastRun";
inline constexpr QStringView BalloonFiredKey = u"firedBalloon";
inline constexpr QStringView FloatingFiredKey = u"firedFloating";
inline constexpr QStringView MusicFiredKey = u"firedMusic";

// Creates the table when missing. Throws DbException.
void createReminderMemory(Connection &connection);

// The stored day of key, invalid when never stored, unreadable or on a read error.
QDate readReminderDate(Connection &connection, QStringView key);

// Stores day under key; false on a write error (the reminder goes on from memory then).
bool writeReminderDate(Connection &connection, QStringView key, QDate day);

} // namespace natalis::store
