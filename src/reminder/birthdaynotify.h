#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"

#include <QDate>
#include <QList>
#include <QString>

namespace natalis::reminder {

// The birthday reminder text for `today`: every occurrence (this year's or next year's, each
// birthday by its own calendar) on which it reminds (remindsOn), ordered by days left and then
// by list order, e.g. "今天是张三生日[朋友,13800000000]" or "张三生日还有5天[朋友,13800000000]".
// Items are separated by a carriage return when multiLine, else by one blank; the text never
// ends with a separator. Empty when nothing is due. Items more than 14 days ahead are never
// listed.
QString GetBirthNotifyText(const store::BirthdayList &birthdays, QDate today, bool multiLine);

// What an entry is called in a reminder: "张三生日" (a name like 妈妈生日 kept as it is),
// "奶奶的忌日", "结婚的纪念日" (a name that already ends in its kind kept as it is).
QString entrySubject(const store::BirthdayRecord &entry);

// One entry's item as the reminder names it. A birthday: "今天是张三生日[朋友,13800000000]" when
// daysLeft is 0, else "张三生日还有5天[朋友,13800000000]". A 忌日 or 纪念日 says its day by its
// own calendar and, when years > 0, how many years it marks: "3天后是奶奶的忌日(农历三月初五,
// 逝世20周年)", "今天是结婚的纪念日(公历5月1日,10周年)"; without date, no parenthesis.
QString birthdayItemText(
    const store::BirthdayRecord &birthday, int daysLeft, QDate date = {}, int years = 0);

} // namespace natalis::reminder
