#include "store/reminddays.h"

#include "store/asciidigits.h"

namespace natalis::store {

std::optional<QList<qint16>> parseRemindDays(QStringView text)
{
    QList<qint16> days;
    for (QStringView part : text.tokenize(u',')) {
        for (QStringView piece : part.tokenize(u'，')) {
            piece = piece.trimmed();
            // Two digits at most: a long run of digits must not wrap into range.
            if (piece.isEmpty() || piece.size() > 2 || !isAsciiDigits(piece))
                return std::nullopt;
            const qint16 day = qint16(piece.toInt());
            if (day > MaxRemindDays || days.contains(day))
                return std::nullopt;
            days.append(day);
        }
    }
    if (days.isEmpty())
        return std::nullopt;
    return days;
}

QList<qint16> remindDaysOf(QStringView days, qint16 intNums)
{
    if (days.trimmed().isEmpty())
        return { intNums };
    return parseRemindDays(days).value_or(QList<qint16> { intNums });
}

QString remindDaysText(const QList<qint16> &days)
{
    if (days.size() < 2)
        return QString();
    QString text;
    for (qint16 day : days) {
        if (!text.isEmpty())
            text += u',';
        text += QString::number(day);
    }
    return text;
}

} // namespace natalis::store
