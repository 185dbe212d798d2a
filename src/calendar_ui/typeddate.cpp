#include "calendar_ui/typeddate.h"

#include "calendar/datetext.h"
#include "calendar/lunarimporttext.h"

#include <QDate>
#include <QRegularExpression>

namespace natalis::calendar_ui {

std::optional<PickedTexts> typedGregorianDate(const QString &text)
{
    static const QRegularExpression layout(
        QStringLiteral(R"(^\s*(\d{4})\s*-\s*(\d{1,2})\s*-\s*(\d{1,2})\s*$)"));
    const QRegularExpressionMatch match = layout.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return pickGregorianDay(
        match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
}

std::optional<PickedTexts> typedLunarDate(const QString &text)
{
    QString normal; // "2006-闰07-15" or "1976-01-26"
    if (!calendar::NormalizeLunarImportText(text, normal))
        return std::nullopt;
    const QStringList parts = normal.split(u'-');
    if (parts.size() != 3)
        return std::nullopt;
    const bool leap = parts[1].startsWith(u'闰');
    const QString month = (leap ? QStringLiteral("闰") : QStringLiteral(" ")) + parts[1].right(2);
    return pickLunarDay(parts[0].toInt(), month, parts[2].toInt());
}

namespace {

// "M-D" with an optional 闰 before the month (lunar only), blanks anywhere.
QRegularExpressionMatch monthDayMatch(const QString &text, bool lunar)
{
    static const QRegularExpression gregorian(
        QStringLiteral(R"(^\s*(\d{1,2})\s*-\s*(\d{1,2})\s*$)"));
    static const QRegularExpression lunarDay(
        QStringLiteral(R"(^\s*(闰?)\s*(\d{1,2})\s*-\s*(\d{1,2})\s*$)"));
    return (lunar ? lunarDay : gregorian).match(text);
}

} // namespace

std::optional<QString> typedGregorianMonthDay(const QString &text)
{
    const QRegularExpressionMatch match = monthDayMatch(text, false);
    if (!match.hasMatch()) {
        const auto full = typedGregorianDate(text);
        return full ? std::optional(withoutYear(*full).gregorian) : std::nullopt;
    }
    const int month = match.captured(1).toInt();
    const int day = match.captured(2).toInt();
    // 2000 has every day a year can have, 29 February included.
    if (!QDate(2000, month, day).isValid())
        return std::nullopt;
    return calendar::gregorianMonthDayText(month, day);
}

std::optional<QString> typedLunarMonthDay(const QString &text)
{
    const QRegularExpressionMatch match = monthDayMatch(text, true);
    if (!match.hasMatch()) {
        const auto full = typedLunarDate(text);
        return full ? std::optional(withoutYear(*full).lunar) : std::nullopt;
    }
    const bool leap = !match.captured(1).isEmpty();
    const int month = match.captured(2).toInt();
    const int day = match.captured(3).toInt();
    if (month < 1 || month > 12 || day < 1 || day > 30)
        return std::nullopt;
    return calendar::lunarMonthDayText(month, day, leap);
}

PickedTexts withoutYear(const PickedTexts &texts)
{
    PickedTexts kept;
    if (const auto gl = calendar::parseGregorianMonthDay(texts.gregorian))
        kept.gregorian = calendar::gregorianMonthDayText(gl->month, gl->day);
    if (const auto nl = calendar::parseLunarText(texts.lunar))
        kept.lunar = calendar::lunarMonthDayText(nl->month, nl->day, nl->isLeap);
    return kept;
}

} // namespace natalis::calendar_ui
