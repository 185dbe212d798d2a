#pragma once

#include "transfer/importreader.h"
#include "transfer/statussink.h"
#include "transfer/vcardparser.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

namespace natalis::transfer {

// The category of a card that names none of the eight.
inline constexpr QStringView DefaultVcardCategory = u"朋友";

// A phone's contacts (.vcf, versions 2.1, 3.0 and 4.0) read as birthdays: one record per card
// that has a birthday. What a card gives:
//   name      FN, else N as family name + given name (blanks removed, 16 characters)
//   date      X-ALTBDAY;CALSCALE=chinese (the lunar birthday Apple's contacts write) with the
//             rule 按农历提醒; else BDAY with 按公历提醒. BDAY is read as YYYY-MM-DD or YYYYMMDD
//             with an optional time behind it; a date without a year ("--0512", or Apple's
//             year 1604 with X-APPLE-OMIT-YEAR) cannot be stored: the card is left out for
//             its missing year.
//   contact   the first TEL typed CELL, else the first that is a mobile number, else the first
//             TEL: vcardPhoneNumber of its value
//   company   the first component of ORG; address: ADR from region to street; remark: NOTE
//   category  CATEGORIES when it names one of the eight, else the category chosen
//   sex       GENDER M or F (4.0)
// Advance days 7, SMS 否, as for a new entry.
struct VcardImportReading
{
    ImportReading reading; // records in card order, or the failure when none can be imported
    // One element per record: true where the card named its category itself.
    QList<bool> namedCategory;
    QStringList withoutBirthday; // the names of the cards skipped, in card order
    QStringList withoutYear; // the names of the cards skipped for a birthday without a year
};

// A TEL value as the contact number: its digits, a leading "+" kept ("+447700900123") except
// China's own +86 or 0086, which is removed; "tel:" and an extension after ";" left out. Empty
// when the value has no digit.
QString vcardPhoneNumber(QStringView value);

// Which property of card the contact number is read from, as an index into card.properties;
// -1 when no TEL has a digit.
qsizetype contactProperty(const Vcard &card);

// Which X-ALTBDAY;CALSCALE=chinese the lunar birthday is read from (the first that reads as a
// lunar date), as an index into card.properties; -1 when none does.
qsizetype lunarBirthdayProperty(const Vcard &card);

VcardImportReading readVcardImportBytes(QByteArrayView bytes, const QString &path,
    const QString &category = DefaultVcardCategory.toString(), const StatusSink &status = {});

// The same on a file; a missing or unreadable file is a failure.
VcardImportReading readVcardImportFile(const QString &path,
    const QString &category = DefaultVcardCategory.toString(), const StatusSink &status = {});

// Gives every record whose card named no category the one chosen.
void setVcardCategory(VcardImportReading &cards, const QString &category);

// "2张名片没有生日,未导入:张三、李四"; empty when every card had one.
QString withoutBirthdayText(const QStringList &names);

// "1张名片没有出生年份,未导入:王芳"; empty when no card lacked only the year.
QString withoutYearText(const QStringList &names);

} // namespace natalis::transfer
