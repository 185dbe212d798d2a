#pragma once

#include "store/birthdayrecord.h"
#include "transfer/statussink.h"

#include <QList>
#include <QString>

namespace natalis::transfer {

// The export file chooser's title and the question before an existing file is replaced.
QString exportChooserTitle();
QString exportBoxTitle(); // "生日导出"
QString overwriteQuestion(const QString &path);

// The fifth field: empty without a Gregorian date text; else for the Gregorian rule the day of
// strGL as "1976-2-25" (four-digit year, no leading zeros), for the lunar rule strNL as
// "2006-闰07-15". Empty as well when the text to write cannot be read.
QString exportDateField(const store::BirthdayRecord &record);

// One line of the export file without its line end: 14 trimmed fields joined by tabs. A tab or
// line break inside a field is written as a blank, so the line stays one record.
QString exportLine(const store::BirthdayRecord &record);

struct ExportResult
{
    bool ok = false;
    int written = 0; // lines written
    int skipped = 0; // birthdays whose category is none of the eight
    qsizetype unencodable = 0; // characters the ANSI code page cannot hold, written substituted
    QString statusText; // for the main window's status bar, on success and on failure
    QString failureText; // the message box text; empty on success
};

// Writes the birthdays grouped by category in the order of CategoryNames, in list order within
// a category, in the ANSI code page with CR LF line ends. The file is written beside the target
// and renamed over it only when complete, so a failure leaves an existing file as it was.
// birthdays is the loaded list; pass an empty list when HasBirthdays is false. status receives
// the progress text with the count after each line.
ExportResult ExportBirthdays(const QList<store::BirthdayRecord> &birthdays, const QString &path,
    const StatusSink &status = {});

} // namespace natalis::transfer
