#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace natalis::transfer {

// The kinds of file the importer reads.
enum class ImportLayout {
    Tab, // this version's export: 14 tab-separated fields
    V31, // v3.1 export, same fields
    V30, // v3.0 export: 13 fields, the date always Gregorian
    V20, // v2.0 export, as v3.0
    V10, // v1.0 "birth.txt": comma-separated records of seven values
    Csv, // a spreadsheet file: a header row of column titles, RFC 4180 quoting
    Vcf, // a phone's contacts, vCard 2.1 / 3.0 / 4.0 (see vcardimport.h)
};

// True for the layouts whose date field follows the reminder rule.
bool hasRuleDependentDate(ImportLayout layout);

// The file chooser's title, also the preview window's caption and the head of the result texts.
QString chooserTitle(ImportLayout layout);

// The status text while the file is read; the record count so far follows it.
QString readingText(ImportLayout layout);

// The text of the message box when the file holds no record.
QString emptyFileText(ImportLayout layout, const QString &path);

// The preview's fifth column header.
QString dateColumnHeader(ImportLayout layout);

// "tab", "v31", "v30", "v20", "v10", "csv", "vcf" as the command line names them; nullopt for
// another name.
std::optional<ImportLayout> layoutFromName(QStringView name);

// The command line's name of a layout, as layoutFromName reads it.
QString layoutName(ImportLayout layout);

} // namespace natalis::transfer
