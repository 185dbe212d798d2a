#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"
#include "transfer/importlayout.h"
#include "transfer/importreader.h"
#include "transfer/importrecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace natalis::transfer {

struct PreviewRow
{
    ImportRecord record;
    // Unticked when its category already holds its name, in the database or in an earlier row
    // of the same file; the tick never changes otherwise.
    bool ticked = true;
    // Unticked as well: the birthday of its Uid is already in the database or earlier in the
    // file, whatever it is called now (renamed since the export, moved to another category).
    bool present = false;
};

} // namespace natalis::transfer

Q_DECLARE_TYPEINFO(natalis::transfer::PreviewRow, Q_RELOCATABLE_TYPE);

namespace natalis::transfer {

// What the preview window shows before anything is added.
struct ImportPreview
{
    QList<PreviewRow> rows; // in file order
    int tickedCount = 0;
    int presentCount = 0; // rows already in the database by their Uid
    int skippedLines = 0;
    qsizetype lineCount = 0; // the reading's
    qsizetype recordLines = 0;
    QList<LineNote> notes; // the reader's report, in file order
    qsizetype notesLeftOut = 0;
    TextEncoding encoding = TextEncoding::Gbk;
    std::optional<ColumnMapping> sheet; // the reading's, for the mapping step
};

// Ticks every record unless it duplicates a birthday of the list (same category list, same
// trimmed name, as MyAboutHave decides, or the same Uid) or an earlier record of the file.
// birthdays is the loaded list; pass an empty list when HasBirthdays is false.
ImportPreview buildImportPreview(
    QList<ImportRecord> records, const store::BirthdayList &birthdays, int skippedLines = 0);

// The same on a reading: its records, report and encoding.
ImportPreview buildImportPreview(ImportReading reading, const store::BirthdayList &birthdays);

// The import report, one text a line: "第7行: 日期'2023-2-30'无效,按无日期导入", a line per
// record already present by its Uid, and a last line counting the notes left out. Empty when
// the reader changed nothing and nothing was present.
QStringList reportLines(const ImportPreview &preview);

// The fourteen column headers of the preview list.
QStringList previewHeaders(ImportLayout layout);

inline constexpr int PreviewColumns = 14;

// The fourteen cells of a row, in header order.
QStringList previewCells(const ImportRecord &record);
// One of them (0..13); empty for another column.
QString previewCell(const ImportRecord &record, int column);

// The report's line for a row already present by its Uid.
QString presentText(const ImportRecord &record);

// "(共N,其中M有效)" as the preview's labels put it together, for a caller without the window.
QString previewSummaryText(const ImportPreview &preview);

// The one-line summary of the report for a status bar; empty when there is nothing to report.
QString reportSummaryText(const ImportPreview &preview);

} // namespace natalis::transfer
