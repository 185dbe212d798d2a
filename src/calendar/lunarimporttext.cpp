#include "lunarimporttext.h"

#include "calendarnames.h"
#include "lunaryeartable.h"

#include <array>
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

namespace {

// 一 … 十二 as months are counted.
QString chineseNumber(int value)
{
    static constexpr QStringView Digits = u"一二三四五六七八九";
    if (value < 10)
        return QString(Digits[value - 1]);
    return u'十' + (value > 10 ? QString(Digits[value - 11]) : QString());
}

// The longest name of names that text starts with: its number (from 1), or 0.
template<typename Names>
int leadingName(QStringView text, int count, Names names, qsizetype &length)
{
    int found = 0;
    length = 0;
    for (int value = 1; value <= count; ++value) {
        for (const QString &name : names(value)) {
            if (!name.isEmpty() && name.size() > length && text.startsWith(name)) {
                found = value;
                length = name.size();
            }
        }
    }
    return found;
}

} // namespace

std::optional<QString> lunarWordsAsImportText(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u"农历"))
        text = text.sliced(2).trimmed();
    const qsizetype yearEnd = text.indexOf(u'年');
    if (yearEnd <= 0)
        return std::nullopt;
    QString year;
    for (QChar c : text.first(yearEnd).trimmed()) {
        static constexpr QStringView Zeros = u"〇零○";
        static constexpr QStringView Digits = u"一二三四五六七八九";
        if (c >= u'0' && c <= u'9')
            year += c;
        else if (Zeros.contains(c))
            year += u'0';
        else if (const qsizetype digit = Digits.indexOf(c); digit >= 0)
            year += QChar(char16_t(u'1' + digit));
        else
            return std::nullopt;
    }
    QStringView rest = text.sliced(yearEnd + 1).trimmed();
    const bool leap = rest.startsWith(u'闰');
    if (leap)
        rest = rest.sliced(1);
    qsizetype length = 0;
    const int month = leadingName(
        rest, 12,
        [](int m) {
            return std::array { lunarMonthName(m), chineseNumber(m) + u'月' };
        },
        length);
    if (month == 0)
        return std::nullopt;
    rest = rest.sliced(length);
    if (rest.endsWith(u'日'))
        rest.chop(1);
    const int day = leadingName(
        rest, 30,
        [](int d) {
            return std::array { lunarDayName(d), pickerLunarDayName(d) };
        },
        length);
    if (day == 0 || length != rest.size())
        return std::nullopt;
    return year + u'-' + (leap ? QStringLiteral("闰") : QString()) + QString::number(month) + u'-'
        + QString::number(day);
}

} // namespace natalis::calendar
