#include "remindertexts.h"

#include "birthdaynotify.h"
#include "calendar/calendarnames.h"
#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "holidaynotify.h"

namespace natalis::reminder {

namespace {

QString joinNonEmpty(const QString &first, const QString &second, QChar separator)
{
    if (first.isEmpty())
        return second;
    if (second.isEmpty())
        return first;
    return first + separator + second;
}

QString withoutBlanks(QString text)
{
    return text.remove(u' ');
}

} // namespace

ReminderTexts buildReminderTexts(
    const store::BirthdayList &birthdays, const store::SettingsRecord &settings, QDate today)
{
    ReminderTexts texts;
    texts.multiLine = joinNonEmpty(GetBirthNotifyText(birthdays, today, true),
        GetHolidayNotifyText(settings, today, true), u'\r');
    texts.oneLine = joinNonEmpty(GetBirthNotifyText(birthdays, today, false),
        GetHolidayNotifyText(settings, today, false), u' ');
    return texts;
}

QString dayHeading(QDate today)
{
    // Qt counts Monday as 1; the name list starts on Sunday.
    QString heading = withoutBlanks(calendar::gregorianText(today)) + u'('
        + calendar::weekdayName(today.dayOfWeek() % 7 + 1) + QStringLiteral(")");
    if (const std::optional<calendar::DayDescription> day = calendar::DescribeDay(today))
        heading += u' ' + withoutBlanks(day->longText) + u' ' + day->termName;
    return heading;
}

QString CutNotifyText(const QString &text, bool multiLine, bool doubleClick)
{
    if (text.isEmpty())
        return {};
    const QChar separator = multiLine ? u'\r' : u' ';
    const QString items = text + separator;
    QString result;
    qsizetype next = 0;
    for (int item = 0; item < 3 && next < items.size(); ++item) {
        const qsizetype end = items.indexOf(separator, next);
        result += QStringView(items).mid(next, end - next + 1);
        next = end + 1;
    }
    if (next < items.size())
        result += (doubleClick ? QStringLiteral("更多请双击...")
                               : QStringLiteral("更多请见生日提醒窗口..."))
            + separator;
    result.chop(1);
    return result;
}

} // namespace natalis::reminder
