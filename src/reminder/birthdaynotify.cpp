#include "birthdaynotify.h"

#include "birthdayoccurrences.h"
#include "calendar/lunarconversion.h"

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
};

// The lunar year today lies in: before lunar new year it is the previous Gregorian year.
std::optional<int> lunarYearOf(QDate today)
{
    const std::optional<calendar::LunarDate> lunar = calendar::solarToLunar(today);
    if (!lunar)
        return std::nullopt;
    return lunar->year;
}

} // namespace

QString birthdayItemText(const BirthdayRecord &birthday, int daysLeft)
{
    const QString name = birthday.About.trimmed();
    // A name like 妈妈生日 already says 生日.
    const QString subject =
        name.endsWith(QStringLiteral("生日")) ? name : name + QStringLiteral("生日");
    const QString contact = u'[' + birthday.Type.trimmed() + u',' + birthday.Tel.trimmed() + u']';
    if (daysLeft == 0)
        return QStringLiteral("今天是") + subject + contact;
    return subject + QStringLiteral("还有") + QString::number(daysLeft) + u'天' + contact;
}

QString GetBirthNotifyText(const BirthdayList &birthdays, QDate today, bool multiLine)
{
    if (birthdays.isEmpty() || !today.isValid())
        return {};

    BirthOccurrences occurrences(birthdays.size());
    CalcGlBirthDates(birthdays, today.year(), occurrences);
    if (const std::optional<int> lunarYear = lunarYearOf(today))
        CalcNlBirthDates(birthdays, *lunarYear, occurrences);

    // Each entry's this-year occurrence is tested before its next-year one, in list order;
    // a stable sort by days left then keeps that order within a day.
    QList<DueItem> due;
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        for (const QList<QDate> *dates :
            { &occurrences.ThisYearDates, &occurrences.NextYearDates }) {
            const QDate date = (*dates)[i];
            if (!date.isValid())
                continue;
            const qint64 daysLeft = today.daysTo(date);
            if (daysLeft >= 0 && daysLeft <= birthdays.days(i) && daysLeft <= LongestListedWindow)
                due.append({ i, int(daysLeft) });
        }
    }
    std::stable_sort(due.begin(), due.end(),
        [](const DueItem &a, const DueItem &b) { return a.daysLeft < b.daysLeft; });

    QStringList items;
    items.reserve(due.size());
    for (const DueItem &item : due)
        items.append(birthdayItemText(birthdays[item.index], item.daysLeft));
    return items.join(multiLine ? u'\r' : u' ');
}

} // namespace natalis::reminder
