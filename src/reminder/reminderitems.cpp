#include "reminder/reminderitems.h"

#include <QRegularExpression>
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

QString daysAgoText(int daysAgo, const QString &subject)
{
    if (daysAgo == 0)
        return QStringLiteral("今天是") + subject;
    if (daysAgo == 1)
        return QStringLiteral("昨天是") + subject;
    return QString::number(daysAgo) + QStringLiteral("天前是") + subject;
}

} // namespace

QString itemDaysLater(const QString &item, int days)
{
    // The wordings the day's reminder makes: birthdaynotify, holidaynotify and
    // missedbirthdays.
    static const QRegularExpression today(QStringLiteral("^今天是(.+?)(\\[[^\\[]*\\])?$"));
    static const QRegularExpression ago(QStringLiteral("^(昨天|(\\d+)天前)是(.+)$"));
    static const QRegularExpression coming(QStringLiteral("^(.+)还有(\\d+)天(\\[[^\\[]*\\])?$"));
    static const QRegularExpression ahead(QStringLiteral("^(\\d+)天后是(.+)$"));
    if (days <= 0)
        return item;
    if (const QRegularExpressionMatch m = today.match(item); m.hasMatch())
        return daysAgoText(days, m.captured(1));
    if (const QRegularExpressionMatch m = ago.match(item); m.hasMatch()) {
        const int before = m.captured(2).isEmpty() ? 1 : m.captured(2).toInt();
        return daysAgoText(before + days, m.captured(3));
    }
    if (const QRegularExpressionMatch m = ahead.match(item); m.hasMatch()) {
        const int left = m.captured(1).toInt() - days;
        if (left > 0)
            return QString::number(left) + QStringLiteral("天后是") + m.captured(2);
        return daysAgoText(-left, m.captured(2));
    }
    if (const QRegularExpressionMatch m = coming.match(item); m.hasMatch()) {
        const int left = m.captured(2).toInt() - days;
        if (left > 0)
            return m.captured(1) + QStringLiteral("还有") + QString::number(left) + u'天'
                + m.captured(3);
        return left == 0 ? QStringLiteral("今天是") + m.captured(1) + m.captured(3)
                         : daysAgoText(-left, m.captured(1));
    }
    return item;
}

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
