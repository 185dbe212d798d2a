#pragma once

#include "store/birthdaylist.h"

#include <QDate>
#include <QString>

namespace natalis::reminder {

// The texts a reminder sent away from the desk carries: a mail's subject and body, an SMS.
struct AwayMessage
{
    QString subject; // one line a phone shows: "生日提醒: 今天 张三，3天后 李四"
    QString body; // one line per birthday, each ended by "\n"
    QString sms; // the subject's items with lunar date and age, one message
    bool isEmpty() const { return body.isEmpty(); }
};

// The day's reminder: each birthday due on `day` by its own reminder window (as the tray lists
// them, at most 14 days ahead), named as the tray does, with its lunar date and age. Empty when
// nothing is due.
AwayMessage dayReminder(const store::BirthdayList &birthdays, QDate day);

// The weekly digest: every birthday on `monday` or in the 6 days after it, whatever its reminder
// window, with its day, lunar date and age. Empty when there is none.
AwayMessage weekDigest(const store::BirthdayList &birthdays, QDate monday);

} // namespace natalis::reminder
