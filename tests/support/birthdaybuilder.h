#pragma once

// Builds birthday records for tests the way the editor would fill them.

#include "store/birthdayrecord.h"

#include <QDateTime>
#include <QString>

namespace natalis::test {

// When the tests' rows are written, by the program's clock.
inline const QDateTime EnteredAt(QDate(2025, 5, 1), QTime(8, 0));

inline store::BirthdayRecord gregorianBirthday(
    const QString &name, const QString &glText, qint16 days = 3)
{
    store::BirthdayRecord record;
    record.About = name;
    record.Type = QStringLiteral("朋友");
    record.Tel = QStringLiteral("13800000000");
    record.strGL = glText;
    record.blnIsGL = QStringLiteral("按公历提醒");
    record.intNums = days;
    return record;
}

inline store::BirthdayRecord lunarBirthday(
    const QString &name, const QString &nlText, qint16 days = 3)
{
    store::BirthdayRecord record = gregorianBirthday(name, QString(), days);
    record.strNL = nlText;
    record.blnIsGL = QStringLiteral("按农历提醒");
    return record;
}

} // namespace natalis::test
