#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"
#include "transfer/filereplace.h"
#include "transfer/statussink.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace natalis::transfer {

// The two files the export writes: this version's tab-separated text in GBK, or a spreadsheet
// file (CSV, UTF-8 with a byte order mark, a header row) that Excel and WPS open as they are.
enum class ExportFormat { Tab, Csv };

// The export file chooser's title and the question before an existing file is replaced.
QString exportChooserTitle(ExportFormat format = ExportFormat::Tab);
QString exportBoxTitle(); // "生日导出"
QString overwriteQuestion(const QString &path);

// The fifth field: empty without a Gregorian date text; else for the Gregorian rule the day of
// strGL as "1976-2-25" (four-digit year, no leading zeros), for the lunar rule strNL as
// "2006-闰07-15". Empty as well when the text to write cannot be read.
QString exportDateField(const store::BirthdayRecord &record);
// The two halves of it: a Gregorian text as "1976-2-25", a lunar text as "2006-闰07-15"; a
// text without a year (year 0000) as its month and day alone: "2-25", "闰07-15". A lunar-rule
// date without a year, which keeps no Gregorian text, is written from strNL.
QString exportGregorianField(const QString &strGL);
QString exportLunarField(const QString &strNL);

// One line of the export file without its line end: 14 trimmed fields joined by tabs. A tab or
// line break inside a field is written as a blank, so the line stays one record.
QString exportLine(const store::BirthdayRecord &record);

struct ExportOptions
{
    ExportFormat format = ExportFormat::Tab;
    // The database file in use; the export never writes over it.
    QString openDatabase;
    // Receives the progress text with the count after each line.
    StatusSink status;
};

struct ExportResult
{
    bool ok = false;
    int written = 0; // lines written
    int skipped = 0; // birthdays whose category is none of the eight
    qsizetype unencodable = 0; // characters GBK cannot hold, written as "?"
    // The names of the birthdays those characters belong to, in file order: the tab file does
    // not keep them as they are, so it is no backup of them (the CSV file is).
    QStringList lossyNames;
    QString statusText; // for the main window's status bar, on success and on failure
    QString failureText; // the message box text; empty on success
};

// Why the export must not write to path, or nullopt: the open database, any other database of
// ours, a path that exists but is no regular file (a folder, a device such as /dev/full), or a
// folder that does not exist.
// True when both paths name one existing file, through links too.
bool sameFile(const QString &a, const QString &b);

std::optional<QString> exportRefusal(const QString &path, const QString &openDatabase);

// Every export file (birthdays, phone calendar, phone contacts) is checked and written by these
// two, so none can replace the database or write to a device. Failure texts read "生日导出到" +
// path + "失败," + the reason + ",原有文件没有改动!" when a file existed there, else "!".
//
// The failure text when exportRefusal refuses path; nullopt when path may be written.
std::optional<QString> exportTargetFailure(const QString &path, const QString &openDatabase);
// Writes bytes beside path and renames them over it only once written and synced
// (replaceFileContent), so a failed write leaves an existing file as it was; the failure text,
// nullopt on success. Its reason names the cause: "磁盘空间不足", "该文件只读", "该磁盘只读",
// "没有写入权限", else "写入出错".
std::optional<QString> writeExportFile(const QString &path, QByteArrayView bytes);
// The same with the content made piece by piece (see replaceFileContent), so that a file of any
// size costs the memory of a piece.
std::optional<QString> writeExportFile(
    const QString &path, const std::function<int(const WriteChunk &)> &produce);

// The question after a tab export that could not keep every text: whether to write the CSV
// file, which keeps them, instead.
QString lossyExportQuestion(const ExportResult &result);

// Writes the birthdays grouped by category in the order of CategoryNames, in list order within
// a category, with CR LF line ends: the tab layout in GBK (CP936), counting the characters it
// cannot hold; the CSV file in UTF-8. The file is written beside the target and renamed over it
// only when complete, so a refusal or a failed write (disk full, no permission) leaves an
// existing file as it was, which the failure text then says. birthdays is the loaded list; pass
// an empty list when HasBirthdays is false.
ExportResult exportBirthdays(
    const store::BirthdayList &birthdays, const QString &path, const ExportOptions &options = {});

} // namespace natalis::transfer
