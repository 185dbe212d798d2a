#include "calendar_ui/typeddate.h"

#include "calendar/lunarimporttext.h"

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

} // namespace natalis::calendar_ui
