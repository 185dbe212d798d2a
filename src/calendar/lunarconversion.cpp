#include "lunarconversion.h"

#include "datetext.h"
#include "lunaryeartable.h"

namespace natalis::calendar {

namespace {

// The lunar year in which the day `daysFromAnchor` lies, found by bisection over the table's
// derived new-year offsets instead of walking the years from 1901.
int lunarYearOf(const LunarYearTable &table, int daysFromAnchor)
{
    int low = LunarYearTable::FirstYear;
    int high = LunarYearTable::LastYear;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (table.daysBeforeYear(middle) <= daysFromAnchor)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

// How many months of the date's year come before its month. A leap flag counts only when the
// year's leap month is that month; otherwise the regular month is meant.
int monthsBefore(const LunarYearTable &table, const LunarDate &date)
{
    const int leap = table.leapMonth(date.year);
    if (leap == 0)
        return date.month - 1;
    if (date.month > leap || (date.month == leap && date.isLeap))
        return date.month;
    return date.month - 1;
}

} // namespace

std::optional<LunarDate> solarToLunar(QDate date)
{
    // An invalid date's day number is the lowest qint64; subtracting from it would overflow.
    if (!date.isValid())
        return std::nullopt;
    const LunarYearTable &table = LoadLunarYearTable();
    const qint64 days = date.toJulianDay() - LunarYearTable::AnchorJulianDay;
    if (days < 0 || days >= table.daysBeforeYear(LunarYearTable::LastYear + 1))
        return std::nullopt;

    LunarDate result;
    result.year = lunarYearOf(table, int(days));
    int dayOfYear = int(days) - table.daysBeforeYear(result.year) + 1;
    int position = 1;
    for (; dayOfYear > table.monthLengthAt(result.year, position); ++position)
        dayOfYear -= table.monthLengthAt(result.year, position);

    const int leap = table.leapMonth(result.year);
    result.day = dayOfYear;
    result.isLeap = leap != 0 && position == leap + 1;
    result.month = (leap != 0 && position > leap) ? position - 1 : position;
    return result;
}

std::optional<QDate> lunarToSolar(const LunarDate &date)
{
    if (!LunarYearTable::contains(date.year) || date.month < 1 || date.month > 12 || date.day < 1
        || date.day > 30)
        return std::nullopt;
    const LunarYearTable &table = LoadLunarYearTable();
    int days = table.daysBeforeYear(date.year);
    const int before = monthsBefore(table, date);
    for (int position = 1; position <= before; ++position)
        days += table.monthLengthAt(date.year, position);
    return QDate::fromJulianDay(LunarYearTable::AnchorJulianDay + days + date.day - 1);
}

std::optional<QString> LunarToSolarText(QStringView lunarText)
{
    const std::optional<LunarDate> lunar = parseLunarText(lunarText);
    if (!lunar)
        return std::nullopt;
    const std::optional<QDate> solar = lunarToSolar(*lunar);
    if (!solar)
        return std::nullopt;
    return gregorianText(*solar);
}

} // namespace natalis::calendar
