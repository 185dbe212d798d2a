#pragma once

#include "store/birthdayrecord.h"

#include <QDate>
#include <QStringList>

namespace natalis::dialogs {

// The editor's preview of when an entry falls: one line per occurrence on or after from, at most
// count, as the entry's own rule places them (nextOccurrences): "2028-06-27 星期二 周岁5 虚岁6".
// The ages say what the kind counts: 周岁 and 虚岁 for a 生日, "10周年" for a 纪念日, "逝世10周年"
// for a 忌日, none on the day itself nor for an entry without a year. Empty for an entry without
// a readable date for its rule.
QStringList nextDateLines(const store::BirthdayRecord &entry, QDate from, int count);

} // namespace natalis::dialogs
