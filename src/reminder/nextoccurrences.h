#pragma once

#include "store/birthdayrecord.h"

#include <QDate>
#include <QList>
#include <optional>

namespace natalis::reminder {

// One day an entry falls on, with the ages then for an entry with a year.
struct Occurrence
{
    QDate date;
    // Whole years since the entry's year (周岁; for the lunar rule, lunar years).
    std::optional<int> fullAge;
    // 虚岁: the lunar years the day lies in since the entry's, counting both.
    std::optional<int> nominalAge;

    friend bool operator==(const Occurrence &, const Occurrence &) = default;
};

// The first count occurrences of entry on or after from, by its own rule (calendar, leap rule,
// year or none), in date order. Fewer when the calendar's range ends first (2100); none for an
// entry without a readable date for its rule.
QList<Occurrence> nextOccurrences(const store::BirthdayRecord &entry, QDate from, int count);

} // namespace natalis::reminder
