#include "reminder/entryages.h"

#include "calendar/calendarnames.h"
#include "calendar/datetext.h"
#include "calendar/lunarconversion.h"
#include "reminder/birthdayoccurrences.h"

namespace natalis::reminder {

std::optional<int> startLunarYear(const store::BirthdayRecord &entry)
{
    const std::optional<calendar::LunarDate> lunar = calendar::parseLunarText(entry.strNL);
    if (entry.blnIsGL.trimmed() == RemindByLunar)
        return lunar && lunar->year != 0 ? std::optional(lunar->year) : std::nullopt;
    const std::optional<QDate> birth = calendar::parseGregorianText(entry.strGL);
    if (!birth)
        return std::nullopt;
    if (const auto converted = calendar::solarToLunar(*birth))
        return converted->year;
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
