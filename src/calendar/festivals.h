#pragma once

#include "lunardate.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace natalis::calendar {

// The festivals of a day, in the order the program always lists them: 清明节, the lunar
// festival, the Gregorian festival, 除夕, 母亲节, 父亲节.
//   date             the Gregorian day
//   lunar            its lunar date
//   lunarMonthDays   the length of the lunar month the day lies in (29 or 30)
//   term             the solar term of the day, empty when none
QStringList festivalsOf(
    QDate date, const LunarDate &lunar, int lunarMonthDays, const QString &term);

} // namespace natalis::calendar
