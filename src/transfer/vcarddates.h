#pragma once

#include "calendar/lunardate.h"
#include "store/entrykind.h"
#include "transfer/vcardparser.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace natalis::transfer {

// An entry's date on a contact card, by its kind: the property of its Gregorian day and the one
// of its lunar day (with CALSCALE=chinese, in the form of Apple's X-ALTBDAY).
//   生日    BDAY                                   X-ALTBDAY
//   纪念日  ANNIVERSARY (4.0), X-ANNIVERSARY (3.0)  X-ALTANNIVERSARY
//   忌日    DEATHDATE (4.0), X-DEATHDATE (3.0)      X-ALTDEATHDATE
// Cards are read with either name of a version, and with Apple's and Android's anniversary as
// well: an X-ABDATE whose X-ABLABEL in the same group names _$!<Anniversary>!$_.
struct CardDateNames
{
    QStringView gregorian;
    QStringView lunar;
};
CardDateNames cardDateNames(store::EntryKind kind, QStringView version);

// The card's own word for the kind of its one entry, for the kinds other than 生日
// ("ANNIVERSARY", "MEMORIAL"); the Chinese names are read as well.
inline constexpr QStringView VcardKindProperty = u"X-NATALIS-KIND";
QString vcardKindValue(store::EntryKind kind); // empty for 生日
std::optional<store::EntryKind> vcardKindOf(const Vcard &card); // nullopt without the property

// A date of a card with year 0 when the card gives none: "1990-04-15", "19900415", a date-time
// ("19900415T000000Z"), "--04-15" or "--0415", and Apple's year 1604 marked X-APPLE-OMIT-YEAR.
// nullopt for any other value and a day that exists in no year.
std::optional<calendar::LunarDate> gregorianCardDate(const VcardProperty &property);
// A lunar date of a property with CALSCALE=chinese: Apple's cycle form (appleChineseDate), a
// plain YYYYMMDD, or "--MM-DD" without a year; "L" behind the month for a leap month. The date
// is not checked against the calendar here.
std::optional<calendar::LunarDate> lunarCardDate(const VcardProperty &property);

// The values written: "1990-04-15" / "--04-15" (basic: "19900415" / "--0415"), and the lunar
// date as appleChineseDate, "--03-05" / "--03L-05" without a year.
QString gregorianCardValue(const calendar::LunarDate &date, bool basic);
QString lunarCardValue(const calendar::LunarDate &date);

// The first property of card that holds a Gregorian date of kind, read or not; -1 when none.
qsizetype gregorianDateProperty(const Vcard &card, store::EntryKind kind);
// The first property of card that reads as a lunar date of kind; -1 when none.
qsizetype lunarDateProperty(const Vcard &card, store::EntryKind kind);

} // namespace natalis::transfer
