#include "csvfile.h"

#include <optional>

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

// A quoted field from the opening quote at i; returns the position after the closing quote, or
// nullopt when the quote is never closed.
std::optional<qsizetype> readQuoted(QStringView text, qsizetype i, QString &field, qsizetype &line)
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
    return std::nullopt;
}

} // namespace

void forEachCsvRecord(QStringView text,
    const std::function<bool(const CsvRecord &record)> &recordRead, QChar separator)
{
    qsizetype line = 1;
    qsizetype i = 0;
    CsvRecord record;
    while (i < text.size()) {
        record.line = line;
        record.fields.clear();
        record.strayQuote = false;
        bool recordEnds = false;
        while (!recordEnds) {
            QString field;
            if (i < text.size() && text[i] == u'"') {
                const qsizetype quoteLine = line;
                if (const auto after = readQuoted(text, i, field, line)) {
                    i = *after;
                } else {
                    // A quote typed at the start of a cell and never closed: read as Excel
                    // would, it swallows every later line into one field. It is a character.
                    field.clear();
                    line = quoteLine;
                    record.strayQuote = true;
                }
            }
            // Anything after a closing quote, or an unquoted field, runs to the separator.
            while (i < text.size() && text[i] != separator && !isLineEnd(text[i]))
                field += text[i++];
            record.fields.append(field);
            if (i < text.size() && text[i] == separator) {
                ++i;
                continue;
            }
            recordEnds = true;
            record.lastLine = line;
            if (i < text.size())
                i = skipLineEnd(text, i, line);
        }
        const bool blank = record.fields.size() == 1 && record.fields.first().trimmed().isEmpty();
        if (!blank && !recordRead(record))
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
