#include "csvfile.h"

namespace natalis::transfer {

namespace {

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Past the line end at i (CR LF counts once); the line counter follows.
qsizetype skipLineEnd(QStringView text, qsizetype i, qsizetype &line)
{
    ++line;
    return i + (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1);
}

// A quoted field from the opening quote at i; returns the position after the closing quote.
qsizetype readQuoted(QStringView text, qsizetype i, QString &field, qsizetype &line)
{
    ++i;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'"') {
            if (i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                i += 2;
                continue;
            }
            return i + 1;
        }
        if (isLineEnd(c)) {
            // Kept as one line feed: the program's texts hold no carriage returns.
            field += u'\n';
            i = skipLineEnd(text, i, line);
            continue;
        }
        field += c;
        ++i;
    }
    return i;
}

} // namespace

void ForEachCsvRecord(QStringView text,
    const std::function<bool(qsizetype line, const QStringList &fields)> &recordRead)
{
    qsizetype line = 1;
    qsizetype i = 0;
    QStringList fields;
    while (i < text.size()) {
        const qsizetype startLine = line;
        fields.clear();
        bool recordEnds = false;
        while (!recordEnds) {
            QString field;
            if (i < text.size() && text[i] == u'"')
                i = readQuoted(text, i, field, line);
            // Anything after a closing quote, or an unquoted field, runs to the comma.
            while (i < text.size() && text[i] != u',' && !isLineEnd(text[i]))
                field += text[i++];
            fields.append(field);
            if (i < text.size() && text[i] == u',') {
                ++i;
                continue;
            }
            recordEnds = true;
            if (i < text.size())
                i = skipLineEnd(text, i, line);
        }
        const bool blank = fields.size() == 1 && fields.first().trimmed().isEmpty();
        if (!blank && !recordRead(startLine, fields))
            return;
    }
}

QString csvField(const QString &value)
{
    const bool quoted = value.contains(u',') || value.contains(u'"') || value.contains(u'\n')
        || value.contains(u'\r') || value.startsWith(u' ') || value.endsWith(u' ');
    if (!quoted)
        return value;
    QString field = value;
    field.replace(u'"', QStringLiteral("\"\""));
    return u'"' + field + u'"';
}

QString csvRecord(const QStringList &fields)
{
    QString record;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record += u',';
        record += csvField(fields[i]);
    }
    return record;
}

} // namespace natalis::transfer
