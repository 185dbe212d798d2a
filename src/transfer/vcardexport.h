#pragma once

#include "calendar/lunardate.h"
#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

namespace natalis::transfer {

// Our own properties, for the fields no standard one holds: the rule (LUNAR or GREGORIAN), the
// advance days ("7", or the list "7,1,0"), the SMS flag (TRUE or FALSE), QQ/MSN, the staff
// number, and the leap-month rule (SKIP; written only for 跳过). A card with the rule is one of
// ours, imported even without a birthday. The kind is vcarddates.h's X-NATALIS-KIND.
inline constexpr QStringView VcardRuleProperty = u"X-NATALIS-RULE";
inline constexpr QStringView VcardDaysProperty = u"X-NATALIS-DAYS";
inline constexpr QStringView VcardSmsProperty = u"X-NATALIS-SMS";
inline constexpr QStringView VcardMessengerProperty = u"X-NATALIS-QQ";
inline constexpr QStringView VcardStaffNoProperty = u"X-NATALIS-NO";
inline constexpr QStringView VcardLeapProperty = u"X-NATALIS-LEAP";

// The birthdays as phone contacts: one vCard 3.0 (RFC 2426) per birthday in list order, UTF-8,
// CR LF, lines folded at 75 octets. FN and N carry the name, TEL;TYPE=CELL the contact (VOICE
// when it is no mobile number), BDAY the Gregorian day of birth, ORG the company and the
// department, ADR the address (as its street), NOTE the remark, CATEGORIES the category, GENDER
// the sex, UID the Uid, the X-NATALIS properties above the rest. A lunar-rule birthday also
// gets X-ALTBDAY;CALSCALE=chinese with its lunar date, as Apple's contacts write it (an "L"
// after the month for a leap month). A 纪念日 or 忌日 carries its date in the properties of its
// kind instead (vcarddates.h) and X-NATALIS-KIND; a date without a year is written "--04-15".
// Reading the file back gives every field as it was.
QByteArray buildVcards(const store::BirthdayList &birthdays);

// The lunar date as X-ALTBDAY writes it: cycle, year of the cycle, month, day ("007800010101"
// for the first day of 1984).
QString appleChineseDate(int year, int month, bool isLeap, int day);

// The day of a Gregorian date text as a card writes it, year 0 for "公历0000年 MM月DD日";
// nullopt when the text reads as neither (a year outside the calendar's range included).
std::optional<calendar::LunarDate> gregorianDayOf(const QString &strGL);

QString vcardChooserTitle(); // "导出到手机通讯录(*.vcf)"

struct VcardExportResult
{
    bool ok = false;
    int cards = 0;
    QString statusText;
};

// Writes buildVcards to path, replacing an existing file only once the new one is complete;
// refuses the open database, any other database of ours and what is no regular file.
VcardExportResult exportVcards(
    const store::BirthdayList &birthdays, const QString &path, const QString &openDatabase);

} // namespace natalis::transfer
