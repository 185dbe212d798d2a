#include "birthdayoccurrences.h"

#include "calendar/datetext.h"
#include "calendar/lunarconversion.h"
#include "calendar/lunaryeartable.h"
#include "store/reminddays.h"

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

std::optional<QDate> lunarOccurrence(const BirthRule &rule, int targetYear)
{
    if (!LunarYearTable::contains(targetYear))
        return std::nullopt;
    const LunarYearTable &table = calendar::LoadLunarYearTable();
    LunarDate occurrence { targetYear, rule.month, rule.day, false };
    occurrence.isLeap = rule.isLeap && table.leapMonth(targetYear) == rule.month;
    if (rule.isLeap && !occurrence.isLeap && rule.leapRule == store::LeapMonthRule::Skip)
        return std::nullopt;
    const std::optional<int> monthDays =
        table.monthLength(targetYear, occurrence.month, occurrence.isLeap);
    if (!monthDays)
        return std::nullopt;
    if (occurrence.day > *monthDays)
        occurrence.day = *monthDays;
    return calendar::lunarToSolar(occurrence);
}

void fillYears(const BirthdayList &birthdays, bool lunar, int year, BirthOccurrences &occurrences)
{
    const QStringView wanted = lunar ? RemindByLunar : RemindByGregorian;
    DateReckoner reckoner(birthdays, lunar, year);
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        // The other calendar's rows are passed over before their dates are read.
        if (birthdays.text(i, BirthdayText::blnIsGL).trimmed() != wanted)
            continue;
        const Reckoned reckoned = reckoner.at(i);
        if (!reckoned.rule)
            continue;
        for (int offset : { 0, 1 }) {
            const std::optional<QDate> &date = reckoned.dates[offset];
            if (!date)
                continue;
            const bool thisYear = offset == 0;
            (thisYear ? occurrences.ThisYearDates : occurrences.NextYearDates)[i] = *date;
            (thisYear ? occurrences.ThisYearAges : occurrences.NextYearAges)[i] =
                qint16(reckoned.age(offset));
        }
    }
}

} // namespace

std::optional<BirthRule> birthRuleAt(const BirthdayList &birthdays, qsizetype i)
{
    const QStringView by = birthdays.text(i, BirthdayText::blnIsGL).trimmed();
    BirthRule rule;
    if (by == RemindByGregorian) {
        const auto date = calendar::parseGregorianMonthDay(birthdays.text(i, BirthdayText::strGL));
        if (!date)
            return std::nullopt;
        rule.year = date->year;
        rule.month = date->month;
        rule.day = date->day;
        return rule;
    }
    if (by != RemindByLunar)
        return std::nullopt;
    const auto date = calendar::parseLunarText(birthdays.text(i, BirthdayText::strNL));
    if (!date)
        return std::nullopt;
    rule.lunar = true;
    rule.year = date->year;
    rule.month = date->month;
    rule.day = date->day;
    rule.isLeap = date->isLeap;
    rule.leapRule = birthdays.leapRule(i);
    return rule;
}

std::optional<QDate> occurrenceIn(const BirthRule &rule, int year)
{
    if (year < rule.year || year > LastYear || year < 1)
        return std::nullopt;
    if (rule.lunar)
        return lunarOccurrence(rule, year);
    return gregorianOccurrence(year, rule.month, rule.day);
}

Reckoned DateReckoner::at(qsizetype i)
{
    const QStringView text =
        m_birthdays.text(i, m_lunar ? BirthdayText::strNL : BirthdayText::strGL);
    const Key key { text.data(), (qint64(text.size()) << 8) | qint64(m_birthdays.leapRule(i)) };
    if (const auto found = m_seen.constFind(key); found != m_seen.cend())
        return *found;
    Reckoned reckoned { birthRuleAt(m_birthdays, i), m_year, {} };
    if (reckoned.rule) {
        for (int offset : { 0, 1 })
            reckoned.dates[offset] = occurrenceIn(*reckoned.rule, m_year + offset);
    }
    if (m_seen.size() < MaxDates)
        m_seen.insert(key, reckoned);
    return reckoned;
}

TodaysReckoner::TodaysReckoner(const BirthdayList &birthdays, QDate today)
    : m_birthdays(birthdays), m_gregorian(birthdays, false, today.year())
{
    if (const std::optional<LunarDate> lunarToday = calendar::solarToLunar(today))
        m_lunar.emplace(birthdays, true, lunarToday->year);
}

Reckoned TodaysReckoner::at(qsizetype i)
{
    const QStringView by = m_birthdays.text(i, BirthdayText::blnIsGL).trimmed();
    if (by == RemindByGregorian)
        return m_gregorian.at(i);
    if (by != RemindByLunar)
        return {};
    return m_lunar ? m_lunar->at(i) : Reckoned { birthRuleAt(m_birthdays, i), 0, {} };
}

bool remindsOn(const BirthdayList &birthdays, qsizetype i, qint64 daysLeft)
{
    const QStringView days = birthdays.text(i, BirthdayText::Days);
    if (days.isEmpty())
        return daysLeft >= 0 && daysLeft <= birthdays.days(i);
    return daysLeft >= 0 && daysLeft <= store::MaxRemindDays
        && store::remindDaysOf(days, birthdays.days(i)).contains(qint16(daysLeft));
}

void CalcGlBirthDates(const BirthdayList &birthdays, int year, BirthOccurrences &occurrences)
{
    fillYears(birthdays, false, year, occurrences);
}

void CalcNlBirthDates(const BirthdayList &birthdays, int lunarYear, BirthOccurrences &occurrences)
{
    fillYears(birthdays, true, lunarYear, occurrences);
}

} // namespace natalis::reminder
