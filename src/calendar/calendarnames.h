#pragma once

#include <QString>

namespace natalis::calendar {

// Name lists the calendar windows and the day description show. An index outside the stated
// range gives an empty text.

QString weekdayName(int dayOfWeek); // 1..7, Sunday first: 星期日 … 星期六
QString zodiacName(int index); // 0..11: 鼠 … 猪
QString zodiacOfLunarYear(int lunarYear); // 1976 → 龙, 1984 → 鼠
QString lunarMonthName(int month); // 1..12 as people write them: 正月 … 十月, 冬月, 腊月
QString lunarDayName(int day); // 1..30 as the description and the calendar cells write it: 廿一
QString pickerLunarDayName(int day); // 1..30 as the lunar date picker lists it: 二一
QString monthSizeWord(int days); // 大 for 30 days, 小 for 29

} // namespace natalis::calendar
