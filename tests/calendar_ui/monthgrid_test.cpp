#include "calendar_ui/monthgrid.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"

#include <gtest/gtest.h>

namespace natalis::calendar_ui {
namespace {

using test::gregorianBirthday;
using test::lunarBirthday;

const QDate FixedToday(2006, 5, 1);
const QList<store::BirthdayRecord> NoBirthdays;

int lastDayCell(const std::array<MonthCell, GridCells> &cells)
{
    int last = -1;
    for (int index = 0; index < GridCells; ++index) {
        if (cells[index].day != 0)
            last = index;
    }
    return last;
}

struct PlacementRow
{
    const char *situation;
    int year;
    int month;
    int firstCell;
    int lastCell;

    friend void PrintTo(const PlacementRow &row, std::ostream *out) { *out << row.situation; }
};

class GridPlacement : public testing::TestWithParam<PlacementRow>
{
};

TEST_P(GridPlacement, DaysRunFromTheWeekdayOfTheFirst)
{
    const PlacementRow &row = GetParam();
    const auto cells = BuildMonthGrid(row.year, row.month, FixedToday, NoBirthdays, true);
    EXPECT_EQ(cells[row.firstCell].glText, QStringLiteral("1"));
    for (int index = 0; index < row.firstCell; ++index)
        EXPECT_EQ(cells[index].day, 0) << "cell " << index;
    EXPECT_EQ(lastDayCell(cells), row.lastCell);
}

INSTANTIATE_TEST_SUITE_P(Months, GridPlacement,
    testing::Values(PlacementRow { "month starting on Sunday", 2014, 6, 0, 29 },
        PlacementRow { "31-day month starting on Saturday needs the sixth row", 2014, 3, 6, 36 },
        PlacementRow { "first shown month", 1901, 3, 5, 35 },
        PlacementRow { "last shown month", 2100, 12, 3, 33 },
        PlacementRow { "February of a leap year starting on Sunday", 2004, 2, 0, 28 }),
    test::BySituation());

TEST(MonthGrid, OutsideTheRangeIsEmpty)
{
    EXPECT_EQ(lastDayCell(BuildMonthGrid(1901, 2, FixedToday, NoBirthdays, true)), -1);
    EXPECT_EQ(lastDayCell(BuildMonthGrid(2101, 1, FixedToday, NoBirthdays, true)), -1);
}

TEST(MonthGrid, LunarLabelsByPriority)
{
    // January 2006 starts on a Sunday: 5 Jan 小寒, 29 Jan 春节 (lunar 2006-01-01).
    const auto cells = BuildMonthGrid(2006, 1, FixedToday, NoBirthdays, true);
    EXPECT_EQ(cells[4].nlText, QStringLiteral("小寒"));
    EXPECT_EQ(cells[4].nlColour, CellColour::Term);
    EXPECT_EQ(cells[28].nlText, QStringLiteral("春节"));
    EXPECT_EQ(cells[28].nlColour, CellColour::Marked);
    EXPECT_EQ(cells[0].nlText, QStringLiteral("初二")); // lunar 2005-12-02
    EXPECT_EQ(cells[0].nlColour, CellColour::Quiet);
    EXPECT_EQ(cells[31].nlColour, CellColour::OutsideMonth);
}

TEST(MonthGrid, TodayTakesTheTodayColour)
{
    const auto cells = BuildMonthGrid(2006, 5, FixedToday, NoBirthdays, true);
    EXPECT_TRUE(cells[1].today); // 1 May 2006, a Monday
    EXPECT_EQ(cells[1].glColour, CellColour::Today);
    EXPECT_EQ(cells[2].glColour, CellColour::Day);
}

// June 2006 starts on a Thursday: 10 June stands in cell 13.
constexpr int June10Cell = 13;
const QString June10 = QStringLiteral("公历1985年 06月10日");

QList<store::BirthdayRecord> june10Birthdays(int count)
{
    QList<store::BirthdayRecord> list;
    for (int i = 0; i < count; ++i)
        list.append(gregorianBirthday(QStringLiteral("人%1").arg(i + 1), June10));
    return list;
}

TEST(BirthdayCalendar, TwoBirthdaysShowTheFirstNameAndMore)
{
    const auto cells = BuildMonthGrid(2006, 6, FixedToday, june10Birthdays(2), false);
    EXPECT_EQ(cells[June10Cell].nlText, QStringLiteral("人1>>"));
    EXPECT_EQ(cells[June10Cell].nlColour, CellColour::Marked);
    EXPECT_TRUE(cells[June10Cell].noticeText().contains(QStringLiteral("\r\n")));
}

TEST(BirthdayCalendar, OneBirthdayShowsItsName)
{
    const auto cells = BuildMonthGrid(2006, 6, FixedToday, june10Birthdays(1), false);
    EXPECT_EQ(cells[June10Cell].nlText, QStringLiteral("人1"));
}

TEST(PerpetualCalendar, ShowsNoBirthdays)
{
    const auto cells = BuildMonthGrid(2006, 6, FixedToday, june10Birthdays(2), true);
    EXPECT_FALSE(cells[June10Cell].nlText.startsWith(QStringLiteral("人")));
    EXPECT_FALSE(cells[June10Cell].noticeText().contains(QStringLiteral("\r\n")));
    EXPECT_TRUE(cells[June10Cell].listText().isEmpty());
}

TEST(BirthdayCalendar, NoticeAndDetailsOfABirthday)
{
    store::BirthdayRecord record = gregorianBirthday(QStringLiteral("张三  "), June10, 5);
    record.Tel = QStringLiteral("13912345678 ");
    record.Type = QStringLiteral("同事");
    record.Duanxin = QStringLiteral("否");
    const auto cells = BuildMonthGrid(2006, 6, FixedToday, { record }, false);
    const MonthCell &cell = cells[June10Cell];
    const QStringList lines = cell.noticeText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("农历2006年(狗)05月")));
    EXPECT_EQ(lines[1], QStringLiteral("张三[同事,13912345678]"));
    EXPECT_TRUE(cell.dateText().startsWith(QStringLiteral("公历2006年06月10日 农历2006年(狗)")));
    const QStringList fields = cell.listText().chopped(2).split(u'\t');
    ASSERT_EQ(fields.size(), 13);
    EXPECT_EQ(fields[0], QStringLiteral("张三"));
    EXPECT_EQ(fields[4], June10);
    EXPECT_EQ(fields[5], QStringLiteral("5"));
    EXPECT_EQ(fields[6], QStringLiteral("否"));
}

struct RuleRow
{
    const char *situation;
    store::BirthdayRecord record;
    int year;
    int month;
    int cellWithName; // -1 when the month shows the name nowhere

    friend void PrintTo(const RuleRow &row, std::ostream *out) { *out << row.situation; }
};

store::BirthdayRecord lunarWithGregorianBirth()
{
    // Born on lunar 08-15; the Gregorian birth date is given but not reminded by.
    store::BirthdayRecord record =
        lunarBirthday(QStringLiteral("王五"), QStringLiteral("农历1980年 08月15日"));
    record.strGL = QStringLiteral("公历1980年 09月23日");
    return record;
}

class BirthdayRules : public testing::TestWithParam<RuleRow>
{
};

TEST_P(BirthdayRules, NameStandsOnTheOccurrenceByItsRule)
{
    const RuleRow &row = GetParam();
    const auto cells = BuildMonthGrid(row.year, row.month, FixedToday, { row.record }, false);
    for (int index = 0; index < GridCells; ++index) {
        const bool named = cells[index].nlText == row.record.About;
        EXPECT_EQ(named, index == row.cellWithName) << "cell " << index;
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, BirthdayRules,
    testing::Values(
        // Mid-autumn 2006 fell on Friday 6 October; 1 October 2006 was a Sunday.
        RuleRow { "lunar rule on its lunar anniversary", lunarWithGregorianBirth(), 2006, 10, 5 },
        // 1 September 2006 was a Friday: 23 September would stand in cell 27.
        RuleRow { "lunar rule never on its Gregorian birth date", lunarWithGregorianBirth(), 2006,
            9, -1 },
        RuleRow { "Gregorian rule on its Gregorian anniversary",
            gregorianBirthday(QStringLiteral("赵六"), QStringLiteral("公历1990年 05月20日")), 2006,
            5, 20 },
        RuleRow { "Gregorian rule not in another month",
            gregorianBirthday(QStringLiteral("赵六"), QStringLiteral("公历1990年 05月20日")), 2006,
            6, -1 },
        // The lunar new year 2007 fell on Sunday 18 February; 1 February 2007 was a Thursday.
        RuleRow { "lunar new year birthday after the new year within the month",
            lunarBirthday(QStringLiteral("钱七"), QStringLiteral("农历1990年 01月01日")), 2007, 2,
            21 },
        RuleRow { "birthday not before the birth year",
            gregorianBirthday(QStringLiteral("孙八"), QStringLiteral("公历2010年 05月20日")), 2006,
            5, -1 }),
    test::BySituation());

struct NoticeRow
{
    const char *situation;
    int birthdays;
    int shownLines;
    bool more;

    friend void PrintTo(const NoticeRow &row, std::ostream *out) { *out << row.situation; }
};

class HoverNotice : public testing::TestWithParam<NoticeRow>
{
};

TEST_P(HoverNotice, ShowsFourLinesAtMost)
{
    const NoticeRow &row = GetParam();
    const auto cells = BuildMonthGrid(2006, 6, FixedToday, june10Birthdays(row.birthdays), false);
    const QString notice = CutNoticeLines(cells[June10Cell].noticeText());
    const QString more = QStringLiteral("----更多请双击日期----");
    EXPECT_EQ(notice.endsWith(more), row.more);
    QString lines = notice;
    if (row.more)
        lines.chop(more.size() + 2); // and the fourth line's CR LF
    const QStringList split = lines.split(QStringLiteral("\r\n"));
    ASSERT_EQ(split.size(), row.shownLines);
    EXPECT_EQ(split.last(), QStringLiteral("人%1[朋友,13800000000]").arg(row.shownLines - 1));
}

INSTANTIATE_TEST_SUITE_P(Cut, HoverNotice,
    testing::Values(NoticeRow { "three birthdays show all four lines", 3, 4, false },
        NoticeRow { "four birthdays show three and more", 4, 4, true },
        NoticeRow { "six birthdays show three and more", 6, 4, true }),
    test::BySituation());

TEST(CutNoticeLines, ShortTextsStayWhole)
{
    EXPECT_EQ(CutNoticeLines(QStringLiteral("a")), QStringLiteral("a"));
    EXPECT_EQ(
        CutNoticeLines(QStringLiteral("a\r\nb\r\nc\r\nd")), QStringLiteral("a\r\nb\r\nc\r\nd"));
    EXPECT_EQ(CutNoticeLines(QStringLiteral("a\r\nb\r\nc\r\nd\r\ne")),
        QStringLiteral("a\r\nb\r\nc\r\nd\r\n----更多请双击日期----"));
}

TEST(TodayHeading, GregorianWeekdayAndLunarWithoutBlanks)
{
    EXPECT_EQ(TodayHeading(QDate(2006, 5, 1)),
        QStringLiteral("今天:公历2006年05月01日(星期一) 农历2006年04月04日"));
}

} // namespace
} // namespace natalis::calendar_ui
