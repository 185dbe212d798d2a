#pragma once

namespace natalis::calendar_ui {

// A Gregorian month the calendar and the Gregorian picker can show: March 1901 … December 2100.
struct YearMonth
{
    int year = 0;
    int month = 0; // 1..12

    friend bool operator==(const YearMonth &, const YearMonth &) = default;
};

inline constexpr int FirstShownYear = 1901;
inline constexpr int LastShownYear = 2100;

// Moves a chosen month into the shown range: a month before it to March 1901, a month after it
// to December 2100, January or February 1901 to March 1901 (the lunar calendar starts on
// 19 February 1901).
YearMonth clampToShownRange(YearMonth shown);

// The browse buttons; at the ends of the range they leave the month as it is.
YearMonth nextMonth(YearMonth shown);
YearMonth previousMonth(YearMonth shown);
YearMonth nextYear(YearMonth shown);
YearMonth previousYear(YearMonth shown);

} // namespace natalis::calendar_ui
