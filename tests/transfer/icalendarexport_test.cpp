#include "reminder/birthdayoccurrences.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
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

struct GoldenField
{
    const char *situation;
    int from;
    int years;
    const char *uid; // without "@natalis.invalid"
    const char *property;
    const char *value; // nullptr: no such event
};

// The days of lunar birthdays are LunarEventsFallOnTheReminderDays's; one-day events and alarms
// at 09:00 that show, on the day and a day ahead among them, are check_ics.py's; here the rest.
const GoldenField GoldenFields[] = {
    { "lunar title with age and lunar day", 2025, 3, "11-2025", "SUMMARY",
        "张三65岁生日(农历八月十五)" },
    { "lunar description", 2025, 3, "11-2025", "DESCRIPTION",
        "农历生日:农历1960年 08月15日\\n联系方式:13800138000" },
    { "14 days ahead at 9 o'clock", 2025, 3, "11-2025", "VALARM/TRIGGER", "-P13DT15H" },
    { "leap month, no age in the birth year", 2006, 2, "12-2006", "SUMMARY",
        "闰月生日(农历闰七月十五)" },
    { "no contact, no contact line", 2006, 2, "12-2007", "DESCRIPTION",
        "农历生日:农历2006年闰07月15日" },
    { "29 February in a common year", 2025, 4, "14-2025", "DTSTART;VALUE=DATE", "20250228" },
    { "29 February with age", 2025, 4, "14-2028", "SUMMARY", "闰日44岁生日" },
    { "Gregorian repeats yearly", 2025, 20, "15-yearly", "RRULE", "FREQ=YEARLY;UNTIL=21001231" },
    { "Gregorian starts in the first year", 2025, 20, "15-yearly", "DTSTART;VALUE=DATE",
        "20250512" },
    // A file covers every occurrence from 1 January of its first year on, whichever lunar year it
    // belongs to, and none before.
    { "twelfth month of the previous lunar year in late January", 2025, 2, "16-2024",
        "DTSTART;VALUE=DATE", "20250128" },
    { "the previous lunar year's age", 2025, 2, "16-2024", "SUMMARY",
        "腊月74岁生日(农历腊月廿九)" },
    { "the previous lunar year's occurrence before the first day", 2025, 2, "18-2024", "SUMMARY",
        nullptr },
    { "first lunar month of the previous year lies a year back", 2025, 2, "19-2024", "SUMMARY",
        nullptr },
    { "name ending in 生日", 2025, 2, "20-2025", "SUMMARY", "妈妈65岁生日(农历二月初二)" },
    { "remark escaped", 2025, 20, "15-yearly", "DESCRIPTION",
        "公历生日:公历1990年 05月12日\\n联系方式:13800000000\\n备注:爱吃饺子\\,不吃辣\\;周末有空" },
};

using IcsGolden = testing::TestWithParam<GoldenField>;

TEST_P(IcsGolden, FieldHasItsValue)
{
    const GoldenField &row = GetParam();
    const QMap<QString, Event> events = eventsByUid(ics(goldenEntries(), row.from, row.years));
    const QString uid = QString::fromUtf8(row.uid) + u"@natalis.invalid"_s;
    ASSERT_EQ(events.contains(uid), row.value != nullptr) << uid.toStdString();
    if (!row.value)
        return;
    EXPECT_EQ(events[uid].value(QString::fromUtf8(row.property), u"(missing)"_s),
        QString::fromUtf8(row.value));
}

INSTANTIATE_TEST_SUITE_P(Ics, IcsGolden, testing::ValuesIn(GoldenFields), test::BySituation());

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
