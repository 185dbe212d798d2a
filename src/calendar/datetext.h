#pragma once

#include "lunardate.h"

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>

namespace natalis::calendar {

// The fixed 14-character date texts in which both calendars are stored and passed around:
//   公历YYYY年 MM月DD日   (Gregorian, blank at position 8)
//   农历YYYY年 MM月DD日   (lunar, position 8 is a blank or 闰 for a leap month)
// Readers ignore blank padding after the text, as stored fields are padded to 20 characters.

QString gregorianText(QDate date);
QString lunarText(const LunarDate &date);
// "农历" + year + "年(" + zodiac + ")" + month part + day part.
QString lunarLongText(const LunarDate &date);

// A day as the lists name a coming birthday, which always falls within the year ahead and so
// goes without its year: "12月10日 星期四", "3月1日 星期日". Empty for an invalid date.
QString comingDayText(QDate date);

// Reads a Gregorian text by position. nullopt when the layout is broken or the day does not
// exist (30 February, month 13 …).
std::optional<QDate> parseGregorianText(QStringView text);

// Reads a lunar text by position. nullopt when the layout is broken, the month is outside
// 1..12 or the day outside 1..30. Whether the month exists in that year, or has that many days,
// is not checked here.
std::optional<LunarDate> parseLunarText(QStringView text);

// Dates kept without a year (a contact's birthday known by month and day) have year 0000 in the
// same layouts: "公历0000年 04月15日", "农历0000年闰03月05日". parseGregorianText refuses such a
// text; parseLunarText reads it with year 0, which no conversion takes.

// A Gregorian month and day, and the year when the text has one (0 when not).
struct GregorianMonthDay
{
    int year = 0;
    int month = 0;
    int day = 0;

    friend bool operator==(const GregorianMonthDay &, const GregorianMonthDay &) = default;
};

// Reads a Gregorian text with or without its year. nullopt when the layout is broken or the day
// exists in no year (29 February is taken without a year, refused in a year without it).
std::optional<GregorianMonthDay> parseGregorianMonthDay(QStringView text);

// True when a date text that reads holds a year other than 0000.
bool dateTextHasYear(QStringView text);

// "公历0000年 MM月DD日" and "农历0000年 MM月DD日" / "农历0000年闰MM月DD日".
QString gregorianMonthDayText(int month, int day);
QString lunarMonthDayText(int month, int day, bool isLeap);

} // namespace natalis::calendar
