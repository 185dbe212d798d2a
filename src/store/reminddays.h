#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace natalis::store {

// The most days ahead a birthday may remind, as the editor offers them.
inline constexpr int MaxRemindDays = 14;

// Reads a list of reminder days such as "7,1,0": numbers 0..MaxRemindDays separated by commas
// (ASCII or full-width), blanks around each ignored, none twice. The days keep their written
// order. nullopt for an empty or broken list.
std::optional<QList<qint16>> parseRemindDays(QStringView text);

// The days before a date on which it reminds: those of days when they read, otherwise intNums
// alone (files and readers from before several days, or a broken text). Never empty.
QList<qint16> remindDaysOf(QStringView days, qint16 intNums);

// The days as stored: "7,1,0"; empty for one day, which intNums alone holds.
QString remindDaysText(const QList<qint16> &days);

} // namespace natalis::store
