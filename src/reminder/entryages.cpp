#include "reminder/entryages.h"

#include "calendar/calendarnames.h"
#include "calendar/datetext.h"
#include "calendar/lunarconversion.h"
#include "reminder/birthdayoccurrences.h"

namespace natalis::reminder {

std::optional<int> startLunarYear(const store::BirthdayRecord &entry)
{
    const store::BirthdayList one { entry };
    const std::optional<BirthRule> rule = birthRuleAt(one, 0);
    return rule ? startLunarYear(*rule, entry.strNL) : std::nullopt;
}

std::optional<int> startLunarYear(const BirthRule &rule, QStringView lunarText)
{
    if (rule.year == 0)
        return std::nullopt;
    if (rule.lunar)
        return rule.year;
    if (const auto converted = calendar::solarToLunar(QDate(rule.year, rule.month, rule.day)))
        return converted->year;
    const std::optional<calendar::LunarDate> lunar = calendar::parseLunarText(lunarText);
    return lunar && lunar->year != 0 ? std::optional(lunar->year) : std::nullopt;
}

std::optional<int> nominalAgeOn(int birthLunarYear, QDate day)
{
    const std::optional<calendar::LunarDate> lunar = calendar::solarToLunar(day);
    if (!lunar || lunar->year < birthLunarYear)
        return std::nullopt;
    return lunar->year - birthLunarYear + 1;
}

QString entryZodiac(const store::BirthdayRecord &entry)
{
    const std::optional<int> year = startLunarYear(entry);
    return year ? calendar::zodiacOfLunarYear(*year) : QString();
}

} // namespace natalis::reminder
