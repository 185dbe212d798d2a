#include "calendar_ui/monthgrid.h"
#include "support/birthdaybuilder.h"

#include <gtest/gtest.h>

// Which birthday falls on which day is MonthBirthdayIndex's, checked over the whole range in
// monthbirthdayindex_test; here what the grid makes of the days.

namespace natalis::calendar_ui {
namespace {

const QDate FixedToday(2006, 5, 1);
const QList<store::BirthdayRecord> NoBirthdays;

TEST(MonthGrid, DaysRunFromTheWeekdayOfTheFirst)
{
    const struct
    {
        const char *situation;
        int year, month;
        int firstCell, lastCell; // -1: no day at all
    } rows[] = {
        { "month starting on Sunday", 2014, 6, 0, 29 },
        { "31-day month starting on Saturday needs the sixth row", 2014, 3, 6, 36 },
        { "first shown month", 1901, 3, 5, 35 },
        { "last shown month", 2100, 12, 3, 33 },
        { "February of a leap year starting on Sunday", 2004, 2, 0, 28 },
        { "February 1901 is not shown", 1901, 2, -1, -1 },
        { "January 2101 is not shown", 2101, 1, -1, -1 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        const auto cells = buildMonthGrid(row.year, row.month, FixedToday, NoBirthdays, true);
        for (int index = 0; index < GridCells; ++index) {
            const bool inMonth =
                row.firstCell >= 0 && index >= row.firstCell && index <= row.lastCell;
            ASSERT_EQ(cells[index].day, inMonth ? index - row.firstCell + 1 : 0)
                << "cell " << index;
            ASSERT_EQ(cells[index].glText.toInt(), cells[index].day);
        }
    }
}

TEST(MonthGrid, LunarLabelsByPriorityAndTodaysColour)
{
    // January 2006 starts on a Sunday: 5 Jan 小寒, 29 Jan 春节 (lunar 2006-01-01).
    const auto cells = buildMonthGrid(2006, 1, QDate(2006, 1, 2), NoBirthdays, true);
    EXPECT_EQ(cells[4].nlText, QStringLiteral("小寒"));
    EXPECT_EQ(cells[4].nlColour, CellColour::Term);
    EXPECT_EQ(cells[28].nlText, QStringLiteral("春节"));
    EXPECT_EQ(cells[28].nlColour, CellColour::Marked);
    EXPECT_EQ(cells[0].nlText, QStringLiteral("初二")); // lunar 2005-12-02
    EXPECT_EQ(cells[0].nlColour, CellColour::Quiet);
    EXPECT_EQ(cells[31].nlColour, CellColour::OutsideMonth);
    EXPECT_TRUE(cells[1].today);
    EXPECT_EQ(cells[1].glColour, CellColour::Today);
    EXPECT_EQ(cells[2].glColour, CellColour::Day);
}

// June 2006 starts on a Thursday: 10 June stands in cell 13.
constexpr int June10Cell = 13;
const QString June10 = QStringLiteral("公历1985年 06月10日");

TEST(BirthdayCalendar, TheDayShowsTheFirstNameAndListsEveryBirthday)
{
    QList<store::BirthdayRecord> list { test::gregorianBirthday(
                                            QStringLiteral("张三  "), June10, 5),
        test::gregorianBirthday(QStringLiteral("李四"), June10) };
    list[0].Tel = QStringLiteral("13912345678 ");
    list[0].Type = QStringLiteral("同事");
    list[0].Duanxin = QStringLiteral("否");
    const MonthCell cell = buildMonthGrid(2006, 6, FixedToday, list, false)[June10Cell];
    EXPECT_EQ(cell.nlText, QStringLiteral("张三>>"));
    EXPECT_EQ(cell.nlColour, CellColour::Marked);
    const QStringList lines = cell.noticeText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("农历2006年(狗)05月")));
    EXPECT_EQ(lines.mid(1),
        QStringList({ QStringLiteral("张三[同事,13912345678]"),
            QStringLiteral("李四[朋友,13800000000]") }));
    EXPECT_TRUE(cell.dateText().startsWith(QStringLiteral("公历2006年06月10日 农历2006年(狗)")));
    const QStringList details = cell.listText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(details.size(), 3);
    const QStringList fields = details[0].split(u'\t');
    ASSERT_EQ(fields.size(), 13);
    EXPECT_EQ(fields[0], QStringLiteral("张三"));
    EXPECT_EQ(fields[4], June10);
    EXPECT_EQ(fields[5], QStringLiteral("5"));
    EXPECT_EQ(fields[6], QStringLiteral("否"));

    EXPECT_EQ(buildMonthGrid(2006, 6, FixedToday, list.mid(1), false)[June10Cell].nlText,
        QStringLiteral("李四"));
    const MonthCell plain = buildMonthGrid(2006, 6, FixedToday, list, true)[June10Cell];
    EXPECT_FALSE(plain.nlText.startsWith(u'张'));
    EXPECT_FALSE(plain.noticeText().contains(QStringLiteral("\r\n")));
}

TEST(cutNoticeLines, FourLinesAtMostThenTheHint)
{
    EXPECT_EQ(cutNoticeLines(QStringLiteral("a")), QStringLiteral("a"));
    EXPECT_EQ(
        cutNoticeLines(QStringLiteral("a\r\nb\r\nc\r\nd")), QStringLiteral("a\r\nb\r\nc\r\nd"));
    EXPECT_EQ(cutNoticeLines(QStringLiteral("a\r\nb\r\nc\r\nd\r\ne\r\nf")),
        QStringLiteral("a\r\nb\r\nc\r\nd\r\n----更多请双击日期----"));
}

TEST(todayHeading, GregorianWeekdayAndLunarWithoutBlanks)
{
    EXPECT_EQ(todayHeading(QDate(2006, 5, 1)),
        QStringLiteral("今天:公历2006年05月01日(星期一) 农历2006年04月04日"));
}

} // namespace
} // namespace natalis::calendar_ui
