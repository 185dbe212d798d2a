#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"

#include <QDate>
#include <QList>
#include <QString>

namespace natalis::reminder {

// The birthday reminder text for `today`: every occurrence (this year's or next year's, each
// birthday by its own calendar) that lies 0..intNums days ahead, ordered by days left and then
// by list order, e.g. "今天是张三生日[朋友,13800000000]" or "张三生日还有5天[朋友,13800000000]".
// Items are separated by a carriage return when multiLine, else by one blank; the text never
// ends with a separator. Empty when nothing is due. Items more than 14 days ahead are never
// listed.
QString GetBirthNotifyText(const store::BirthdayList &birthdays, QDate today, bool multiLine);

// One birthday's item as the reminder names it: "今天是张三生日[朋友,13800000000]" when daysLeft
// is 0, else "张三生日还有5天[朋友,13800000000]".
QString birthdayItemText(const store::BirthdayRecord &birthday, int daysLeft);

} // namespace natalis::reminder
