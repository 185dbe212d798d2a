#pragma once

#include "calendar/lunardate.h"
#include "transfer/importrecord.h"

#include <QDate>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>

namespace natalis::transfer {

// Field positions of the tab-separated layouts; the older one ends before StaffNo, this
// version's at StaffNo. Kind and LeapRule come only from a spreadsheet's own columns.
namespace birthfield {
enum Index {
    Name,
    Category,
    Contact,
    Remark,
    Date,
    Rule,
    Days,
    Sms,
    Sex,
    Department,
    Messenger,
    Company,
    Address,
    StaffNo,
    Kind,
    LeapRule,
    FieldCount
};
} // namespace birthfield

// The fields of one record in that order, trimmed; a field the record lacks is empty.
using BirthFields = std::array<QStringView, birthfield::FieldCount>;

// How a cell that begins with a double quote is read. Excel's "Unicode 文本" puts a cell that
// holds a line break, a tab or a quote in quotes, doubling the quotes inside; our own export
// writes every cell as it is.
enum class CellQuotes {
    AsTyped, // a quote is a character like any other
    Excel, // a quoted cell holding a line break, a tab or a doubled quote runs to its closing
           // quote and loses its quotes; any other quoted cell is taken as typed
};

// True when record ends inside a cell read as Excel quotes it: the record goes on in the next
// line of the file.
bool endsInsideQuotedCell(QStringView record);

// Reads one line of a tab-separated export (this version and v3.1: 14 fields). Unknown or
// missing values keep their defaults: category 客户, rule 按公历提醒, 7 days, SMS 否, kind 生日,
// leap-month rule 平月. The date follows the rule: a Gregorian day from 1901-03-01 to
// 2100-12-31, or a lunar date that exists; or a day without a year (yearlessImportDate). The
// days may be a list ("7,1,0", reminddays.h), whose first number is intNums.
// Texts longer than their field are cut. fields.About is empty when the line holds no record.
// An SMS needs a phone number and a date to send on: without either the flag is 否.
// Each value given but refused, cut or overruled adds a note (its reason, as the import report
// words it, e.g. "日期'2023-2-30'无效,按无日期导入") to *notes when notes is given.
// Dates may be written 1976-2-25, 1976/2/25, 1976.2.25 or 1976年2月25日.
ImportRecord ParseTabBirthLine(
    QStringView line, QStringList *notes = nullptr, CellQuotes quotes = CellQuotes::AsTyped);

// The same for the v2.0 and v3.0 exports: 13 fields (no staff number), only the six categories
// those versions had (代理商 and 供应商 become 客户), the date always Gregorian.
ImportRecord ParseOldBirthLine(
    QStringView line, QStringList *notes = nullptr, CellQuotes quotes = CellQuotes::AsTyped);

enum class DateRule {
    FollowsRule, // the date field is lunar for the lunar rule, as in this version's export
    Gregorian, // the date field is always a Gregorian day, whatever the rule
};

// ParseTabBirthLine on fields already split, as a spreadsheet file gives them.
ImportRecord parseBirthFields(
    const BirthFields &fields, DateRule rule, QStringList *notes = nullptr);

// True for a date field that gives no date at all: empty, or zeros and slashes only ("0/0/00",
// as Outlook writes a contact without a birthday). A date that is given but invalid is false.
bool givesNoDate(QStringView field);

// A Gregorian date field "Y-M-D" (four-digit year, month and day with or without a leading zero)
// from 1 March 1901 to 31 December 2100 inclusive; nullopt otherwise.
std::optional<QDate> parseImportGregorian(QStringView text);

// A date field without a year, as the export writes one: "4-15" for the Gregorian rule, "03-05"
// or "闰03-05" for the lunar one (month 1..12, day 1..31 of some year, lunar day 1..30). The
// month and day (and the leap flag) with year 0; nullopt for any other text.
std::optional<calendar::LunarDate> yearlessImportDate(QStringView text, bool lunar);

// The blanks a name loses, as the editor takes them out: the plain blank (U+0020), which a
// spreadsheet or an old export puts between family and given name. Other spaces are the
// user's own characters (a no-break space, the ideographic space typed in a Chinese input
// method) and are kept, as the editor keeps them.
constexpr bool isNameBlank(QChar c)
{
    return c == u' ';
}

// A birthday name as every importer takes it: its blanks removed, at most 16 characters.
QString importName(QStringView field);

// Cuts text to at most width UTF-16 units without splitting a surrogate pair; empty when
// width is 0 or less.
QString cutToWidth(QStringView text, int width);

} // namespace natalis::transfer
