#pragma once

#include "store/reminderitems.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

namespace natalis::reminder {

using store::ItemState;
using store::ReminderItemMark;

// 稍后提醒: how long the user puts the reminder off.
enum class Snooze { TenMinutes, OneHour, TomorrowMorning };

// When a snooze chosen at now ends: 10 minutes or an hour later, or 9:00 of the next day.
QDateTime snoozeEnd(Snooze choice, const QDateTime &now);

// The item worded for the day `days` (>= 0) after the one it was made for, as that day's
// reminder words it: the day's birthday or festival "今天是…" becomes "昨天是…" or "N天前是…"
// (without the contact, as a missed birthday reads), "…还有N天[…]" counts down to "今天是…[…]"
// and past it, a missed one goes further back. Other texts are kept as they are.
QString itemDaysLater(const QString &item, int days);

// The items of a day: the due ones in their order, then the marks' own items (the birthdays
// missed while the program was not running, items a snooze carried into the day). A mark of an
// item no longer due (its birthday deleted or changed) adds nothing.
QStringList dayItems(const QStringList &due, const QList<ReminderItemMark> &marks);

// The state of item at now: Waiting when unmarked; a snooze whose end has come counts as Shown,
// as it is to be shown again.
ItemState stateAt(const QList<ReminderItemMark> &marks, const QString &item, const QDateTime &now);

// The items still to be noticed at now: neither acknowledged nor put off past now.
QStringList pendingItems(
    const QStringList &items, const QList<ReminderItemMark> &marks, const QDateTime &now);

// The items whose snooze has ended by now: they come back on every way they can be shown.
QStringList snoozesOver(
    const QStringList &items, const QList<ReminderItemMark> &marks, const QDateTime &now);

// The items already shown and not acknowledged, their snooze over if they had one: what a
// restart on the same day shows again.
QStringList shownUnacknowledged(
    const QStringList &items, const QList<ReminderItemMark> &marks, const QDateTime &now);

} // namespace natalis::reminder
