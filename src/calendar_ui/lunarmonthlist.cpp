#include "calendar_ui/lunarmonthlist.h"

#include "calendar/datetext.h"
#include "calendar/lunaryeartable.h"

#include <algorithm>

namespace natalis::calendar_ui {

namespace {

using calendar::LunarYearTable;

QString monthText(const calendar::LunarMonth &month)
{
    return (month.isLeap ? QStringLiteral("闰") : QStringLiteral(" "))
        + QStringLiteral("%1").arg(month.number, 2, 10, QLatin1Char('0'));
}

int monthNumberAt(const QStringList &texts, int position)
{
    return texts.value(position).mid(1).toInt();
}

} // namespace

QStringList lunarMonthTexts(int lunarYear)
{
    QStringList texts;
    if (!LunarYearTable::contains(lunarYear))
        return texts;
    for (const calendar::LunarMonth &month : calendar::LoadLunarYearTable().months(lunarYear))
        texts.append(monthText(month));
    return texts;
}

LunarMonthChoice clampLunarMonth(LunarMonthChoice choice)
{
    choice.year = std::clamp(choice.year, LunarYearTable::FirstYear, LunarYearTable::LastYear);
    const QStringList texts = lunarMonthTexts(choice.year);
    choice.position = std::clamp(choice.position, 0, int(texts.size()) - 1);
    if (choice.year == LunarYearTable::FirstYear && monthNumberAt(texts, choice.position) == 1)
        choice.position = int(texts.indexOf(QStringLiteral(" 02")));
    if (choice.year == LunarYearTable::LastYear && monthNumberAt(texts, choice.position) == 12)
        choice.position = int(texts.indexOf(QStringLiteral(" 11")));
    return choice;
}

std::optional<LunarMonthChoice> lunarMonthOfText(const QString &lunarText)
{
    const auto date = calendar::parseLunarText(lunarText);
    if (!date)
        return std::nullopt;
    const int year = std::clamp(date->year, LunarYearTable::FirstYear, LunarYearTable::LastYear);
    const QStringList texts = lunarMonthTexts(year);
    const calendar::LunarMonth month { date->month, date->isLeap, 0 };
    qsizetype position = texts.indexOf(monthText(month));
    if (position < 0)
        position = texts.indexOf(monthText({ date->month, false, 0 }));
    return clampLunarMonth({ year, int(position) });
}

LunarMonthChoice nextLunarMonth(LunarMonthChoice choice)
{
    if (choice.position + 1 < lunarMonthTexts(choice.year).size())
        return clampLunarMonth({ choice.year, choice.position + 1 });
    if (choice.year < LunarYearTable::LastYear)
        return clampLunarMonth({ choice.year + 1, 0 });
    return choice;
}

LunarMonthChoice previousLunarMonth(LunarMonthChoice choice)
{
    if (choice.position > 0)
        return clampLunarMonth({ choice.year, choice.position - 1 });
    if (choice.year > LunarYearTable::FirstYear)
        return clampLunarMonth(
            { choice.year - 1, int(lunarMonthTexts(choice.year - 1).size()) - 1 });
    return choice;
}

LunarMonthChoice changeLunarYear(LunarMonthChoice choice, int newYear)
{
    if (!LunarYearTable::contains(newYear))
        return choice;
    return clampLunarMonth({ newYear, choice.position });
}

} // namespace natalis::calendar_ui
