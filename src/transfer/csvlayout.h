#pragma once

#include "store/birthdayrecord.h"
#include "transfer/importrecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace natalis::transfer {

// The spreadsheet file: a header row with the column titles of the main list, one birthday per
// row below, both dates in their own columns ("1976-2-25" and "2006-闰07-15"; "2-25" and
// "闰07-15" without a year), the reminder days as written ("7,1,0"), then the UID, the kind
// (类型) and the leap-month rule (闰月规则). A sheet without the last two reads as 生日, 平月.
QStringList csvColumnTitles();

// One birthday as the fields of a row, in the order of csvColumnTitles.
QStringList csvExportFields(const store::BirthdayRecord &record);

// The field of a column that feeds none.
inline constexpr int NotImported = -1;

// A field a sheet's column can feed, as the preview's mapping step offers it.
struct SheetFieldChoice
{
    int field;
    QString name; // "生日名称", "公历生日" …; "不导入" for NotImported
};

// NotImported first, then every field in the order of the preview's columns.
QList<SheetFieldChoice> sheetFieldChoices();
// The field of the choice named name ("生日名称"); NotImported for an unknown name.
int sheetFieldNamed(QStringView name);

// Where each column of a sheet goes: what its titles say, or what the user chose instead.
struct ColumnMapping
{
    QStringList titles; // the header row as the file writes it
    QList<int> fields; // per title: a field of sheetFieldChoices

    // The titles as the main list, the preview and the export write them, the titles people
    // give their own sheets and Outlook's, in any order, matched without regard to case;
    // NotImported for any other.
    static ColumnMapping ofTitles(const QStringList &titles);

    // Where the choice for this header is remembered: the titles joined.
    QString key() const;
    // "0,4,-1" as it is remembered, and back: false (fields unchanged) unless the text names a
    // known field for every title.
    QString fieldsText() const;
    bool setFieldsText(QStringView text);

    friend bool operator==(const ColumnMapping &, const ColumnMapping &) = default;
};

// Where each column of an import file's header row goes.
class CsvColumns
{
public:
    // nullopt when the header has no name column. Each ignored title adds a note.
    static std::optional<CsvColumns> fromHeader(const QStringList &titles, QStringList *notes);
    // The same on a mapping the user chose; nullopt when no column feeds the name.
    static std::optional<CsvColumns> fromMapping(const ColumnMapping &mapping);

    // The record of one row; fields.About is empty when the row holds no name. The date follows
    // the rule: the lunar column for the lunar rule when it is filled, else the Gregorian one
    // (a lunar-rule birthday then takes the lunar day of that Gregorian date). Dates may also
    // be written 1976/2/25 or 1976年2月25日.
    ImportRecord record(const QStringList &row, QStringList *notes) const;

    // True for a sheet laid out as ours: a column titled 生日名称 or one giving the reminder
    // rule (提醒方式), as only our export, the main list and the preview write them (or a sheet
    // made after them). A birthday without a date is a record our own format holds, so such a
    // row is one; in anyone else's sheet (Outlook's contacts, a person's list of 姓名 and 生日)
    // a row without a date is a contact without a birthday.
    bool holdsRecordsWithoutDate() const;
    // True when every date column of row is empty or gives no date (givesNoDate); also when the
    // sheet has no date column at all.
    bool givesNoBirthday(const QStringList &row) const;

private:
    QList<int> m_fieldOfColumn; // a BirthField, GregorianColumn, LunarColumn or -1
    bool m_ownLayout = false;
};

} // namespace natalis::transfer
