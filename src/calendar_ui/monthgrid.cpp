#include "calendar_ui/monthgrid.h"

#include "calendar/calendarnames.h"
#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "reminder/birthdayoccurrences.h"

namespace natalis::calendar_ui {

namespace {

const QString LineEnd = QStringLiteral("\r\n");

QString withoutBlanks(QString text)
{
    return text.remove(u' ');
}

// A birthday of the shown month with the day it falls on.
struct MonthBirthday
{
    const store::BirthdayRecord *record;
    QDate date;
};

bool inMonth(QDate date, QDate first)
{
    return date.isValid() && date >= first && date < first.addMonths(1);
}

// Each birthday at most once, on its occurrence by its own rule. A lunar-rule birthday is looked
// up in the lunar year of the month's first day and in the next one, since a Gregorian month
// that contains the lunar new year holds days of both.
QList<MonthBirthday> birthdaysOfMonth(
    QDate first, const calendar::DayDescription &firstDay, const QList<store::BirthdayRecord> &all)
{
    QList<MonthBirthday> result;
    if (all.isEmpty())
        return result;
    reminder::BirthOccurrences occurrences(all.size());
    reminder::CalcGlBirthDates(all, first.year(), occurrences);
    reminder::CalcNlBirthDates(all, firstDay.lunar.year, occurrences);
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (inMonth(occurrences.ThisYearDates[i], first))
            result.append({ &all[i], occurrences.ThisYearDates[i] });
        else if (inMonth(occurrences.NextYearDates[i], first))
            result.append({ &all[i], occurrences.NextYearDates[i] });
    }
    return result;
}

QString remindedDateText(const store::BirthdayRecord &record)
{
    return record.blnIsGL.trimmed() == reminder::RemindByGregorian ? record.strGL.trimmed()
                                                                   : record.strNL.trimmed();
}

// Fields in the column order of the day-list window.
QString detailLine(const store::BirthdayRecord &record)
{
    const QStringList fields { record.About.trimmed(), record.Type.trimmed(), record.Tel.trimmed(),
        record.Beizhu.trimmed(), remindedDateText(record), QString::number(record.intNums),
        record.Duanxin.trimmed(), record.Sex.trimmed(), record.Class.trimmed(),
        record.QQ_MSN.trimmed(), record.Company.trimmed(), record.Address.trimmed(),
        record.No.trimmed() };
    return fields.join(u'\t') + LineEnd;
}

struct DayBirthdays
{
    QStringList names;
    QString noticeLines; // name[category,telephone]
    QString details;
};

DayBirthdays birthdaysOn(QDate day, const QList<MonthBirthday> &month)
{
    DayBirthdays result;
    for (const MonthBirthday &birthday : month) {
        if (birthday.date != day)
            continue;
        const store::BirthdayRecord &record = *birthday.record;
        result.names.append(record.About.trimmed());
        result.noticeLines += record.About.trimmed() + u'[' + record.Type.trimmed() + u','
            + record.Tel.trimmed() + u']' + LineEnd;
        result.details += detailLine(record);
    }
    return result;
}

void setLunarCaption(MonthCell &cell, const calendar::DayDescription &day,
    const DayBirthdays &birthdays, bool plainMode)
{
    if (!plainMode && !birthdays.names.isEmpty()) {
        cell.nlText = birthdays.names.first();
        if (birthdays.names.size() > 1)
            cell.nlText += QStringLiteral(">>");
        cell.nlColour = CellColour::Marked;
    } else if (!day.festivals.isEmpty()) {
        cell.nlText = day.festivals.first();
        cell.nlColour = CellColour::Marked;
    } else if (!day.termName.isEmpty()) {
        cell.nlText = day.termName;
        cell.nlColour = CellColour::Term;
    } else if (!day.monthNote.isEmpty()) {
        cell.nlText = day.monthNote;
        cell.nlColour = CellColour::Quiet;
    } else {
        cell.nlText = day.dayName;
        cell.nlColour = CellColour::Quiet;
    }
}

MonthCell dayCell(QDate date, QDate today, const calendar::DayDescription &day,
    const DayBirthdays &birthdays, bool plainMode)
{
    MonthCell cell;
    cell.day = date.day();
    cell.glText = QString::number(date.day());
    cell.today = date == today;
    cell.glColour = cell.today ? CellColour::Today : CellColour::Day;
    setLunarCaption(cell, day, birthdays, plainMode);

    const QString longText = withoutBlanks(day.longText);
    cell.noticeText = longText + u' ' + day.termName + LineEnd + day.festivalText();
    if (!plainMode) {
        cell.noticeText += birthdays.noticeLines;
        cell.dateText = withoutBlanks(calendar::GregorianText(date)) + u' ' + longText;
        cell.listText = day.festivalText() + birthdays.details;
    }
    cell.noticeText.chop(LineEnd.size());
    return cell;
}

} // namespace

int FirstDayCell(QDate first)
{
    return first.dayOfWeek() % 7; // Qt counts Monday 1 … Sunday 7
}

std::array<MonthCell, GridCells> BuildMonthGrid(
    int year, int month, QDate today, const QList<store::BirthdayRecord> &birthdays, bool plainMode)
{
    std::array<MonthCell, GridCells> cells {};
    const QDate first(year, month, 1);
    const auto firstDay = calendar::DescribeDay(first);
    if (!firstDay || first < QDate(1901, 3, 1))
        return cells;

    const QList<MonthBirthday> monthBirthdays =
        plainMode ? QList<MonthBirthday>() : birthdaysOfMonth(first, *firstDay, birthdays);
    const int offset = FirstDayCell(first);
    for (QDate date = first; date.month() == month; date = date.addDays(1)) {
        const auto day = calendar::DescribeDay(date);
        if (!day)
            break;
        cells[offset + date.day() - 1] =
            dayCell(date, today, *day, birthdaysOn(date, monthBirthdays), plainMode);
    }
    return cells;
}

QString TodayHeading(QDate today)
{
    const auto day = calendar::DescribeDay(today);
    return QStringLiteral("今天:") + withoutBlanks(calendar::GregorianText(today)) + u'('
        + calendar::WeekdayName(today.dayOfWeek() % 7 + 1) + QStringLiteral(") ")
        + (day ? withoutBlanks(day->lunarText) : QString());
}

QString CutNoticeLines(const QString &text)
{
    constexpr int ShownLines = 4;
    qsizetype end = -LineEnd.size();
    for (int line = 0; line < ShownLines; ++line) {
        end = text.indexOf(LineEnd, end + LineEnd.size());
        if (end < 0)
            return text;
    }
    return text.left(end + LineEnd.size()) + QStringLiteral("----更多请双击日期----");
}

} // namespace natalis::calendar_ui
