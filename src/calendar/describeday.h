#pragma once

#include "lunardate.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace natalis::calendar {

// What a Gregorian day is in the lunar calendar, as every window shows it.
struct DayDescription
{
    LunarDate lunar;
    QString lunarText; // stored layout: 农历1976年 01月26日
    QString longText; // with the zodiac: 农历1976年(龙) 01月26日
    QString dayName; // 初一 … 廿九, 三十
    QString termName; // the solar term of the day; empty when none, and on 清明 (a festival)
    QString monthNote; // on day 1 of a lunar month only, e.g. 1月大, 闰7月小; else empty
    QStringList festivals; // in listing order

    // The festivals as the windows join them: each name followed by CR LF.
    QString festivalText() const;
};

// The description of a day from 19 February 1901 to 31 December 2100 (the solar-term table
// ends there); nullopt outside that range or for an invalid date.
std::optional<DayDescription> DescribeDay(QDate date);

// The first and last day DescribeDay accepts.
inline QDate firstDescribedDay()
{
    return QDate(1901, 2, 19);
}
inline QDate lastDescribedDay()
{
    return QDate(2100, 12, 31);
}

} // namespace natalis::calendar
