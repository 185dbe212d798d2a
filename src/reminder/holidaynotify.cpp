#include "holidaynotify.h"

#include "calendar/describeday.h"

#include <array>

namespace natalis::reminder {

namespace {

using store::SettingsRecord;

struct RemindedFestival
{
    QStringView name;
    quint8 SettingsRecord::*flag;
};

// The festivals that can be reminded of, in reminder order. 春节, 元宵节, 劳动节, 国庆节, 除夕 and
// 清明节 are shown by the calendar but never reminded.
constexpr std::array<RemindedFestival, 11> Festivals = { {
    { u"端午节", &SettingsRecord::intDw },
    { u"中秋节", &SettingsRecord::intZq },
    { u"重阳节", &SettingsRecord::intCy },
    { u"教师节", &SettingsRecord::intJs },
    { u"母亲节", &SettingsRecord::intMq },
    { u"父亲节", &SettingsRecord::intFq },
    { u"妇女节", &SettingsRecord::intFl },
    { u"儿童节", &SettingsRecord::intEt },
    { u"七夕节", &SettingsRecord::intQx },
    { u"情人节", &SettingsRecord::intQr },
    { u"圣诞节", &SettingsRecord::intSd },
} };

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
        for (const RemindedFestival &festival : Festivals) {
            if (settings.*festival.flag != 0 && day->festivals.contains(festival.name))
                items.append(itemText(festival.name, daysAhead));
        }
    }
    return items.join(multiLine ? u'\r' : u' ');
}

} // namespace natalis::reminder
