#pragma once

#include "transfer/importrecord.h"

#include <QDate>
#include <QStringView>
#include <optional>

namespace natalis::transfer {

// Reads one line of a tab-separated export (this version and v3.1: 14 fields). Unknown or
// missing values keep their defaults: category 客户, rule 按公历提醒, 7 days, SMS 否. The date
// follows the rule: a Gregorian day from 1901-03-01 to 2100-12-31, or a lunar date that exists.
// Texts longer than their field are cut. fields.About is empty when the line holds no record.
// An SMS needs a phone number and a date to send on: without either the flag is 否.
ImportRecord ParseTabBirthLine(QStringView line);

// The same for the v2.0 and v3.0 exports: 13 fields (no staff number), only the six categories
// those versions had (代理商 and 供应商 become 客户), the date always Gregorian.
ImportRecord ParseOldBirthLine(QStringView line);

// A Gregorian date field "Y-M-D" (four-digit year, month and day with or without a leading zero)
// from 1 March 1901 to 31 December 2100 inclusive; nullopt otherwise.
std::optional<QDate> parseImportGregorian(QStringView text);

// A birthday name as every importer takes it: all blanks removed, at most 16 characters.
QString importName(QStringView field);

// Cuts text to at most width UTF-16 units without splitting a surrogate pair; empty when
// width is 0 or less.
QString cutToWidth(QStringView text, int width);

} // namespace natalis::transfer
