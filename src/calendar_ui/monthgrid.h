#pragma once

#include "calendar/describeday.h"
#include "calendar_ui/cellcolour.h"
#include "calendar_ui/monthbirthdayindex.h"
#include "store/birthdaylist.h"

#include <QDate>
#include <QList>
#include <QString>
#include <array>
#include <memory>

namespace natalis::calendar_ui {

inline constexpr int GridCells = 42; // 6 rows of 7 columns, Sunday first

// One cell of the calendar's month grid. Cells outside the month have day 0 and empty texts.
struct MonthCell
{
    int day = 0; // Gregorian day of the month, 0 outside the month
    QString glText; // large label: the day number
    QString nlText; // small label: birthday, festival, term, month note or lunar day name
    CellColour glColour = CellColour::Day;
    CellColour nlColour = CellColour::OutsideMonth;
    bool today = false;

    // Lines separated by CR LF: the long lunar text and term, the festivals, and in the birthday
    // calendar one "name[category,telephone]" line per birthday. A CR LF means the day has a
    // festival or a birthday.
    QString noticeText() const;
    // Birthday calendar only: the day's Gregorian and lunar text in one line, and the day's
    // festivals and birthday details for the day-list window (one line each, fields by tabs).
    QString dateText() const;
    QString listText() const;

    // What the texts are made of; they are written only when shown, since a month of a long
    // list holds far more birthday lines than anyone hovers over.
    QDate date;
    calendar::DayDescription description;
    QList<qsizetype> birthdays; // the day's rows of `records`, in list order
    std::shared_ptr<const store::BirthdayList> records; // null while the day has none
    bool plainMode = true;
};

// The cell of a month's first day: 0 for a Sunday … 6 for a Saturday.
int firstDayCell(QDate first);

// The cells of a month from March 1901 to December 2100 (an earlier or later month gives 42
// empty cells). In the birthday calendar (plainMode false) each birthday appears on the day of
// its occurrence by its own rule in that month.
std::array<MonthCell, GridCells> buildMonthGrid(
    int year, int month, QDate today, const store::BirthdayList &birthdays, bool plainMode);
// The same from a list arranged once for many months.
std::array<MonthCell, GridCells> buildMonthGrid(
    int year, int month, QDate today, const MonthBirthdayIndex &birthdays, bool plainMode);

// The calendar's heading: 今天:公历2006年05月01日(星期一) 农历2006年04月04日.
QString todayHeading(QDate today);

// A notice of more than four lines keeps its first four (each with its CR LF) and gets
// "----更多请双击日期----"; a shorter one is returned whole.
QString cutNoticeLines(const QString &text);

} // namespace natalis::calendar_ui
