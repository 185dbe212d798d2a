#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"
#include "transfer/statussink.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDateTime>
#include <QList>
#include <QString>

namespace natalis::transfer {

// What goes into a phone calendar file.
struct IcsOptions
{
    // First year written: every event from 1 January of that year on. A lunar birthday's events
    // are named by their lunar year, so the file may begin with one of the lunar year before
    // (late in its twelfth month) and end with one in January of the year after the last.
    int fromYear = 0;
    // Years from fromYear on; cut so that no year after 2100 is written.
    int years = 20;
    bool festivals = false; // the eleven reminded festivals and the 24 solar terms as well
    QDateTime stamp; // DTSTAMP of every event, normally now
};

inline constexpr int DefaultIcsYears = 20;

// The domain every UID ends in. It never changes, so that importing a newer file replaces the
// events of an older one instead of adding them twice.
inline constexpr QStringView IcsUidDomain = u"natalis.invalid";

// The calendar as an RFC 5545 file: one VCALENDAR in UTF-8 with CR LF line ends and lines
// folded at 75 octets. A Gregorian-rule birthday is one all-day event repeating every year
// (up to 2100); one on 29 February, which such a rule would skip in three years of four, and a
// lunar-rule birthday are one event per year, on the day the reminder computes (an entry
// without a year every year, a leap-month one kept by 跳过 only in years with its leap month).
// Each birthday event carries an alarm at 09:00 local time intNums days before, or one for each
// of its reminder days. Birthdays without a usable date for their rule are left out.
QByteArray buildIcs(const store::BirthdayList &birthdays, const IcsOptions &options);

enum class IcsPart { Birthdays, Festivals };

// One event of buildIcs in a VCALENDAR of its own, as a calendar server keeps each event.
struct IcsObject
{
    QString uid;
    QByteArray data;
    QDate start; // the event's first day; for a yearly one the first in the range
    bool yearly = false; // repeats every year until 2100
};

// The events of buildIcs that part names (options.festivals is not read), each as one object,
// in the order buildIcs writes them.
QList<IcsObject> buildIcsObjects(
    const store::BirthdayList &birthdays, const IcsOptions &options, IcsPart part);

// Feeds hash with everything the events of buildIcsObjects are made of besides the options and
// the stamp: per birthday the texts and numbers its events read, as stored, and the events of a
// fixed sample, so that a newer program whose events read differently does not take an older
// one's events for its own. Equal digests with equal options mean equal events, so a caller can
// tell that nothing changed without making them; extend this with any field the events come to
// read.
void hashIcsInputs(QCryptographicHash &hash, const store::BirthdayList &birthdays);

// The event title of a birthday: "张三生日", with the age "张三60岁生日", and for a lunar
// birthday its lunar day behind it: "张三生日(农历八月十五)". A name that already ends in 生日
// does not get it twice. age 0 or less is left out. A 纪念日 or 忌日 is named as the reminder
// names it, its years and lunar day behind it: "奶奶的忌日(逝世20周年,农历三月初五)".
QString icsBirthdayTitle(const store::BirthdayRecord &birthday, int age);

// The lunar month and day as a calendar names them: 八月十五, 闰四月初一, 正月三十.
QString lunarMonthDayName(int month, bool isLeap, int day);

// The menu item and chooser title of the export.
QString icsChooserTitle(); // "导出到手机日历(*.ics)"

struct IcsExportResult
{
    bool ok = false;
    int events = 0;
    QString statusText; // for the main window's status bar, on success and on failure
};

// Writes buildIcs to path; the file is written beside the target and renamed over it only when
// complete, so a failure leaves an existing file as it was. Refuses the open database, any other
// database of ours and what is no regular file.
IcsExportResult exportIcs(const store::BirthdayList &birthdays, const QString &path,
    const IcsOptions &options, const QString &openDatabase);

} // namespace natalis::transfer
