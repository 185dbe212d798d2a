#include "festivals.h"

#include "literaltext.h"

#include <array>

namespace natalis::calendar {

namespace {

using detail::literalText;

struct FixedFestival
{
    int month;
    int day;
    QStringView name;
};

// Lunar festivals fall on regular months only: a leap month never repeats them.
constexpr std::array<FixedFestival, 6> LunarFestivals = { {
    { 1, 1, u"春节" },
    { 1, 15, u"元宵节" },
    { 5, 5, u"端午节" },
    { 7, 7, u"七夕节" },
    { 8, 15, u"中秋节" },
    { 9, 9, u"重阳节" },
} };

constexpr std::array<FixedFestival, 7> GregorianFestivals = { {
    { 2, 14, u"情人节" },
    { 3, 8, u"妇女节" },
    { 5, 1, u"劳动节" },
    { 6, 1, u"儿童节" },
    { 9, 10, u"教师节" },
    { 10, 1, u"国庆节" },
    { 12, 25, u"圣诞节" },
} };

template<std::size_t N>
void appendFixed(
    QStringList &festivals, const std::array<FixedFestival, N> &table, int month, int day)
{
    for (const FixedFestival &festival : table) {
        if (festival.month == month && festival.day == day) {
            festivals.append(literalText(festival.name));
            return;
        }
    }
}

// The n-th Sunday of a month: the day n-1 weeks earlier is still in the month and the day n
// weeks earlier is not, i.e. the day of the month lies in 7(n-1)+1 .. 7n.
bool isNthSunday(int dayOfWeek, int day, int n)
{
    return dayOfWeek == Qt::Sunday && day > 7 * (n - 1) && day <= 7 * n;
}

} // namespace

QStringList festivalsOf(QDate date, const LunarDate &lunar, int lunarMonthDays, const QString &term)
{
    int month = 0, day = 0;
    date.getDate(nullptr, &month, &day);
    QStringList festivals;
    if (term == u"清明")
        festivals.append(literalText(u"清明节"));
    if (!lunar.isLeap)
        appendFixed(festivals, LunarFestivals, lunar.month, lunar.day);
    appendFixed(festivals, GregorianFestivals, month, day);
    if (!lunar.isLeap && lunar.month == 12 && lunar.day == lunarMonthDays)
        festivals.append(literalText(u"除夕"));
    if (month == 5 && isNthSunday(date.dayOfWeek(), day, 2))
        festivals.append(literalText(u"母亲节"));
    if (month == 6 && isNthSunday(date.dayOfWeek(), day, 3))
        festivals.append(literalText(u"父亲节"));
    return festivals;
}

} // namespace natalis::calendar
