#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"
#include "store/settingsrecord.h"

#include <QDate>
#include <QList>
#include <QString>

namespace natalis::reminder {

// What every reminder shows at one moment: birthdays first, then festivals.
struct ReminderTexts
{
    QString multiLine; // items separated by carriage returns (the balloon)
    QString oneLine; // items separated by blanks (tool tip, floating window, TodayNotifyText)

    bool isEmpty() const { return multiLine.isEmpty(); }
};

ReminderTexts buildReminderTexts(
    const store::BirthdayList &birthdays, const store::SettingsRecord &settings, QDate today);

// The heading of a day, shown as the tool tip when nothing is due:
// "公历2006年01月29日(星期日) 农历2006年(狗)01月01日 " followed by the day's solar term (the text
// ends in that blank on days without a term). Only the Gregorian part and the weekday outside
// the calendar's range.
QString dayHeading(QDate today);

// The first three items of a reminder text and a note that there are more: items are separated
// by a carriage return when multiLine, else by a blank; the note is "更多请双击..." when
// doubleClick, else "更多请见生日提醒窗口...". Empty for an empty text.
QString CutNotifyText(const QString &text, bool multiLine, bool doubleClick);

} // namespace natalis::reminder
