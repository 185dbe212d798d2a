#pragma once

#include "transfer/importrecord.h"

#include <QStringView>
#include <optional>

namespace natalis::transfer {

// Reads one record of a v1.0 "birth.txt": seven comma-separated values (texts in double
// quotes, numbers bare): name, category, remark, Gregorian date text ("公历1976年 02月25日"),
// lunar date text (ignored), rule text, advance days. Returns nullopt when the record is
// invalid: an empty name, or a date whose characters from the third on are no date.
// A category, rule or day count those versions could not have written falls back to 客户,
// 按公历提醒 or 7; a valid date outside 1901-03-01..2100-12-31 is dropped from the record.
std::optional<ImportRecord> parseV10Record(QStringView line);

} // namespace natalis::transfer
