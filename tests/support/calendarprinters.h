#pragma once

// Lets GoogleTest print calendar values in failure messages.

#include "calendar/lunardate.h"
#include "support/qtprinters.h"

#include <ostream>

namespace natalis::calendar {

inline void PrintTo(const LunarDate &date, std::ostream *out)
{
    *out << "lunar " << date.year << '-' << (date.isLeap ? "闰" : "") << date.month << '-'
         << date.day;
}

} // namespace natalis::calendar
