#include "calendarnames.h"

#include "literaltext.h"

#include <array>

namespace natalis::calendar {

namespace {

using detail::literalText;

template<std::size_t N>
QString pick(const std::array<QStringView, N> &names, int index, int first)
{
    const int position = index - first;
    if (position < 0 || position >= int(N))
        return {};
    return literalText(names[position]);
}

constexpr std::array<QStringView, 7> Weekdays = {
    u"星期日",
    u"星期一",
    u"星期二",
    u"星期三",
    u"星期四",
    u"星期五",
    u"星期六",
};

constexpr std::array<QStringView, 12> Zodiac = {
    u"鼠",
    u"牛",
    u"虎",
    u"兔",
    u"龙",
    u"蛇",
    u"马",
    u"羊",
    u"猴",
    u"鸡",
    u"狗",
    u"猪",
};

constexpr std::array<QStringView, 12> MonthNames = {
    u"正月",
    u"二月",
    u"三月",
    u"四月",
    u"五月",
    u"六月",
    u"七月",
    u"八月",
    u"九月",
    u"十月",
    u"冬月",
    u"腊月",
};

constexpr std::array<QStringView, 30> DayNames = {
    u"初一",
    u"初二",
    u"初三",
    u"初四",
    u"初五",
    u"初六",
    u"初七",
    u"初八",
    u"初九",
    u"初十",
    u"十一",
    u"十二",
    u"十三",
    u"十四",
    u"十五",
    u"十六",
    u"十七",
    u"十八",
    u"十九",
    u"二十",
    u"廿一",
    u"廿二",
    u"廿三",
    u"廿四",
    u"廿五",
    u"廿六",
    u"廿七",
    u"廿八",
    u"廿九",
    u"三十",
};

// The lunar date picker writes days 21..29 without 廿; the other days as above.
constexpr std::array<QStringView, 9> PickerTwenties = {
    u"二一",
    u"二二",
    u"二三",
    u"二四",
    u"二五",
    u"二六",
    u"二七",
    u"二八",
    u"二九",
};

} // namespace

QString weekdayName(int dayOfWeek)
{
    return pick(Weekdays, dayOfWeek, 1);
}

QString zodiacName(int index)
{
    return pick(Zodiac, index, 0);
}

QString zodiacOfLunarYear(int lunarYear)
{
    // The sexagenary cycle starts in year 4 (甲子, a rat year).
    const int cycle = ((lunarYear - 4) % 60 + 60) % 60;
    return zodiacName(cycle % 12);
}

QString lunarMonthName(int month)
{
    return pick(MonthNames, month, 1);
}

QString lunarDayName(int day)
{
    return pick(DayNames, day, 1);
}

QString pickerLunarDayName(int day)
{
    return day >= 21 && day <= 29 ? pick(PickerTwenties, day, 21) : lunarDayName(day);
}

QString monthSizeWord(int days)
{
    return literalText(days == 30 ? u"大" : u"小");
}

} // namespace natalis::calendar
