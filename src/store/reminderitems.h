#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

namespace natalis::store {

class Connection;

// Where one reminder item (a line of the day's reminder: a birthday, a festival, a missed
// birthday) stands on one day. Only Acknowledged ends it; the numbers are stored.
enum class ItemState {
    Waiting = 0, // due, not yet shown
    Shown = 1, // shown, not acknowledged: shown again after a restart the same day
    Acknowledged = 2,
    Snoozed = 3, // put off until the mark's until
};

struct ReminderItemMark
{
    QString item; // the item's text as the reminder shows it
    ItemState state = ItemState::Waiting;
    QDateTime until; // local time; only for Snoozed
    // The item is the day's by this mark alone (a birthday missed while the program was not
    // running, an item a snooze carried into the day), not by the day's due list.
    bool ownItem = false;

    bool operator==(const ReminderItemMark &) const = default;
};

// Creates table reminderitem when missing: every new file gets it, an older one on first use.
// Throws DbException.
void createReminderItems(Connection &connection);

// The marks stored for day, in the order they were last written; empty when there are none or
// on a read error.
QList<ReminderItemMark> readReminderItems(Connection &connection, QDate day);

// Stores mark for day, replacing the item's earlier mark of that day, and forgets the marks of
// days more than a week before day (they can no longer come back). False on a write error (the
// reminder goes on from memory then).
bool writeReminderItem(Connection &connection, QDate day, const ReminderItemMark &mark);

} // namespace natalis::store
