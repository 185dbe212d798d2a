#pragma once

namespace natalis::calendar {

// A day of the Chinese lunar calendar.
// year 1901..2100, month 1..12, day 1..30; isLeap marks the leap month (闰月) that follows
// the regular month of the same number.
struct LunarDate
{
    int year = 0;
    int month = 0;
    int day = 0;
    bool isLeap = false;

    friend bool operator==(const LunarDate &, const LunarDate &) = default;
};

} // namespace natalis::calendar
