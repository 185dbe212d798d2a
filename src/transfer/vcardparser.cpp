#include "vcardparser.h"

#include "contentline.h"
#include "store/ansicodec.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

// The part before the first ':' outside double quotes, where name and parameters stand.
qsizetype valueStart(QByteArrayView line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

bool isQuotedPrintable(QByteArrayView line)
{
    const qsizetype colon = valueStart(line);
    return colon > 0 && line.first(colon).toByteArray().toUpper().contains("QUOTED-PRINTABLE");
}

} // namespace

QList<VcardLine> vcardLines(QByteArrayView bytes)
{
    QList<VcardLine> lines;
    bool softBreak = false; // the line before ended in a quoted-printable "="
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', at);
        const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
        const QByteArrayView raw = bytes.sliced(at, end - at);
        at = end;
        QByteArrayView physical = raw;
        if (physical.endsWith('\n'))
            physical.chop(1);
        if (physical.endsWith('\r'))
            physical.chop(1);
        if (softBreak && !lines.isEmpty()) {
            lines.last().text.chop(1);
            lines.last().text += physical;
        } else if (!lines.isEmpty() && !physical.isEmpty()
            && (physical[0] == ' ' || physical[0] == '\t')) {
            lines.last().text += physical.sliced(1);
        } else if (!physical.trimmed().isEmpty() || lines.isEmpty()) {
            lines.append({ raw.toByteArray(),
                physical.trimmed().isEmpty() ? QByteArray() : physical.toByteArray() });
            softBreak = lines.last().text.endsWith('=') && isQuotedPrintable(lines.last().text);
            continue;
        } else {
            lines.last().raw += raw; // a blank line belongs to the one before
            continue;
        }
        lines.last().raw += raw;
        softBreak = lines.last().text.endsWith('=') && isQuotedPrintable(lines.last().text);
    }
    return lines;
}

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(QByteArrayView encoded)
{
    QByteArray decoded;
    decoded.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '=' && i + 2 < encoded.size()) {
            const int high = hexValue(encoded[i + 1]), low = hexValue(encoded[i + 2]);
            if (high >= 0 && low >= 0) {
                decoded += char(high * 16 + low);
                i += 2;
                continue;
            }
        }
        if (encoded[i] == '=' && i + 1 == encoded.size())
            break; // a soft break left at the very end
        decoded += encoded[i];
    }
    return decoded;
}

QString decodeText(QByteArrayView bytes, const QString &charset)
{
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.toLatin1().constData());
        if (decoder.isValid()) {
            QString text = decoder.decode(bytes);
            if (!decoder.hasError())
                return text;
        }
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return store::fromAnsi(bytes);
}

QString unquoted(QString value)
{
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        return value.mid(1, value.size() - 2);
    return value;
}

// Splits at separator outside double quotes.
QList<QByteArray> splitOutsideQuotes(QByteArrayView text, char separator)
{
    QList<QByteArray> parts;
    QByteArray part;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == separator && !quoted) {
            parts.append(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.append(part);
    return parts;
}

void addParameter(VcardProperty &property, QByteArrayView parameter)
{
    const qsizetype equals = parameter.indexOf('=');
    const QString name =
        QString::fromLatin1((equals < 0 ? parameter : parameter.first(equals)).trimmed()).toUpper();
    if (equals < 0) {
        // 2.1 writes types and the encoding bare: "HOME;CELL", "QUOTED-PRINTABLE".
        if (name == u"QUOTED-PRINTABLE" || name == u"BASE64" || name == u"8BIT")
            property.parameters.append({ u"ENCODING"_s, name });
        else if (!name.isEmpty())
            property.types.append(name);
        return;
    }
    const QString value = unquoted(QString::fromUtf8(parameter.sliced(equals + 1).trimmed()));
    if (name == u"TYPE") {
        for (const QString &type : value.split(u',', Qt::SkipEmptyParts))
            property.types.append(unquoted(type.trimmed()).toUpper());
    } else {
        property.parameters.append({ name, value });
    }
}

} // namespace

std::optional<VcardProperty> parseVcardLine(QByteArrayView line)
{
    const qsizetype colon = valueStart(line);
    if (colon <= 0)
        return std::nullopt;
    const QList<QByteArray> head = splitOutsideQuotes(line.first(colon), ';');
    VcardProperty property;
    QByteArray name = head.first().trimmed().toUpper();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0) {
        property.group = QString::fromLatin1(name.first(dot));
        name = name.sliced(dot + 1);
    }
    property.name = QString::fromLatin1(name);
    for (qsizetype i = 1; i < head.size(); ++i)
        addParameter(property, head[i]);
    QByteArrayView raw = line.sliced(colon + 1);
    const QString encoding = property.parameter(u"ENCODING").toUpper();
    if (encoding == u"B" || encoding == u"BASE64")
        return property; // pictures and sounds: nothing a birthday needs
    const QByteArray bytes =
        encoding == u"QUOTED-PRINTABLE" ? decodeQuotedPrintable(raw) : raw.toByteArray();
    property.value = decodeText(bytes, property.parameter(u"CHARSET"));
    return property;
}

QString VcardProperty::parameter(QStringView wanted) const
{
    for (const auto &[name, value] : parameters) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return value;
    }
    return QString();
}

bool VcardProperty::hasType(QStringView type) const
{
    return types.contains(type.toString(), Qt::CaseInsensitive);
}

QString VcardProperty::text() const
{
    return unescapeText(value);
}

QStringList VcardProperty::components() const
{
    QStringList parts;
    QString part;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            part += c;
            part += value[++i];
        } else if (c == u';') {
            parts.append(unescapeText(part));
            part.clear();
        } else {
            part += c;
        }
    }
    parts.append(unescapeText(part));
    return parts;
}

const VcardProperty *Vcard::first(QStringView name) const
{
    for (const VcardProperty &property : properties) {
        if (property.name == name)
            return &property;
    }
    return nullptr;
}

QList<Vcard> parseVcards(QByteArrayView bytes)
{
    QList<Vcard> cards;
    bool inCard = false;
    int nested = 0; // a 2.1 AGENT card inside a card
    for (const VcardLine &line : vcardLines(bytes)) {
        const std::optional<VcardProperty> property = parseVcardLine(line.text);
        if (!property)
            continue;
        const QString value = property->value.trimmed().toUpper();
        if (property->name == u"BEGIN" && value == u"VCARD") {
            if (inCard)
                ++nested;
            else
                cards.append(Vcard());
            inCard = true;
        } else if (property->name == u"END" && value == u"VCARD") {
            if (nested > 0)
                --nested;
            else
                inCard = false;
        } else if (inCard && nested == 0) {
            if (property->name == u"VERSION")
                cards.last().version = property->value.trimmed();
            else
                cards.last().properties.append(*property);
        }
    }
    return cards;
}

} // namespace natalis::transfer
