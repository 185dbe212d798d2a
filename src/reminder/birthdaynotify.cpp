#include "birthdaynotify.h"

#include "birthdayoccurrences.h"
#include "calendar/calendarnames.h"
#include "calendar/lunarconversion.h"
#include "store/entrykind.h"

#include <QStringList>
#include <algorithm>
#include <optional>

namespace natalis::reminder {

namespace {

using store::BirthdayList;
using store::BirthdayRecord;

constexpr int LongestListedWindow = 14;

struct DueItem
{
    qsizetype index; // into the birthday list
    int daysLeft;
    QDate date;
    int years; // since the entry's year; 0 without one
};

// The day as the entry's calendar names it: "农历三月初五", "农历闰四月初八", "公历5月1日"; empty
// for a lunar day outside the calendar's range.
QString dayByRule(QDate date, bool lunar)
{
    if (!lunar)
        return QStringLiteral("公历%1月%2日").arg(date.month()).arg(date.day());
    const std::optional<calendar::LunarDate> day = calendar::solarToLunar(date);
    if (!day)
        return QString();
    return QStringLiteral("农历") + (day->isLeap ? QStringLiteral("闰") : QString())
        + calendar::lunarMonthName(day->month) + calendar::lunarDayName(day->day);
}

// "逝世20周年" for a 忌日, "10周年" for a 纪念日.
QString yearsText(const BirthdayRecord &entry, int years)
{
    const QString count = QString::number(years) + QStringLiteral("周年");
    return store::entryKindOf(entry.Kind) == store::EntryKind::Memorial
        ? QStringLiteral("逝世") + count
        : count;
}

} // namespace

QString entrySubject(const BirthdayRecord &entry)
{
    const QString name = entry.About.trimmed();
    const store::EntryKind kind = store::entryKindOf(entry.Kind);
    const QString kindText = store::entryKindText(kind);
    if (name.endsWith(kindText))
        return name;
    // Birthdays keep the wording they always had: "张三生日".
    return kind == store::EntryKind::Birthday ? name + kindText : name + u'的' + kindText;
}

QString birthdayItemText(const BirthdayRecord &birthday, int daysLeft, QDate date, int years)
{
    const QString subject = entrySubject(birthday);
    if (store::entryKindOf(birthday.Kind) == store::EntryKind::Birthday) {
        const QString contact =
            u'[' + birthday.Type.trimmed() + u',' + birthday.Tel.trimmed() + u']';
        if (daysLeft == 0)
            return QStringLiteral("今天是") + subject + contact;
        return subject + QStringLiteral("还有") + QString::number(daysLeft) + u'天' + contact;
    }
    QStringList details;
    if (date.isValid())
        details.append(dayByRule(date, birthday.blnIsGL.trimmed() == RemindByLunar));
    if (years > 0)
        details.append(yearsText(birthday, years));
    details.removeAll(QString());
    const QString detail = details.isEmpty() ? QString() : u'(' + details.join(u',') + u')';
    const QString when =
        daysLeft == 0 ? QStringLiteral("今天") : QString::number(daysLeft) + QStringLiteral("天后");
    return when + u'是' + subject + detail;
}

QString GetBirthNotifyText(const BirthdayList &birthdays, QDate today, bool multiLine)
{
    if (birthdays.isEmpty() || !today.isValid())
        return {};

    TodaysReckoner reckoner(birthdays, today);
    // Each entry's this-year occurrence is tested before its next-year one, in list order;
    // a stable sort by days left then keeps that order within a day.
    QList<DueItem> due;
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        const Reckoned reckoned = reckoner.at(i);
        for (int offset : { 0, 1 }) {
            const std::optional<QDate> &date = reckoned.dates[offset];
            if (!date)
                continue;
            const qint64 daysLeft = today.daysTo(*date);
            if (remindsOn(birthdays, i, daysLeft) && daysLeft <= LongestListedWindow)
                due.append({ i, int(daysLeft), *date, reckoned.age(offset) });
        }
    }
    std::stable_sort(due.begin(), due.end(),
        [](const DueItem &a, const DueItem &b) { return a.daysLeft < b.daysLeft; });

    QStringList items;
    items.reserve(due.size());
    for (const DueItem &item : due)
        items.append(birthdayItemText(birthdays[item.index], item.daysLeft, item.date, item.years));
    return items.join(multiLine ? u'\r' : u' ');
}

} // namespace natalis::reminder
