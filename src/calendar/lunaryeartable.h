#pragma once

#include <QDate>
#include <QList>
#include <array>
#include <cstdint>
#include <optional>

namespace natalis::calendar {

// One month of a lunar year, in calendar order.
struct LunarMonth
{
    int number = 0; // 1..12
    bool isLeap = false;
    int days = 0; // 29 (小) or 30 (大)

    friend bool operator==(const LunarMonth &, const LunarMonth &) = default;
};

// The lunar years 1901..2100, one packed entry a year: bits 16..19 hold the leap month (0 when
// none); the low n bits hold the month sizes, first month in bit n-1, a set bit meaning 30 days.
// A year has 13 months exactly when its entry is 4095 or more.
class LunarYearTable
{
public:
    static constexpr int FirstYear = 1901;
    static constexpr int LastYear = 2100;
    // Lunar day 1 of month 1 of 1901 is 19 February 1901.
    static constexpr qint64 AnchorJulianDay = 2415435;
    static constexpr QDate anchor() { return QDate::fromJulianDay(AnchorJulianDay); }

    LunarYearTable();

    static bool contains(int lunarYear) { return lunarYear >= FirstYear && lunarYear <= LastYear; }

    // The functions below require contains(lunarYear).
    std::int32_t entry(int lunarYear) const { return m_entries[index(lunarYear)]; }
    int leapMonth(int lunarYear) const { return entry(lunarYear) >> 16; } // 0 when none
    int monthCount(int lunarYear) const { return entry(lunarYear) >= 4095 ? 13 : 12; }
    // Days of the month at position 1..monthCount() (the leap month counted in its place).
    int monthLengthAt(int lunarYear, int position) const
    {
        return 29 + ((entry(lunarYear) >> (monthCount(lunarYear) - position)) & 1);
    }
    // The year's months in calendar order.
    QList<LunarMonth> months(int lunarYear) const;
    // Days of a month, or nullopt when the year has no such month (a leap month it lacks).
    std::optional<int> monthLength(int lunarYear, int month, bool isLeap) const;
    int yearLength(int lunarYear) const;

    // Days from the anchor to the first day of lunarYear; lunarYear may be LastYear + 1, which
    // gives the day after lunar 2100 ends (29 January 2101).
    int daysBeforeYear(int lunarYear) const { return m_daysBefore[index(lunarYear)]; }

private:
    static int index(int lunarYear) { return lunarYear - FirstYear; }

    std::array<std::int32_t, LastYear - FirstYear + 1> m_entries;
    // Derived once so that a conversion finds its year without walking from 1901.
    std::array<int, LastYear - FirstYear + 2> m_daysBefore;
};

// The process-wide table, built from constants on the first call and read-only afterwards.
const LunarYearTable &LoadLunarYearTable();

} // namespace natalis::calendar
