#include "reminder/reminderitems.h"

#include <algorithm>

namespace natalis::reminder {

namespace {

constexpr int MorningHour = 9;

const ReminderItemMark *markOf(const QList<ReminderItemMark> &marks, const QString &item)
{
    const auto found = std::find_if(marks.cbegin(), marks.cend(),
        [&](const ReminderItemMark &mark) { return mark.item == item; });
    return found == marks.cend() ? nullptr : &*found;
}

template<typename Keep>
QStringList itemsWhere(const QStringList &items, Keep keep)
{
    QStringList kept;
    for (const QString &item : items) {
        if (keep(item))
            kept.append(item);
    }
    return kept;
}

} // namespace

QDateTime snoozeEnd(Snooze choice, const QDateTime &now)
{
    switch (choice) {
    case Snooze::TenMinutes:
        return now.addSecs(10 * 60);
    case Snooze::OneHour:
        return now.addSecs(60 * 60);
    case Snooze::TomorrowMorning:
        break;
    }
    return QDateTime(now.date().addDays(1), QTime(MorningHour, 0));
}

QStringList dayItems(const QStringList &due, const QList<ReminderItemMark> &marks)
{
    QStringList items = due;
    for (const ReminderItemMark &mark : marks) {
        if (mark.ownItem && !items.contains(mark.item))
            items.append(mark.item);
    }
    return items;
}

ItemState stateAt(const QList<ReminderItemMark> &marks, const QString &item, const QDateTime &now)
{
    const ReminderItemMark *mark = markOf(marks, item);
    if (!mark)
        return ItemState::Waiting;
    if (mark->state == ItemState::Snoozed && !(now < mark->until))
        return ItemState::Shown;
    return mark->state;
}

QStringList pendingItems(
    const QStringList &items, const QList<ReminderItemMark> &marks, const QDateTime &now)
{
    return itemsWhere(items, [&](const QString &item) {
        const ItemState state = stateAt(marks, item, now);
        return state == ItemState::Waiting || state == ItemState::Shown;
    });
}

QStringList snoozesOver(
    const QStringList &items, const QList<ReminderItemMark> &marks, const QDateTime &now)
{
    return itemsWhere(items, [&](const QString &item) {
        const ReminderItemMark *mark = markOf(marks, item);
        return mark && mark->state == ItemState::Snoozed && !(now < mark->until);
    });
}

QStringList shownUnacknowledged(
    const QStringList &items, const QList<ReminderItemMark> &marks, const QDateTime &now)
{
    return itemsWhere(
        items, [&](const QString &item) { return stateAt(marks, item, now) == ItemState::Shown; });
}

} // namespace natalis::reminder
