#include "lunarimporttext.h"

#include "lunaryeartable.h"

#include <optional>

namespace natalis::calendar {

namespace {

bool isAsciiDigits(QStringView text, int minLength, int maxLength)
{
    if (text.size() < minLength || text.size() > maxLength)
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QString twoDigits(QStringView number)
{
    return number.size() == 1 ? u'0' + number.toString() : number.toString();
}

QString withoutBlanks(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (!c.isSpace())
            result += c;
    }
    return result;
}

struct MonthPart
{
    int month = 0;
    bool isLeap = false;
    QString label; // "07" or "闰07"
};

// "#", "##", "闰#" or "闰##".
std::optional<MonthPart> parseMonthPart(QStringView part)
{
    MonthPart result;
    result.isLeap = part.startsWith(u'闰');
    const QStringView digits = result.isLeap ? part.mid(1) : part;
    if (!isAsciiDigits(digits, 1, 2))
        return std::nullopt;
    result.month = digits.toInt();
    result.label = (result.isLeap ? QStringLiteral("闰") : QString()) + twoDigits(digits);
    return result;
}

} // namespace

bool NormalizeLunarImportText(const QString &text, QString &normalized)
{
    const QString compact = withoutBlanks(text);
    const qsizetype firstDash = compact.indexOf(u'-');
    if (firstDash < 0)
        return false;
    const QStringView yearPart = QStringView(compact).left(firstDash);
    if (!isAsciiDigits(yearPart, 4, 4))
        return false;
    const int year = yearPart.toInt();
    if (!LunarYearTable::contains(year))
        return false;

    const qsizetype secondDash = compact.indexOf(u'-', firstDash + 1);
    if (secondDash < 0)
        return false;
    const std::optional<MonthPart> month =
        parseMonthPart(QStringView(compact).mid(firstDash + 1, secondDash - firstDash - 1));
    const QStringView dayPart = QStringView(compact).mid(secondDash + 1);
    if (!month || !isAsciiDigits(dayPart, 1, 2))
        return false;

    // Lunar 1901-01 begins before the first day the pickers offer, 2100-12 ends in 2101.
    const bool edgeMonth = !month->isLeap
        && ((year == LunarYearTable::FirstYear && month->month == 1)
            || (year == LunarYearTable::LastYear && month->month == 12));
    if (edgeMonth)
        return false;

    // The labels of the year are "01".."12" plus "闰L" after month L, so a label matches exactly
    // when the month exists in that year.
    const std::optional<int> monthDays =
        LoadLunarYearTable().monthLength(year, month->month, month->isLeap);
    const int day = dayPart.toInt();
    if (!monthDays || day < 1 || day > *monthDays)
        return false;

    normalized = yearPart.toString() + u'-' + month->label + u'-' + twoDigits(dayPart);
    return true;
}

} // namespace natalis::calendar
