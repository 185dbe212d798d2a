#pragma once

#include "transfer/csvlayout.h"
#include "transfer/importlayout.h"
#include "transfer/importrecord.h"
#include "transfer/statussink.h"
#include "transfer/textencoding.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>
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

// One line of the import report: a line skipped, or a value of it the reader refused or changed.
struct LineNote
{
    qsizetype line = 0; // from 1
    QString reason; // "日期'2023-2-30'无效,按无日期导入"

    friend bool operator==(const LineNote &, const LineNote &) = default;
};

// "第7行: 日期'2023-2-30'无效,按无日期导入"
QString lineNoteText(const LineNote &note);

// "2条记录没有生日,未导入:张三、李四"; empty when every row had one.
QString rowsWithoutBirthdayText(const QStringList &names);

// The report keeps this many notes; the rest are only counted.
inline constexpr qsizetype MaxLineNotes = 10'000;

struct ImportReading
{
    QList<ImportRecord> records; // in file order
    int skippedLines = 0; // lines that could not be read as text
    qsizetype lineCount = 0; // lines of a text file the reader went through; 0 for cards
    qsizetype recordLines = 0; // of them, the lines the records were read from
    QList<LineNote> notes; // in file order, at most MaxLineNotes
    qsizetype notesLeftOut = 0; // notes beyond MaxLineNotes
    TextEncoding encoding = TextEncoding::Gbk; // the encoding the file was read in
    // The names of the rows of someone else's sheet left out for want of a birthday, in file
    // order (see CsvColumns::holdsRecordsWithoutDate); each also has a note. Kept on the
    // failure of a sheet where no row had one.
    QStringList withoutBirthday;
    // A sheet read by its header row (CSV, or a tab file whose first line holds titles): the
    // titles and the field each column fed. Kept on a failure for want of a name column, so
    // that the preview can offer the mapping step.
    std::optional<ColumnMapping> sheet;
    bool cancelled = false; // the reading was stopped; records is to be ignored
    std::optional<ImportFailure> failure; // set when records is to be ignored
};

struct ImportReadOptions
{
    EncodingChoice encoding = EncodingChoice::Auto;
    // A sheet's columns as the user mapped them, one field per title; used instead of what the
    // titles say when the header has as many columns, ignored otherwise.
    std::optional<QList<int>> columns;
    // Receives the layout's reading text, then that text with the count after each record.
    StatusSink status;
    // Called now and then with the bytes read so far and the file's size; false stops reading.
    std::function<bool(qint64 done, qint64 total)> progress;
};

// Files beyond this size are refused as unreadable rather than read into memory.
inline constexpr qint64 MaxImportFileBytes = 512LL * 1024 * 1024;

// The whole of a text file to import, or the reason it is not read: it does not exist (the
// text path + "不存在"), is no regular file, is larger than MaxImportFileBytes, or cannot be
// read. The reason is worded to follow the path: path + reason + what was not imported.
struct WholeFile
{
    QByteArray bytes;
    std::optional<QString> refusal;
    bool missing = false;
};
WholeFile readWholeImportFile(const QString &path);

// The layout of a file whose layout the user did not name: .csv and .vcf by the extension of
// path, else by the first line that holds text: BEGIN:VCARD, a line of 13 tab-separated fields
// (the v2.0 and v3.0 exports), any other line with a tab (this version's 14 fields, or fewer
// when the last are empty), a header row naming 生日名称 or 姓名 with commas (a spreadsheet),
// a line opening with a quote (v1.0's birth.txt), any other comma (a spreadsheet). nullopt
// when the line fits none.
std::optional<ImportLayout> detectImportLayout(const QString &path, QByteArrayView bytes);

// Reads every record of the file at path in the given layout. A missing, unreadable or empty
// file, and a v1.0 file with an invalid record, end in a failure and no records.
ImportReading readImportFile(
    const QString &path, ImportLayout layout, const ImportReadOptions &options = {});

// The same on the file's bytes; path only names the file in the messages.
ImportReading readImportBytes(QByteArrayView bytes, ImportLayout layout, const QString &path,
    const ImportReadOptions &options = {});

} // namespace natalis::transfer
