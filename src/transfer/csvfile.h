#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

namespace natalis::transfer {

// RFC 4180 as Excel and WPS write it: fields separated by commas, a field in double quotes may
// hold commas, line breaks and doubled quotes; records end in CR LF, LF or CR.

// Hands each record of text to recordRead with the number of the line it starts on (from 1).
// Blank lines give no record. An unterminated quoted field runs to the end of the text.
// recordRead returns false to stop.
void ForEachCsvRecord(QStringView text,
    const std::function<bool(qsizetype line, const QStringList &fields)> &recordRead);

// One field as written: quoted (with quotes doubled) when it holds a comma, a quote, a line
// break or blanks at either end, else as it is.
QString csvField(const QString &value);

// The fields joined by commas, without a line end.
QString csvRecord(const QStringList &fields);

} // namespace natalis::transfer
