#include "icalendarexport.h"

#include "calendar/calendarnames.h"
#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "calendar/solarterms.h"
#include "contentline.h"
#include "exportfile.h"
#include "reminder/birthdaynotify.h"
#include "reminder/birthdayoccurrences.h"
#include "reminder/remindedfestivals.h"
#include "store/reminddays.h"

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

using reminder::BirthOccurrences;
using store::BirthdayList;
using store::BirthdayRecord;

constexpr int LastYear = 2100;
// The alarm rings at this hour of local time.
constexpr int AlarmHour = 9;

struct IcsEvent
{
    QString uid;
    QDate date;
    QString summary;
    QString description;
    bool yearly = false; // repeats every year until 2100
    QList<qint16> alarmDaysBefore; // one alarm for each, in this order
};

struct YearRange
{
    int first = 0;
    int last = -1; // empty when below first
};

YearRange yearRange(const IcsOptions &options)
{
    const int first = qMax(options.fromYear, 1901);
    const qint64 last = qint64(options.fromYear) + options.years - 1;
    return { first, int(qMin<qint64>(last, LastYear)) };
}

QString trimmed(const QString &field)
{
    return field.trimmed();
}

bool remindsBy(const BirthdayRecord &birthday, QStringView rule)
{
    return QStringView(birthday.blnIsGL).trimmed() == rule;
}

// The birthday's own Uid names its events, so that two databases, or one list moved to another
// file, never give one person's events the ids of another's. A file read-only from before Uids
// falls back to the row number.
QString uidOf(const BirthdayRecord &birthday, QStringView what)
{
    const QString owner = birthday.Uid.isNull() ? QString::number(birthday.Id)
                                                : birthday.Uid.toString(QUuid::WithoutBraces);
    return owner + u'-' + what.toString() + u'@' + IcsUidDomain.toString();
}

QString dateValue(QDate date)
{
    return date.toString(u"yyyyMMdd"_s);
}

// Relative to the start of the all-day event, i.e. midnight of its day.
QString alarmTrigger(int daysBefore)
{
    const int hours = daysBefore * 24 - AlarmHour;
    if (hours <= 0)
        return u"PT"_s + QString::number(-hours) + u'H';
    const int days = hours / 24, rest = hours % 24;
    QString trigger = u"-P"_s;
    if (days > 0)
        trigger += QString::number(days) + u'D';
    if (rest > 0)
        trigger += u'T' + QString::number(rest) + u'H';
    return trigger;
}

// The stored date text; one without a year without its "0000年".
QString dateText(const QString &stored)
{
    QString text = trimmed(stored);
    if (!calendar::dateTextHasYear(text))
        text.remove(u"0000年 "_s).remove(u"0000年"_s);
    return text;
}

QString birthdayDescription(const BirthdayRecord &birthday)
{
    const bool lunar = remindsBy(birthday, reminder::RemindByLunar);
    const QString kind = store::entryKindText(store::entryKindOf(birthday.Kind));
    QStringList lines;
    lines << (lunar ? u"农历"_s + kind + u':' + dateText(birthday.strNL)
                    : u"公历"_s + kind + u':' + dateText(birthday.strGL));
    if (!trimmed(birthday.Tel).isEmpty())
        lines << u"联系方式:"_s + trimmed(birthday.Tel);
    if (!trimmed(birthday.Beizhu).isEmpty())
        lines << u"备注:"_s + trimmed(birthday.Beizhu);
    return lines.join(u'\n');
}

IcsEvent birthdayEvent(const BirthdayRecord &birthday, QDate date, int age, QStringView uidPart)
{
    IcsEvent event;
    event.uid = uidOf(birthday, uidPart);
    event.date = date;
    event.summary = icsBirthdayTitle(birthday, age);
    event.description = birthdayDescription(birthday);
    event.alarmDaysBefore = store::remindDaysOf(birthday.Days, qMax<qint16>(birthday.intNums, 0));
    return event;
}

bool onLeapDay(const BirthdayRecord &birthday)
{
    const auto birth = calendar::parseGregorianMonthDay(birthday.strGL);
    return birth && birth->month == 2 && birth->day == 29;
}

// The occurrences of every birthday in every year of the range and the year before it, as the
// reminder computes them: element k belongs to year range.first - 1 + k (a lunar year for
// lunar-rule birthdays). The lunar year before the first ends in its January or February.
QList<BirthOccurrences> occurrencesByYear(const BirthdayList &birthdays, const YearRange &range)
{
    QList<BirthOccurrences> years;
    if (range.last < range.first)
        return years;
    for (int year = range.first - 1; year <= range.last; ++year) {
        BirthOccurrences occurrences(birthdays.size());
        reminder::CalcGlBirthDates(birthdays, year, occurrences);
        reminder::CalcNlBirthDates(birthdays, year, occurrences);
        years.append(std::move(occurrences));
    }
    return years;
}

void appendBirthdayEvents(
    QList<IcsEvent> &events, const BirthdayList &birthdays, const YearRange &range)
{
    const QList<BirthOccurrences> years = occurrencesByYear(birthdays, range);
    // The phone shows the file from this day on: whatever falls on it or later is reminded of.
    const QDate firstDay(range.first, 1, 1);
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        const BirthdayRecord &birthday = birthdays[i];
        const bool yearly =
            remindsBy(birthday, reminder::RemindByGregorian) && !onLeapDay(birthday);
        for (qsizetype k = 0; k < years.size(); ++k) {
            const QDate date = years[k].ThisYearDates[i];
            if (!date.isValid() || date < firstDay)
                continue;
            if (yearly) {
                // One event the phone repeats; its title cannot carry a changing age.
                IcsEvent event = birthdayEvent(birthday, date, 0, u"yearly");
                event.yearly = true;
                events.append(std::move(event));
                break;
            }
            events.append(birthdayEvent(
                birthday, date, years[k].ThisYearAges[i], QString::number(range.first - 1 + k)));
        }
    }
}

IcsEvent dayEvent(QString uid, QDate date, QString summary)
{
    IcsEvent event;
    event.uid = std::move(uid);
    event.date = date;
    event.summary = std::move(summary);
    return event;
}

void appendFestivalEvents(QList<IcsEvent> &events, const YearRange &range)
{
    for (int year = range.first; year <= range.last; ++year) {
        for (QDate day(year, 1, 1); day.year() == year; day = day.addDays(1)) {
            const std::optional<calendar::DayDescription> described = calendar::DescribeDay(day);
            if (!described)
                continue;
            for (std::size_t k = 0; k < reminder::RemindedFestivals.size(); ++k) {
                const QString name = reminder::RemindedFestivals[k].name.toString();
                if (described->festivals.contains(name))
                    events.append(dayEvent(u"festival-"_s + dateValue(day) + u'-'
                            + QString::number(k) + u'@' + IcsUidDomain.toString(),
                        day, name));
            }
        }
        for (int term = 0; term < calendar::SolarTermTable::TermsPerYear; ++term)
            events.append(dayEvent(u"term-"_s + QString::number(year) + u'-' + QString::number(term)
                    + u'@' + IcsUidDomain.toString(),
                calendar::SolarTermTable::termDate(year, term),
                calendar::SolarTermTable::termName(term)));
    }
}

class IcsWriter
{
public:
    explicit IcsWriter(QDateTime stamp) : m_stamp(stamp.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'"_s))
    {
    }

    void line(QStringView text) { m_bytes += foldContentLine(text); }
    void property(QStringView name, QStringView value)
    {
        line(name.toString() + u':' + value.toString());
    }

    // A server's calendar object carries no METHOD (RFC 4791 4.1) and needs no calendar name or
    // time zone: its events are all-day ones.
    void objectHeader()
    {
        line(u"BEGIN:VCALENDAR");
        line(u"VERSION:2.0");
        line(u"PRODID:-//natalis//natalis 4.0//ZH");
        line(u"CALSCALE:GREGORIAN");
    }

    void header()
    {
        objectHeader();
        line(u"METHOD:PUBLISH");
        property(u"X-WR-CALNAME", u"生日提醒");
        line(u"X-WR-TIMEZONE:Asia/Shanghai");
        // China has kept UTC+8 all year since 1992.
        for (QStringView text : { u"BEGIN:VTIMEZONE", u"TZID:Asia/Shanghai", u"BEGIN:STANDARD",
                 u"DTSTART:19700101T000000", u"TZOFFSETFROM:+0800", u"TZOFFSETTO:+0800",
                 u"TZNAME:CST", u"END:STANDARD", u"END:VTIMEZONE" })
            line(text);
    }

    void event(const IcsEvent &event)
    {
        line(u"BEGIN:VEVENT");
        property(u"UID", event.uid);
        property(u"DTSTAMP", m_stamp);
        property(u"DTSTART;VALUE=DATE", dateValue(event.date));
        property(u"DTEND;VALUE=DATE", dateValue(event.date.addDays(1)));
        if (event.yearly)
            line(u"RRULE:FREQ=YEARLY;UNTIL=21001231");
        property(u"SUMMARY", escapeText(event.summary));
        if (!event.description.isEmpty())
            property(u"DESCRIPTION", escapeText(event.description));
        line(u"TRANSP:TRANSPARENT");
        for (const qint16 daysBefore : event.alarmDaysBefore) {
            line(u"BEGIN:VALARM");
            line(u"ACTION:DISPLAY");
            property(u"DESCRIPTION", escapeText(event.summary));
            property(u"TRIGGER", alarmTrigger(daysBefore));
            line(u"END:VALARM");
        }
        line(u"END:VEVENT");
    }

    QByteArray finish()
    {
        line(u"END:VCALENDAR");
        return std::move(m_bytes);
    }

    // The lines made since the last call, for a writer that passes the file on piece by piece.
    QByteArray take() { return std::exchange(m_bytes, QByteArray()); }
    qsizetype pending() const { return m_bytes.size(); }

private:
    QString m_stamp;
    QByteArray m_bytes;
};

} // namespace

namespace {

// A 纪念日 or 忌日 as the reminder names it: "奶奶的忌日(逝世20周年,农历三月初五)",
// "结婚纪念日(10周年)".
QString icsEntryTitle(const BirthdayRecord &entry, store::EntryKind kind, int years)
{
    QStringList details;
    if (years > 0)
        details << (kind == store::EntryKind::Memorial ? u"逝世"_s : QString())
                + QString::number(years) + u"周年"_s;
    if (remindsBy(entry, reminder::RemindByLunar)) {
        if (const auto lunar = calendar::parseLunarText(entry.strNL))
            details << u"农历"_s + lunarMonthDayName(lunar->month, lunar->isLeap, lunar->day);
    }
    const QString subject = reminder::entrySubject(entry);
    return details.isEmpty() ? subject : subject + u'(' + details.join(u',') + u')';
}

} // namespace

QString lunarMonthDayName(int month, bool isLeap, int day)
{
    if (month < 1 || month > 12)
        return QString();
    return (isLeap ? u"闰"_s : QString()) + calendar::lunarMonthName(month)
        + calendar::lunarDayName(day);
}

QString icsBirthdayTitle(const BirthdayRecord &birthday, int age)
{
    const store::EntryKind kind = store::entryKindOf(birthday.Kind);
    if (kind != store::EntryKind::Birthday)
        return icsEntryTitle(birthday, kind, age);
    QString name = trimmed(birthday.About);
    if (name.endsWith(u"生日"))
        name.chop(2);
    QString title = name + (age > 0 ? QString::number(age) + u"岁生日"_s : u"生日"_s);
    if (remindsBy(birthday, reminder::RemindByLunar)) {
        if (const auto lunar = calendar::parseLunarText(birthday.strNL))
            title += u"(农历"_s + lunarMonthDayName(lunar->month, lunar->isLeap, lunar->day) + u')';
    }
    return title;
}

namespace {

// The calendar file through write, a few events at a time; events counts the events written.
// The birthdays are taken a slice at a time, so that neither their occurrences nor their events
// are ever held for the whole list.
int writeIcs(
    const BirthdayList &birthdays, const IcsOptions &options, const WriteChunk &write, int &events)
{
    constexpr qsizetype SliceBirthdays = 1000;
    constexpr qsizetype PieceBytes = 64 * 1024;
    const YearRange range = yearRange(options);
    IcsWriter writer(options.stamp);
    writer.header();
    const auto writeEvents = [&](const QList<IcsEvent> &list) {
        for (const IcsEvent &event : list) {
            writer.event(event);
            ++events;
            if (writer.pending() >= PieceBytes) {
                if (const int error = write(writer.take()))
                    return error;
            }
        }
        return 0;
    };
    QList<IcsEvent> list;
    for (qsizetype from = 0; from < birthdays.size(); from += SliceBirthdays) {
        list.clear();
        appendBirthdayEvents(list, birthdays.mid(from, SliceBirthdays), range);
        if (const int error = writeEvents(list))
            return error;
    }
    list.clear();
    if (options.festivals)
        appendFestivalEvents(list, range);
    if (const int error = writeEvents(list))
        return error;
    return write(writer.finish());
}

} // namespace

QByteArray buildIcs(const BirthdayList &birthdays, const IcsOptions &options)
{
    QByteArray bytes;
    int events = 0;
    writeIcs(
        birthdays, options,
        [&bytes](QByteArrayView piece) {
            bytes.append(piece);
            return 0;
        },
        events);
    return bytes;
}

QList<IcsObject> buildIcsObjects(
    const BirthdayList &birthdays, const IcsOptions &options, IcsPart part)
{
    const YearRange range = yearRange(options);
    QList<IcsEvent> events;
    if (part == IcsPart::Birthdays)
        appendBirthdayEvents(events, birthdays, range);
    else
        appendFestivalEvents(events, range);
    QList<IcsObject> objects;
    objects.reserve(events.size());
    for (const IcsEvent &event : events) {
        IcsWriter writer(options.stamp);
        writer.objectHeader();
        writer.event(event);
        objects.append({ event.uid, writer.finish(), event.date, event.yearly });
    }
    return objects;
}

void hashIcsInputs(QCryptographicHash &hash, const BirthdayList &birthdays)
{
    using store::BirthdayText;
    const auto add = [&hash](QStringView text) {
        const qsizetype size = text.size();
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(&size), sizeof size));
        hash.addData(QByteArrayView(
            reinterpret_cast<const char *>(text.data()), text.size() * qsizetype(sizeof(QChar))));
    };
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        for (const BirthdayText field :
            { BirthdayText::About, BirthdayText::Tel, BirthdayText::Beizhu, BirthdayText::strGL,
                BirthdayText::strNL, BirthdayText::blnIsGL, BirthdayText::Days })
            add(birthdays.text(i, field));
        const qint64 numbers[] = { birthdays.id(i), birthdays.days(i), qint64(birthdays.kind(i)),
            qint64(birthdays.leapRule(i)) };
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(numbers), sizeof numbers));
        hash.addData(birthdays.uid(i).toRfc4122());
    }
    // One birthday of each kind of event, in a year with a leap day, and a year of festivals.
    static const QByteArray Sample = [] {
        BirthdayRecord gregorian;
        gregorian.About = u"甲"_s;
        gregorian.Tel = u"1"_s;
        gregorian.Beizhu = u"乙"_s;
        gregorian.strGL = u"公历1990年 03月04日"_s;
        gregorian.blnIsGL = reminder::RemindByGregorian.toString();
        BirthdayRecord leapDay = gregorian;
        leapDay.strGL = u"公历1992年 02月29日"_s;
        BirthdayRecord lunar = gregorian;
        lunar.strNL = u"农历1990年 08月15日"_s;
        lunar.blnIsGL = reminder::RemindByLunar.toString();
        BirthdayRecord memorial = lunar;
        memorial.Kind = u"忌日"_s;
        memorial.Days = u"7,0"_s;
        BirthdayRecord yearless = gregorian;
        yearless.Kind = u"纪念日"_s;
        yearless.strGL = u"公历0000年 05月01日"_s;
        const IcsOptions options { 2024, 1, false, QDateTime(QDate(2024, 1, 1), QTime(0, 0)) };
        QByteArray events;
        for (const IcsPart part : { IcsPart::Birthdays, IcsPart::Festivals }) {
            for (const IcsObject &object :
                buildIcsObjects({ gregorian, leapDay, lunar, memorial, yearless }, options, part))
                events += object.data;
        }
        return QCryptographicHash::hash(events, QCryptographicHash::Sha1);
    }();
    hash.addData(Sample);
}

QString icsChooserTitle()
{
    return u"导出到手机日历(*.ics)"_s;
}

IcsExportResult exportIcs(const BirthdayList &birthdays, const QString &path,
    const IcsOptions &options, const QString &openDatabase)
{
    if (const std::optional<QString> refused = exportTargetFailure(path, openDatabase))
        return { false, 0, *refused };
    int events = 0;
    if (const std::optional<QString> unwritten = writeExportFile(path,
            [&](const WriteChunk &write) { return writeIcs(birthdays, options, write, events); }))
        return { false, 0, *unwritten };
    return { true, events,
        u"生日成功导出到"_s + path + u",共"_s + QString::number(events) + u"个日历事件"_s };
}

} // namespace natalis::transfer
