#include "birthdayoccurrences.h"

#include "calendar/datetext.h"
#include "calendar/lunarconversion.h"
#include "calendar/lunaryeartable.h"

#include <optional>

namespace natalis::reminder {

namespace {

using calendar::LunarDate;
using calendar::LunarYearTable;
using store::BirthdayList;
using store::BirthdayText;

// Occurrences are computed up to the end of the calendar's table.
constexpr int LastYear = 2100;

// 29 February exists in years divisible by 4 except 2100; no other century year is in range.
QDate gregorianOccurrence(int year, int month, int day)
{
    const bool leapYear = year % 4 == 0 && year != 2100;
    if (month == 2 && day == 29 && !leapYear)
        day = 28;
    return QDate(year, month, day);
}

std::optional<QDate> lunarOccurrence(
    const LunarYearTable &table, const LunarDate &birth, int targetYear)
{
    if (!LunarYearTable::contains(targetYear))
        return std::nullopt;
    LunarDate occurrence { targetYear, birth.month, birth.day, false };
    occurrence.isLeap = birth.isLeap && table.leapMonth(targetYear) == birth.month;
    const std::optional<int> monthDays =
        table.monthLength(targetYear, occurrence.month, occurrence.isLeap);
    if (!monthDays)
        return std::nullopt;
    if (occurrence.day > *monthDays)
        occurrence.day = *monthDays;
    return calendar::lunarToSolar(occurrence);
}

} // namespace

void CalcGlBirthDates(const BirthdayList &birthdays, int year, BirthOccurrences &occurrences)
{
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        if (birthdays.text(i, BirthdayText::blnIsGL).trimmed() != RemindByGregorian)
            continue;
        const std::optional<QDate> birth =
            calendar::parseGregorianText(birthdays.text(i, BirthdayText::strGL));
        if (!birth)
            continue;
        int birthYear = 0, month = 0, day = 0;
        birth->getDate(&birthYear, &month, &day);
        if (year >= birthYear && year <= LastYear) {
            occurrences.ThisYearDates[i] = gregorianOccurrence(year, month, day);
            occurrences.ThisYearAges[i] = qint16(year - birthYear);
        }
        const int nextYear = year + 1;
        if (nextYear >= birthYear && nextYear <= LastYear) {
            occurrences.NextYearDates[i] = gregorianOccurrence(nextYear, month, day);
            occurrences.NextYearAges[i] = qint16(nextYear - birthYear);
        }
    }
}

void CalcNlBirthDates(const BirthdayList &birthdays, int lunarYear, BirthOccurrences &occurrences)
{
    const LunarYearTable &table = calendar::LoadLunarYearTable();
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        if (birthdays.text(i, BirthdayText::blnIsGL).trimmed() != RemindByLunar)
            continue;
        const std::optional<LunarDate> birth =
            calendar::parseLunarText(birthdays.text(i, BirthdayText::strNL));
        if (!birth)
            continue;
        if (lunarYear >= birth->year) {
            if (const std::optional<QDate> date = lunarOccurrence(table, *birth, lunarYear)) {
                occurrences.ThisYearDates[i] = *date;
                occurrences.ThisYearAges[i] = qint16(lunarYear - birth->year);
            }
        }
        const int nextYear = lunarYear + 1;
        if (nextYear >= birth->year) {
            if (const std::optional<QDate> date = lunarOccurrence(table, *birth, nextYear)) {
                occurrences.NextYearDates[i] = *date;
                occurrences.NextYearAges[i] = qint16(nextYear - birth->year);
            }
        }
    }
}

} // namespace natalis::reminder
