#include "lunaryeartable.h"

namespace natalis::calendar {

namespace {

// Lunar years 1901..2100: the table this program has always used, so that stored lunar dates
// keep meaning the days they were entered for. Checked (see tests) against the lunar new years of
// 1976, 2000 and 2025 and the end of lunar 2100 on 28 January 2101. ICU's astronomical Chinese
// calendar puts a month boundary one day elsewhere in 17 months of the range (1906-04, 1987-08,
// 2012-08 …); the table is kept as it is.
constexpr std::array<std::int32_t, 200> Entries = {
    0x004AE, 0x00A57, 0x50A4D, 0x00D26, 0x00D95, 0x40B55, 0x0056A, 0x009AD, 0x2095D,
    0x004AE, // 1901-1910
    0x6149B, 0x00A4D, 0x00D25, 0x51AA5, 0x00B54, 0x00D6A, 0x212DA, 0x0095B, 0x70937,
    0x00497, // 1911-1920
    0x00A4B, 0x5164B, 0x006A5, 0x006D4, 0x415B5, 0x002B6, 0x00957, 0x2092F, 0x00497,
    0x60C96, // 1921-1930
    0x00D4A, 0x00EA5, 0x50DA9, 0x005AD, 0x002B6, 0x3126E, 0x0092E, 0x7192D, 0x00C95,
    0x00D4A, // 1931-1940
    0x61B4A, 0x00B55, 0x0056A, 0x4155B, 0x0025D, 0x0092D, 0x2192B, 0x00A95, 0x71695,
    0x006CA, // 1941-1950
    0x00B55, 0x50AB5, 0x004DA, 0x00A5B, 0x30A57, 0x0052B, 0x8152A, 0x00E95, 0x006AA,
    0x615AA, // 1951-1960
    0x00AB5, 0x004B6, 0x414AE, 0x00A57, 0x00526, 0x31D26, 0x00D95, 0x70B55, 0x0056A,
    0x0096D, // 1961-1970
    0x5095D, 0x004AD, 0x00A4D, 0x41A4D, 0x00D25, 0x81AA5, 0x00B54, 0x00B6A, 0x612DA,
    0x0095B, // 1971-1980
    0x0049B, 0x41497, 0x00A4B, 0xA164B, 0x006A5, 0x006D4, 0x615B4, 0x00AB6, 0x00957,
    0x5092F, // 1981-1990
    0x00497, 0x0064B, 0x30D4A, 0x00EA5, 0x80D65, 0x005AC, 0x00AB6, 0x5126D, 0x0092E,
    0x00C96, // 1991-2000
    0x41A95, 0x00D4A, 0x00DA5, 0x20B55, 0x0056A, 0x7155B, 0x0025D, 0x0092D, 0x5192B,
    0x00A95, // 2001-2010
    0x00B4A, 0x416AA, 0x00AD5, 0x90AB5, 0x004BA, 0x00A5B, 0x60A57, 0x0052B, 0x00A93,
    0x40E95, // 2011-2020
    0x006AA, 0x00AD5, 0x209B5, 0x004B6, 0x614AE, 0x00A4E, 0x00D26, 0x51D26, 0x00D53,
    0x005AA, // 2021-2030
    0x30D6A, 0x0096D, 0xB095D, 0x004AD, 0x00A4D, 0x61A4B, 0x00D25, 0x00D52, 0x51B54,
    0x00B5A, // 2031-2040
    0x0056D, 0x2095B, 0x0049B, 0x71497, 0x00A4B, 0x00AA5, 0x516A5, 0x006D2, 0x00ADA,
    0x30AB6, // 2041-2050
    0x00937, 0x8092F, 0x00497, 0x0064B, 0x60D4A, 0x00EA5, 0x006B2, 0x4156C, 0x00AAE,
    0x0092E, // 2051-2060
    0x3192E, 0x00C96, 0x71A95, 0x00D4A, 0x00DA5, 0x50B55, 0x0056A, 0x00A6D, 0x40A5D,
    0x0052D, // 2061-2070
    0x8152B, 0x00A95, 0x00B4A, 0x616AA, 0x00AD5, 0x0055A, 0x414BA, 0x00A5B, 0x0052B,
    0x31527, // 2071-2080
    0x00693, 0x70E53, 0x006AA, 0x00AD5, 0x509B5, 0x004B6, 0x00A57, 0x40A4E, 0x00D26,
    0x81D26, // 2081-2090
    0x00D52, 0x00DAA, 0x60D6A, 0x0056D, 0x004AE, 0x4149D, 0x00A4D, 0x00D15, 0x21B25,
    0x00D52, // 2091-2100
};

} // namespace

LunarYearTable::LunarYearTable() : m_entries(Entries)
{
    m_daysBefore[0] = 0;
    for (int year = FirstYear; year <= LastYear; ++year)
        m_daysBefore[index(year) + 1] = m_daysBefore[index(year)] + yearLength(year);
}

QList<LunarMonth> LunarYearTable::months(int lunarYear) const
{
    const int leap = leapMonth(lunarYear);
    QList<LunarMonth> result;
    result.reserve(monthCount(lunarYear));
    for (int position = 1; position <= monthCount(lunarYear); ++position) {
        LunarMonth month;
        month.days = monthLengthAt(lunarYear, position);
        if (leap == 0 || position <= leap) {
            month.number = position;
        } else if (position == leap + 1) {
            month.number = leap;
            month.isLeap = true;
        } else {
            month.number = position - 1;
        }
        result.append(month);
    }
    return result;
}

std::optional<int> LunarYearTable::monthLength(int lunarYear, int month, bool isLeap) const
{
    if (month < 1 || month > 12)
        return std::nullopt;
    const int leap = leapMonth(lunarYear);
    if (isLeap && leap != month)
        return std::nullopt;
    const bool afterLeap = leap != 0 && (month > leap || isLeap);
    return monthLengthAt(lunarYear, afterLeap ? month + 1 : month);
}

int LunarYearTable::yearLength(int lunarYear) const
{
    int days = 0;
    for (int position = 1; position <= monthCount(lunarYear); ++position)
        days += monthLengthAt(lunarYear, position);
    return days;
}

const LunarYearTable &LoadLunarYearTable()
{
    static const LunarYearTable table;
    return table;
}

} // namespace natalis::calendar
