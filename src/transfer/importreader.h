#pragma once

#include "transfer/importlayout.h"
#include "transfer/importrecord.h"
#include "transfer/statussink.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

namespace natalis::transfer {

// Why a file gave nothing to preview: a message box, and the main window's status text
// afterwards (empty when it keeps its text).
struct ImportFailure
{
    QString boxTitle;
    QString boxText;
    QString statusText;
};

struct ImportReading
{
    QList<ImportRecord> records; // in file order
    int skippedLines = 0; // lines that could not be read as text (see DecodeImportLines)
    std::optional<ImportFailure> failure; // set when records is to be ignored
};

// Files beyond this size are refused as unreadable rather than read into memory.
inline constexpr qint64 MaxImportFileBytes = 512LL * 1024 * 1024;

// Reads every record of the file at path in the given layout. status receives the layout's
// reading text, then that text with the count after each record. A missing, unreadable or empty
// file, and a v1.0 file with an invalid record, end in a failure and no records.
ImportReading ReadImportFile(
    const QString &path, ImportLayout layout, const StatusSink &status = {});

// The same on the file's bytes; path only names the file in the messages.
ImportReading ReadImportBytes(
    QByteArrayView bytes, ImportLayout layout, const QString &path, const StatusSink &status = {});

} // namespace natalis::transfer
