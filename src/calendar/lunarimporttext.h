#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace natalis::calendar {

// Checks a lunar date as import files write it: year-month-day with "-" between the parts,
// the month optionally prefixed by 闰, numbers with or without leading zeros, blanks anywhere
// ("1976 - 1 - 26", "2006-闰7-15"). When the date exists in the lunar calendar, writes its
// normal form ("1976-01-26", "2006-闰07-15") to `normalized` and returns true; otherwise
// returns false and leaves `normalized` as it was. The first lunar month of 1901 and the last
// of 2100 are refused: their days lie partly outside the range the date pickers offer.
bool NormalizeLunarImportText(const QString &text, QString &normalized);

// A lunar date written in words, as people and the calendar write it: "1990年正月初一",
// "农历一九九〇年腊月廿九", "2009年闰五月初一", "1990年十一月二十" (months 正月 … 冬月, 腊月 or
// 一月 … 十二月, days 初一 … 三十 or 二一 … 二九, an optional 日, the year in digits or in
// 〇/零 … 九), as the "Y-M-D" text NormalizeLunarImportText reads ("1990-闰5-1"); nullopt when
// the text is no such date.
std::optional<QString> lunarWordsAsImportText(QStringView text);

} // namespace natalis::calendar
