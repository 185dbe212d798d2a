#pragma once

#include "store/birthdayrecord.h"
#include "transfer/importlayout.h"
#include "transfer/importrecord.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace natalis::transfer {

struct PreviewRow
{
    ImportRecord record;
    // Unticked when its category already holds its name, in the database or in an earlier row
    // of the same file; the tick never changes otherwise.
    bool ticked = true;
};

} // namespace natalis::transfer

Q_DECLARE_TYPEINFO(natalis::transfer::PreviewRow, Q_RELOCATABLE_TYPE);

namespace natalis::transfer {

// What the preview window shows before anything is added.
struct ImportPreview
{
    QList<PreviewRow> rows; // in file order
    int tickedCount = 0;
    int skippedLines = 0;
};

// Ticks every record unless it duplicates a birthday of the list (same category list, same
// trimmed name, as MyAboutHave decides) or an earlier record of the file. birthdays is the
// loaded list; pass an empty list when HasBirthdays is false.
ImportPreview BuildImportPreview(QList<ImportRecord> records,
    const QList<store::BirthdayRecord> &birthdays, int skippedLines = 0);

// The fourteen column headers of the preview list.
QStringList previewHeaders(ImportLayout layout);

// The fourteen cells of a row, in header order.
QStringList previewCells(const ImportRecord &record);

// "(共N,其中M有效)" as the preview's labels put it together, for a caller without the window.
QString previewSummaryText(const ImportPreview &preview);

// The note on lines that could not be read; empty when there were none.
QString skippedLinesText(int skippedLines);

} // namespace natalis::transfer
