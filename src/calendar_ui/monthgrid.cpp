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

QStringView field(const store::BirthdayList &list, qsizetype i, store::BirthdayText text)
{
    return list.text(i, text).trimmed();
}

QStringView remindedDateText(const store::BirthdayList &list, qsizetype i)
{
    using enum store::BirthdayText;
    return field(list, i, blnIsGL) == reminder::RemindByGregorian ? field(list, i, strGL)
                                                                  : field(list, i, strNL);
}

// Fields in the column order of the day-list window.
QString detailLine(const store::BirthdayList &list, qsizetype i)
{
    using enum store::BirthdayText;
    QString line;
    for (const QStringView text : { field(list, i, About), field(list, i, Type),
             field(list, i, Tel), field(list, i, Beizhu), remindedDateText(list, i) }) {
        line += text;
        line += u'\t';
    }
    line += QString::number(list.days(i));
    for (const store::BirthdayText text : { Duanxin, Sex, Class, QQ_MSN, Company, Address, No }) {
        line += u'\t';
        line += field(list, i, text);
    }
    return line + LineEnd;
}

void setLunarCaption(MonthCell &cell, const calendar::DayDescription &day, bool plainMode)
{
    if (!plainMode && !cell.birthdays.isEmpty()) {
        cell.nlText =
            field(*cell.records, cell.birthdays.first(), store::BirthdayText::About).toString();
        if (cell.birthdays.size() > 1)
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

// "1" … "31" as literals: every month shown needs them all, and a literal is handed out without
// touching a reference count.
const QString &dayNumber(int day)
{
    static const std::array<QString, 32> numbers { QString(), QStringLiteral("1"),
        QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
        QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"),
        QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("13"),
        QStringLiteral("14"), QStringLiteral("15"), QStringLiteral("16"), QStringLiteral("17"),
        QStringLiteral("18"), QStringLiteral("19"), QStringLiteral("20"), QStringLiteral("21"),
        QStringLiteral("22"), QStringLiteral("23"), QStringLiteral("24"), QStringLiteral("25"),
        QStringLiteral("26"), QStringLiteral("27"), QStringLiteral("28"), QStringLiteral("29"),
        QStringLiteral("30"), QStringLiteral("31") };
    return numbers[day];
}

void fillDayCell(MonthCell &cell, QDate date, int year, int month, int dayOfMonth, QDate today,
    calendar::DayDescription day, const MonthBirthdayIndex &birthdays, bool plainMode)
{
    cell.day = dayOfMonth;
    cell.glText = dayNumber(cell.day);
    cell.today = date == today;
    cell.glColour = cell.today ? CellColour::Today : CellColour::Day;
    cell.date = date;
    cell.plainMode = plainMode;
    if (!plainMode && !birthdays.isEmpty()) {
        cell.birthdays = birthdays.on(year, month, dayOfMonth, day);
        if (!cell.birthdays.isEmpty())
            cell.records = birthdays.records();
    }
    cell.description = std::move(day);
}

} // namespace

QString MonthCell::noticeText() const
{
    if (day == 0)
        return {};
    QString text = withoutBlanks(description.longText) + u' ' + description.termName + LineEnd
        + description.festivalText();
    if (!plainMode) {
        using enum store::BirthdayText;
        for (const qsizetype i : birthdays)
            text += QStringLiteral("%1[%2,%3]")
                        .arg(field(*records, i, About), field(*records, i, Type),
                            field(*records, i, Tel))
                + LineEnd;
    }
    text.chop(LineEnd.size());
    return text;
}

QString MonthCell::dateText() const
{
    if (day == 0 || plainMode)
        return {};
    return withoutBlanks(calendar::gregorianText(date)) + u' '
        + withoutBlanks(description.longText);
}

QString MonthCell::listText() const
{
    if (day == 0 || plainMode)
        return {};
    QString text = description.festivalText();
    for (const qsizetype i : birthdays)
        text += detailLine(*records, i);
    return text;
}

int firstDayCell(QDate first)
{
    return first.dayOfWeek() % 7; // Qt counts Monday 1 … Sunday 7
}

std::array<MonthCell, GridCells> buildMonthGrid(
    int year, int month, QDate today, const store::BirthdayList &birthdays, bool plainMode)
{
    return buildMonthGrid(year, month, today,
        plainMode ? MonthBirthdayIndex() : MonthBirthdayIndex(birthdays), plainMode);
}

std::array<MonthCell, GridCells> buildMonthGrid(
    int year, int month, QDate today, const MonthBirthdayIndex &birthdays, bool plainMode)
{
    std::array<MonthCell, GridCells> cells {};
    const QDate first(year, month, 1);
    if (!first.isValid() || first < QDate(1901, 3, 1) || first > calendar::lastDescribedDay())
        return cells;

    const int offset = firstDayCell(first);
    // Days counted on from the first rather than read back from each date: taking a date
    // apart into year, month and day costs more than describing it.
    const int days = first.daysInMonth();
    for (int d = 1; d <= days; ++d) {
        const QDate date = first.addDays(d - 1);
        auto day = calendar::DescribeDay(date);
        if (!day)
            break;
        fillDayCell(cells[offset + d - 1], date, year, month, d, today, std::move(*day), birthdays,
            plainMode);
    }
    // The names' texts fetched all together, and only then read.
    for (const MonthCell &cell : cells) {
        if (!cell.birthdays.isEmpty())
            __builtin_prefetch(
                cell.records->text(cell.birthdays.first(), store::BirthdayText::About).data());
    }
    for (MonthCell &cell : cells) {
        if (cell.day != 0)
            setLunarCaption(cell, cell.description, plainMode);
    }
    return cells;
}

QString todayHeading(QDate today)
{
    const auto day = calendar::DescribeDay(today);
    return QStringLiteral("今天:") + withoutBlanks(calendar::gregorianText(today)) + u'('
        + calendar::weekdayName(today.dayOfWeek() % 7 + 1) + QStringLiteral(") ")
        + (day ? withoutBlanks(day->lunarText) : QString());
}

QString cutNoticeLines(const QString &text)
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
