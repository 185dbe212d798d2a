#include "holidaynotify.h"

#include "calendar/describeday.h"
#include "reminder/remindedfestivals.h"

namespace natalis::reminder {

namespace {

using store::SettingsRecord;

QString itemText(QStringView festival, int daysAhead)
{
    if (daysAhead == 0)
        return QStringLiteral("今天是") + festival.toString();
    return festival.toString() + QStringLiteral("还有") + QString::number(daysAhead) + u'天';
}

} // namespace

QString GetHolidayNotifyText(const SettingsRecord &settings, QDate today, bool multiLine)
{
    QStringList items;
    // The window reaches one day past the number set: with 3, festivals 4 days ahead are named.
    for (int daysAhead = 0; daysAhead <= settings.intNums + 1; ++daysAhead) {
        const std::optional<calendar::DayDescription> day =
            calendar::DescribeDay(today.addDays(daysAhead));
        if (!day || day->festivals.isEmpty())
            continue;
        for (const RemindedFestival &festival : RemindedFestivals) {
            if (settings.*festival.flag != 0 && day->festivals.contains(festival.name))
                items.append(itemText(festival.name, daysAhead));
        }
    }
    return items.join(multiLine ? u'\r' : u' ');
}

} // namespace natalis::reminder
