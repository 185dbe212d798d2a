#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace natalis::store {

// What a stored date is, by BirthdayRecord::Kind. Each keeps a Gregorian or a lunar rule alike.
enum class EntryKind : quint8 { Birthday, Anniversary, Memorial };

// For a lunar date in a leap month (闰月), in a year that has no such leap month, by
// BirthdayRecord::LeapRule: the regular month of the same number, or no occurrence that year.
enum class LeapMonthRule : quint8 { RegularMonth, Skip };

// "生日", "纪念日", "忌日".
QString entryKindText(EntryKind kind);
// The kind a trimmed text names; nullopt for any other text.
std::optional<EntryKind> entryKindFromText(QStringView text);
// As entryKindFromText, an unknown text read as a birthday, as files made before kinds are.
EntryKind entryKindOf(QStringView text);

// "平月", "跳过".
QString leapMonthRuleText(LeapMonthRule rule);
std::optional<LeapMonthRule> leapMonthRuleFromText(QStringView text);
// An unknown text reads as the regular month.
LeapMonthRule leapMonthRuleOf(QStringView text);

} // namespace natalis::store
