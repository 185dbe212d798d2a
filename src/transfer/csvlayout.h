#pragma once

#include "store/birthdayrecord.h"
#include "transfer/importrecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace natalis::transfer {

// The spreadsheet file: a header row with the column titles of the main list, one birthday per
// row below, both dates in their own columns ("1976-2-25" and "2006-闰07-15").
QStringList csvColumnTitles();

// One birthday as the fields of a row, in the order of csvColumnTitles.
QStringList csvExportFields(const store::BirthdayRecord &record);

// Where each column of an import file's header row goes. Titles are matched as the main list,
// the import preview and the export write them, in any order; other columns are ignored.
class CsvColumns
{
public:
    // nullopt when the header has no "生日名称" column. Each ignored title adds a note.
    static std::optional<CsvColumns> fromHeader(const QStringList &titles, QStringList *notes);

    // The record of one row; fields.About is empty when the row holds no name. The date follows
    // the rule: the lunar column for the lunar rule when it is filled, else the Gregorian one
    // (a lunar-rule birthday then takes the lunar day of that Gregorian date). Dates may also
    // be written 1976/2/25 or 1976年2月25日.
    ImportRecord record(const QStringList &row, QStringList *notes) const;

private:
    QList<int> m_fieldOfColumn; // a BirthField, GregorianColumn, LunarColumn or -1
};

} // namespace natalis::transfer
