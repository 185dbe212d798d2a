#include "reminder/birthdayoccurrences.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/golden.h"
#include "support/qtprinters.h"
#include "transfer/icalendarexport.h"

#include <QMap>
#include <QUuid>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

// One VEVENT: its properties by name with parameters ("DTSTART;VALUE=DATE"), the alarm's
// behind "VALARM/".
using Event = QMap<QString, QString>;

QMap<QString, Event> eventsByUid(const QByteArray &ics)
{
    QString unfolded = QString::fromUtf8(ics);
    unfolded.replace(u"\r\n "_s, QString());
    QMap<QString, Event> events;
    Event event;
    QString prefix;
    for (const QString &line : unfolded.split(u"\r\n"_s, Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(u':');
        const QString name = line.left(colon), value = line.mid(colon + 1);
        if (line == u"BEGIN:VEVENT")
            event.clear();
        else if (line == u"END:VEVENT")
            events.insert(event.value(u"UID"_s), event);
        else if (line == u"BEGIN:VALARM")
            prefix = u"VALARM/"_s;
        else if (line == u"END:VALARM")
            prefix.clear();
        else
            event.insert(prefix + name, value);
    }
    return events;
}

QByteArray ics(
    const QList<store::BirthdayRecord> &birthdays, int from, int years, bool festivals = false)
{
    return buildIcs(birthdays,
        { from, years, festivals, QDateTime(QDate(2025, 6, 1), QTime(2, 3, 4), Qt::UTC) });
}

store::BirthdayRecord withId(store::BirthdayRecord record, qint32 id)
{
    record.Id = id;
    return record;
}

// The golden entries: a lunar birthday with 14 days' notice, a leap-month one with 0, 29 February,
// a plain Gregorian one, one late in the twelfth lunar month, one in the eleventh, one on the first
// day of the lunar year, and one whose name ends in 生日.
QList<store::BirthdayRecord> goldenEntries()
{
    store::BirthdayRecord zhang =
        withId(test::lunarBirthday(u"张三"_s, u"农历1960年 08月15日"_s, 14), 11);
    zhang.Tel = u"13800138000"_s;
    store::BirthdayRecord leap =
        withId(test::lunarBirthday(u"闰月"_s, u"农历2006年闰07月15日"_s, 0), 12);
    leap.Tel.clear();
    store::BirthdayRecord leapDay =
        withId(test::gregorianBirthday(u"闰日"_s, u"公历1984年 02月29日"_s, 7), 14);
    store::BirthdayRecord wang =
        withId(test::gregorianBirthday(u"王五"_s, u"公历1990年 05月12日"_s, 3), 15);
    wang.Beizhu = u"爱吃饺子,不吃辣;周末有空"_s;
    return { zhang, leap, leapDay, wang,
        withId(test::lunarBirthday(u"腊月"_s, u"农历1950年 12月29日"_s, 2), 16),
        withId(test::lunarBirthday(u"冬月"_s, u"农历1950年 11月15日"_s, 2), 18),
        withId(test::lunarBirthday(u"正月"_s, u"农历1950年 01月01日"_s, 2), 19),
        withId(test::lunarBirthday(u"妈妈生日"_s, u"农历1960年 02月02日"_s, 2), 20) };
}

// The days of lunar birthdays are LunarEventsFallOnTheReminderDays's; one-day events and alarms
// at 09:00 that show, on the day and a day ahead among them, are check_ics.py's; the golden files
// hold the rest: titles with age and lunar day, descriptions, alarms, 29 February in common years,
// the Gregorian yearly rule, escaping; from 1 January of the first year on, whichever lunar year
// an occurrence belongs to (腊月's of 2024 is there, 冬月's and 正月's are not); and a leap month
// from its birth year on (no age in that year, no contact line without a number).
struct GoldenCase
{
    const char *situation;
    int from;
    int years;
    const char *file;
    friend void PrintTo(const GoldenCase &c, std::ostream *os) { *os << c.situation; }
};

const GoldenCase GoldenCases[] = {
    { "four years from 2025", 2025, 4, "birthdays-2025.ics" },
    { "a leap month born in 2006", 2006, 2, "birthdays-2006.ics" },
};

using IcsGolden = testing::TestWithParam<GoldenCase>;

TEST_P(IcsGolden, FileIsAsKept)
{
    const GoldenCase &c = GetParam();
    test::expectGolden(ics(goldenEntries(), c.from, c.years),
        QStringLiteral(NATALIS_TRANSFER_DATA_DIR "/") + QString::fromUtf8(c.file));
}

INSTANTIATE_TEST_SUITE_P(Ics, IcsGolden, testing::ValuesIn(GoldenCases), test::BySituation());

TEST(Ics, LunarEventsFallOnTheReminderDays)
{
    // Every month, the first and the last days, leap months of years with and without them.
    QList<store::BirthdayRecord> birthdays;
    qint32 id = 100;
    for (int month = 1; month <= 12; ++month) {
        for (int day : { 1, 15, 29, 30 }) {
            birthdays << withId(test::lunarBirthday(u"农"_s,
                                    u"农历1901年 %1月%2日"_s.arg(month, 2, 10, QChar(u'0'))
                                        .arg(day, 2, 10, QChar(u'0'))),
                id++);
        }
    }
    for (const QString &text : { u"农历1903年闰05月30日"_s, u"农历2006年闰07月15日"_s,
             u"农历2023年闰02月30日"_s, u"农历2033年闰11月01日"_s })
        birthdays << withId(test::lunarBirthday(u"闰"_s, text), id++);
    const QMap<QString, Event> events = eventsByUid(ics(birthdays, 1901, 200));
    int checked = 0;
    for (int year = 1901; year <= 2100; ++year) {
        reminder::BirthOccurrences occurrences(birthdays.size());
        reminder::CalcNlBirthDates(birthdays, year, occurrences);
        for (qsizetype i = 0; i < birthdays.size(); ++i) {
            const QString uid = u"%1-%2@natalis.invalid"_s.arg(birthdays[i].Id).arg(year);
            const QDate expected = occurrences.ThisYearDates[i];
            if (!expected.isValid()) {
                EXPECT_FALSE(events.contains(uid)) << uid.toStdString();
                continue;
            }
            ASSERT_TRUE(events.contains(uid)) << uid.toStdString();
            EXPECT_EQ(events[uid].value(u"DTSTART;VALUE=DATE"_s), expected.toString(u"yyyyMMdd"_s))
                << uid.toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, 48 * 199);
}

// Festivals and solar terms are shown on their days, never reminded.
TEST(Ics, FestivalsAndSolarTermsCarryNoAlarm)
{
    const QMap<QString, Event> events = eventsByUid(ics({}, 2025, 1, true));
    EXPECT_EQ(events.size(), 24 + 11);
    for (const Event &event : events)
        EXPECT_FALSE(event.contains(u"VALARM/TRIGGER"_s))
            << event.value(u"SUMMARY"_s).toStdString();
}

// Events are named by the birthday's own Uid, so that two family members' lists, each with its
// first birthday in row 1, put on one calendar never replace each other's events.
TEST(IcsUids, EventsAreNamedByTheBirthdaysUid)
{
    store::BirthdayRecord record =
        withId(test::gregorianBirthday(u"甲"_s, u"公历1980年 05月12日"_s), 1);
    record.Uid = QUuid(u"6f1c2d3e-4a5b-4c6d-8e7f-9a0b1c2d3e4f"_s);
    EXPECT_EQ(eventsByUid(ics({ record }, 2025, 1)).keys(),
        QStringList { u"6f1c2d3e-4a5b-4c6d-8e7f-9a0b1c2d3e4f-yearly@natalis.invalid"_s });
}

} // namespace
} // namespace natalis::transfer
