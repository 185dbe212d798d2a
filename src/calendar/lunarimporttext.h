#pragma once

#include <QString>

namespace natalis::calendar {

// Checks a lunar date as import files write it: year-month-day with "-" between the parts,
// the month optionally prefixed by 闰, numbers with or without leading zeros, blanks anywhere
// ("1976 - 1 - 26", "2006-闰7-15"). When the date exists in the lunar calendar, writes its
// normal form ("1976-01-26", "2006-闰07-15") to `normalized` and returns true; otherwise
// returns false and leaves `normalized` as it was. The first lunar month of 1901 and the last
// of 2100 are refused: their days lie partly outside the range the date pickers offer.
bool NormalizeLunarImportText(const QString &text, QString &normalized);

} // namespace natalis::calendar
