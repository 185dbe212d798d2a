#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

namespace natalis::transfer {

// RFC 4180 as Excel and WPS write it: fields separated by commas, a field in double quotes may
// hold commas, line breaks and doubled quotes; records end in CR LF, LF or CR.

struct CsvRecord
{
    qsizetype line = 0; // where it starts, from 1
    qsizetype lastLine = 0; // where it ends: later than line when a quoted field holds line breaks
    QStringList fields;
    // A field began with a quote that is never closed; the quote was read as a character of the
    // field, which ends at its line's end, so that it cannot swallow the lines after it.
    bool strayQuote = false;
};

// Hands each record of text to recordRead. Blank lines give no record. recordRead returns false
// to stop. Excel's "Unicode 文本" is the same with tabs for separators.
void forEachCsvRecord(QStringView text,
    const std::function<bool(const CsvRecord &record)> &recordRead, QChar separator = u',');

// One field as written: quoted (with quotes doubled) when it holds a comma, a quote, a line
// break or blanks at either end, else as it is.
QString csvField(const QString &value);

// The fields joined by commas, without a line end.
QString csvRecord(const QStringList &fields);

} // namespace natalis::transfer
