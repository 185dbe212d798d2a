#include "reminder/awaydigest.h"

#include "calendar/calendarnames.h"
#include "calendar/datetext.h"
#include "calendar/lunarconversion.h"
#include "reminder/birthdaynotify.h"
#include "reminder/birthdayoccurrences.h"
#include "reminder/upcomingbirthdays.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace natalis::reminder {

namespace {

constexpr int LongestListedWindow = 14;
constexpr int DigestDays = 6;

// "农历四月初八", "农历闰四月初八"; empty outside the lunar calendar's range.
QString lunarDayText(QDate date)
{
    const std::optional<calendar::LunarDate> lunar = calendar::solarToLunar(date);
    if (!lunar)
        return {};
    return u"农历"_s + (lunar->isLeap ? u"闰"_s : QString())
        + calendar::lunarMonthName(lunar->month) + calendar::lunarDayName(lunar->day);
}

// The age the birthday turns: 周岁, and 虚岁 for those kept by the lunar calendar.
QString ageText(const NextBirthday &next)
{
    if (next.age <= 0)
        return {};
    QString text = QString::number(next.age) + u"周岁"_s;
    if (next.lunar)
        text += u"(虚岁"_s + QString::number(next.age + 1) + u')';
    return text;
}

QString whenText(int daysLeft)
{
    if (daysLeft == 0)
        return u"今天"_s;
    if (daysLeft == 1)
        return u"明天"_s;
    return QString::number(daysLeft) + u"天后"_s;
}

QString detailText(const NextBirthday &next)
{
    QStringList parts { lunarDayText(next.date), ageText(next) };
    parts.removeAll(QString());
    return parts.join(u' ');
}

AwayMessage compose(const store::BirthdayList &birthdays, const QList<UpcomingBirthday> &items,
    const QString &heading, bool withDay)
{
    AwayMessage message;
    QStringList shortItems;
    QStringList smsItems;
    for (const UpcomingBirthday &item : items) {
        const store::BirthdayRecord &record = birthdays[item.index];
        // A 忌日 or 纪念日 says its day and years in its own item; ages are a birthday's.
        const bool birthday = store::entryKindOf(record.Kind) == store::EntryKind::Birthday;
        const QString detail = birthday ? detailText(item.next) : QString();
        QString line = birthdayItemText(record, item.daysLeft, item.next.date, item.next.age);
        if (withDay)
            line = calendar::comingDayText(item.next.date) + u' ' + line;
        message.body += line + (detail.isEmpty() ? QString() : u' ' + detail) + u'\n';
        shortItems.append(whenText(item.daysLeft) + u' ' + record.About.trimmed());
        smsItems.append(shortItems.last() + (detail.isEmpty() ? QString() : u' ' + detail));
    }
    if (items.isEmpty())
        return {};
    message.subject = heading + shortItems.join(u'，');
    message.sms = heading + smsItems.join(u'；');
    return message;
}

} // namespace

AwayMessage dayReminder(const store::BirthdayList &birthdays, QDate day)
{
    QList<UpcomingBirthday> due = upcomingBirthdays(birthdays, day, LongestListedWindow);
    due.removeIf([&](const UpcomingBirthday &item) {
        return !remindsOn(birthdays, item.index, item.daysLeft);
    });
    return compose(birthdays, due, u"生日提醒: "_s, false);
}

AwayMessage weekDigest(const store::BirthdayList &birthdays, QDate monday)
{
    return compose(
        birthdays, upcomingBirthdays(birthdays, monday, DigestDays), u"本周生日: "_s, true);
}

} // namespace natalis::reminder
