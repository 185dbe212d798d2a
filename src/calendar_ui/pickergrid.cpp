#include "calendar_ui/pickergrid.h"

#include "calendar/calendarnames.h"
#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "calendar/lunarconversion.h"
#include "calendar/lunaryeartable.h"

namespace natalis::calendar_ui {

namespace {

QString twoDigits(int number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString lunarText(int lunarYear, const QString &monthText, int day)
{
    return QStringLiteral("农历") + QString::number(lunarYear) + u'年' + monthText + u'月'
        + twoDigits(day) + u'日';
}

CellColour dayColour(QDate date, QDate today)
{
    return date == today ? CellColour::Today : CellColour::Day;
}

void setGregorianSmallText(PickerCell &cell, const calendar::DayDescription &day)
{
    if (!day.festivals.isEmpty()) {
        cell.smallText = day.festivals.first();
        cell.smallColour = CellColour::Marked;
    } else if (!day.termName.isEmpty()) {
        cell.smallText = day.termName;
        cell.smallColour = CellColour::Term;
    } else {
        cell.smallText = day.monthNote.isEmpty() ? day.dayName : day.monthNote;
        cell.smallColour = CellColour::Quiet;
    }
}

void setLunarSmallText(PickerCell &cell, QDate date, const calendar::DayDescription &day)
{
    cell.smallColour = CellColour::Quiet;
    if (date.day() == 1) {
        cell.smallText = QString::number(date.month()) + u'月';
    } else if (!day.festivals.isEmpty()) {
        cell.smallText = day.festivals.first();
        cell.smallColour = CellColour::Marked;
    } else {
        cell.smallText = QString::number(date.day());
    }
}

bool offeredGregorianMonth(QDate first)
{
    return first.isValid() && first >= QDate(1901, 3, 1) && first <= calendar::lastDescribedDay();
}

std::optional<int> lunarMonthLength(int lunarYear, const QString &monthText)
{
    if (!calendar::LunarYearTable::contains(lunarYear) || monthText.size() != 3)
        return std::nullopt;
    return calendar::LoadLunarYearTable().monthLength(
        lunarYear, monthText.mid(1).toInt(), monthText.startsWith(u'闰'));
}

} // namespace

PickerGrid buildGregorianPickerGrid(int year, int month, QDate today)
{
    PickerGrid cells {};
    const QDate first(year, month, 1);
    if (!offeredGregorianMonth(first))
        return cells;
    const int offset = firstDayCell(first);
    for (QDate date = first; date.month() == month; date = date.addDays(1)) {
        const auto day = calendar::DescribeDay(date);
        PickerCell &cell = cells[offset + date.day() - 1];
        cell.day = date.day();
        cell.largeText = QString::number(date.day());
        cell.largeColour = dayColour(date, today);
        setGregorianSmallText(cell, *day);
    }
    return cells;
}

PickerGrid buildLunarPickerGrid(int lunarYear, const QString &monthText, QDate today)
{
    PickerGrid cells {};
    const auto length = lunarMonthLength(lunarYear, monthText);
    const auto firstText = calendar::LunarToSolarText(lunarText(lunarYear, monthText, 1));
    const auto first = firstText ? calendar::parseGregorianText(*firstText) : std::nullopt;
    if (!length || !first)
        return cells;
    const int offset = firstDayCell(*first);
    for (int lunarDay = 1; lunarDay <= *length; ++lunarDay) {
        const QDate date = first->addDays(lunarDay - 1);
        const auto day = calendar::DescribeDay(date);
        if (!day)
            continue;
        PickerCell &cell = cells[offset + lunarDay - 1];
        cell.day = lunarDay;
        cell.largeText = calendar::pickerLunarDayName(lunarDay);
        cell.largeColour = dayColour(date, today);
        setLunarSmallText(cell, date, *day);
    }
    return cells;
}

std::optional<PickedTexts> pickGregorianDay(int year, int month, int day)
{
    const QDate date(year, month, day);
    const auto description = calendar::DescribeDay(date);
    if (!description || !offeredGregorianMonth(QDate(year, month, 1)))
        return std::nullopt;
    return PickedTexts { calendar::gregorianText(date), description->lunarText };
}

std::optional<PickedTexts> pickLunarDay(int lunarYear, const QString &monthText, int day)
{
    const auto length = lunarMonthLength(lunarYear, monthText);
    if (!length || day < 1 || day > *length)
        return std::nullopt;
    const QString lunar = lunarText(lunarYear, monthText, day);
    const auto gregorian = calendar::LunarToSolarText(lunar);
    if (!gregorian)
        return std::nullopt;
    return PickedTexts { *gregorian, lunar };
}

} // namespace natalis::calendar_ui
