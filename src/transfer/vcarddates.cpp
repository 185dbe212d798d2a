#include "vcarddates.h"

#include "vcardexport.h"

#include <QDate>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

using store::EntryKind;

bool labelledAnniversary(const Vcard &card, const VcardProperty &date)
{
    if (date.name != u"X-ABDATE" || date.group.isEmpty())
        return false;
    for (const VcardProperty &label : card.properties) {
        if (label.name == u"X-ABLABEL" && label.group == date.group)
            return label.text().contains(u"Anniversary", Qt::CaseInsensitive);
    }
    return false;
}

bool namesGregorianDate(const Vcard &card, const VcardProperty &property, EntryKind kind)
{
    switch (kind) {
    case EntryKind::Birthday:
        return property.name == u"BDAY";
    case EntryKind::Anniversary:
        return property.name == u"ANNIVERSARY" || property.name == u"X-ANNIVERSARY"
            || labelledAnniversary(card, property);
    case EntryKind::Memorial:
        return property.name == u"DEATHDATE" || property.name == u"X-DEATHDATE";
    }
    return false;
}

bool existsInSomeYear(const calendar::LunarDate &date)
{
    // 2000 has every day a year can have, 29 February included.
    return QDate(date.year == 0 ? 2000 : date.year, date.month, date.day).isValid();
}

} // namespace

CardDateNames cardDateNames(EntryKind kind, QStringView version)
{
    const bool four = version == u"4.0";
    switch (kind) {
    case EntryKind::Anniversary:
        return { four ? u"ANNIVERSARY" : u"X-ANNIVERSARY", u"X-ALTANNIVERSARY" };
    case EntryKind::Memorial:
        return { four ? u"DEATHDATE" : u"X-DEATHDATE", u"X-ALTDEATHDATE" };
    case EntryKind::Birthday:
        break;
    }
    return { u"BDAY", u"X-ALTBDAY" };
}

QString vcardKindValue(EntryKind kind)
{
    switch (kind) {
    case EntryKind::Anniversary:
        return u"ANNIVERSARY"_s;
    case EntryKind::Memorial:
        return u"MEMORIAL"_s;
    case EntryKind::Birthday:
        break;
    }
    return QString();
}

std::optional<EntryKind> vcardKindOf(const Vcard &card)
{
    const VcardProperty *property = card.first(VcardKindProperty);
    if (!property)
        return std::nullopt;
    const QString value = property->text().trimmed();
    if (value.compare(u"ANNIVERSARY", Qt::CaseInsensitive) == 0)
        return EntryKind::Anniversary;
    if (value.compare(u"MEMORIAL", Qt::CaseInsensitive) == 0)
        return EntryKind::Memorial;
    return store::entryKindOf(value);
}

std::optional<calendar::LunarDate> gregorianCardDate(const VcardProperty &property)
{
    QString value = property.text().trimmed();
    if (const qsizetype t = value.indexOf(u'T'); t >= 0)
        value.truncate(t);
    const bool yearless = value.startsWith(u"--");
    value.remove(u'-');
    static const QRegularExpression dated(u"^(\\d{4})?(\\d{2})(\\d{2})$"_s);
    const QRegularExpressionMatch match = dated.match(value);
    if (!match.hasMatch() || yearless == match.hasCaptured(1))
        return std::nullopt;
    calendar::LunarDate date { match.captured(1).toInt(), match.captured(2).toInt(),
        match.captured(3).toInt(), false };
    const QString omitted = property.parameter(u"X-APPLE-OMIT-YEAR");
    if (!omitted.isEmpty() && omitted == match.captured(1))
        date.year = 0;
    if (!existsInSomeYear(date))
        return std::nullopt;
    return date;
}

std::optional<calendar::LunarDate> lunarCardDate(const VcardProperty &property)
{
    if (property.parameter(u"CALSCALE").compare(u"chinese", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    QString value = property.text().trimmed();
    const bool yearless = value.startsWith(u"--");
    value.remove(u'-');
    static const QRegularExpression apple(
        u"^(\\d{4})(\\d{4})(L?)(\\d{2})(L?)(\\d{2})$"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression plain(
        u"^(\\d{4})?(L?)(\\d{2})(L?)(\\d{2})$"_s, QRegularExpression::CaseInsensitiveOption);
    int year = 0;
    QRegularExpressionMatch match = apple.match(value);
    int at = 3;
    if (!yearless && match.hasMatch()) {
        year = 1984 + (match.captured(1).toInt() - 78) * 60 + match.captured(2).toInt() - 1;
    } else if ((match = plain.match(value)).hasMatch() && yearless != match.hasCaptured(1)) {
        year = match.captured(1).toInt();
        at = 2;
    } else {
        return std::nullopt;
    }
    const bool leap = !match.captured(at).isEmpty() || !match.captured(at + 2).isEmpty();
    return calendar::LunarDate { year, match.captured(at + 1).toInt(),
        match.captured(at + 3).toInt(), leap };
}

QString gregorianCardValue(const calendar::LunarDate &date, bool basic)
{
    const QString separator = basic ? QString() : u"-"_s;
    const QString monthDay = QString::number(date.month).rightJustified(2, u'0') + separator
        + QString::number(date.day).rightJustified(2, u'0');
    if (date.year == 0)
        return u"--"_s + monthDay;
    return QString::number(date.year).rightJustified(4, u'0') + separator + monthDay;
}

QString lunarCardValue(const calendar::LunarDate &date)
{
    if (date.year != 0)
        return appleChineseDate(date.year, date.month, date.isLeap, date.day);
    return u"--"_s + QString::number(date.month).rightJustified(2, u'0')
        + (date.isLeap ? u"L"_s : QString()) + u'-'
        + QString::number(date.day).rightJustified(2, u'0');
}

qsizetype gregorianDateProperty(const Vcard &card, EntryKind kind)
{
    for (qsizetype i = 0; i < card.properties.size(); ++i) {
        if (namesGregorianDate(card, card.properties[i], kind))
            return i;
    }
    return -1;
}

qsizetype lunarDateProperty(const Vcard &card, EntryKind kind)
{
    const QStringView name = cardDateNames(kind, u"3.0").lunar;
    for (qsizetype i = 0; i < card.properties.size(); ++i) {
        if (card.properties[i].name == name && lunarCardDate(card.properties[i]))
            return i;
    }
    return -1;
}

} // namespace natalis::transfer
