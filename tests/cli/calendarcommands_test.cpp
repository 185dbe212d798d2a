#include "support/casename.h"
#include "support/clirun.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace {

using natalis::test::runCli;

natalis::test::CliResult cli(const QStringList &arguments)
{
    return runCli(QStringLiteral(NATALIS_CLI_PATH), arguments);
}

struct CliRow
{
    const char *situation;
    QStringList arguments;
    int exitCode;
    QString out; // exact standard output
    friend void PrintTo(const CliRow &row, std::ostream *os) { *os << row.situation; }
};

class CalendarCommands : public testing::TestWithParam<CliRow>
{
};

TEST_P(CalendarCommands, PrintAndExit)
{
    const CliRow &row = GetParam();
    const natalis::test::CliResult result = cli(row.arguments);
    EXPECT_EQ(result.exitCode, row.exitCode) << result.err.toStdString();
    EXPECT_EQ(result.out, row.out);
    if (row.exitCode != 0) {
        EXPECT_EQ(result.err.count(u'\n'), 1) << "one-line error: " << result.err.toStdString();
    }
}

QString lines(std::initializer_list<const char16_t *> list)
{
    QString text;
    for (const char16_t *line : list)
        text += QString::fromUtf16(line) + u'\n';
    return text;
}

INSTANTIATE_TEST_SUITE_P(Commands, CalendarCommands,
    testing::Values(
        CliRow { "day range across lunar new year",
            { QStringLiteral("day"), QStringLiteral("2006-01-28"), QStringLiteral("2006-01-29") },
            0,
            lines({ u"2006-01-28\t农历2005年 12月29日\t农历2005年(鸡) 12月29日\t廿九\t\t\t除夕",
                u"2006-01-29\t农历2006年 01月01日\t农历2006年(狗) "
                u"01月01日\t初一\t\t1月大\t春节" }) },
        CliRow { "two festivals joined by a comma",
            { QStringLiteral("day"), QStringLiteral("2001-10-01") }, 0,
            lines({ u"2001-10-01\t农历2001年 08月15日\t农历2001年(蛇) "
                    u"08月15日\t十五\t\t\t中秋节,国庆节" }) },
        CliRow { "solar term and leap month note",
            { QStringLiteral("day"), QStringLiteral("2006-08-24") }, 0,
            lines({ u"2006-08-24\t农历2006年闰07月01日\t农历2006年(狗)"
                    u"闰07月01日\t初一\t\t闰7月小\t" }) },
        CliRow { "term of the day", { QStringLiteral("day"), QStringLiteral("2026-06-05") }, 0,
            lines(
                { u"2026-06-05\t农历2026年 04月20日\t农历2026年(马) 04月20日\t二十\t芒种\t\t" }) },
        CliRow { "day before the calendar", { QStringLiteral("day"), QStringLiteral("1901-02-18") },
            2, {} },
        CliRow { "day after the calendar", { QStringLiteral("day"), QStringLiteral("2101-01-01") },
            2, {} },
        CliRow { "range ending after the calendar",
            { QStringLiteral("day"), QStringLiteral("2100-12-30"), QStringLiteral("2101-01-01") },
            2, {} },
        CliRow { "malformed day", { QStringLiteral("day"), QStringLiteral("2006-13-01") }, 2, {} },
        CliRow { "day without leading zeros", { QStringLiteral("day"), QStringLiteral("2006-1-1") },
            2, {} },
        CliRow { "reversed range",
            { QStringLiteral("day"), QStringLiteral("2006-01-02"), QStringLiteral("2006-01-01") },
            2, {} },
        CliRow { "day without arguments", { QStringLiteral("day") }, 2, {} },
        CliRow { "solar of a leap month",
            { QStringLiteral("solar"), QStringLiteral("农历2006年闰07月15日") }, 0,
            lines({ u"公历2006年 09月07日" }) },
        CliRow { "solar of the last lunar day",
            { QStringLiteral("solar"), QStringLiteral("农历2100年 12月29日") }, 0,
            lines({ u"公历2101年 01月28日" }) },
        CliRow { "solar of a malformed text",
            { QStringLiteral("solar"), QStringLiteral("1976-01-26") }, 2, {} },
        CliRow { "solar of a year outside",
            { QStringLiteral("solar"), QStringLiteral("农历2101年 01月01日") }, 2, {} },
        CliRow { "normalize a leap month",
            { QStringLiteral("normalize"), QStringLiteral("2006-闰7-15") }, 0,
            lines({ u"2006-闰07-15" }) },
        CliRow { "normalize with blanks",
            { QStringLiteral("normalize"), QStringLiteral("1976 - 1 - 26") }, 0,
            lines({ u"1976-01-26" }) },
        CliRow { "normalize refuses",
            { QStringLiteral("normalize"), QStringLiteral("2007-闰7-15") }, 1, {} },
        CliRow { "unknown command", { QStringLiteral("frobnicate") }, 2, {} }),
    natalis::test::BySituation());

TEST(CalendarCommands, HelpForEachCommand)
{
    for (const QString &command :
        { QStringLiteral("day"), QStringLiteral("solar"), QStringLiteral("normalize") }) {
        const natalis::test::CliResult result = cli({ command, QStringLiteral("--help") });
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.out.startsWith(QStringLiteral("Usage: natalis-cli ") + command))
            << result.out.toStdString();
    }
    EXPECT_EQ(cli({ QStringLiteral("--help") }).exitCode, 0);
}

TEST(CalendarCommands, WholeRangeOneLineADay)
{
    const natalis::test::CliResult result =
        cli({ QStringLiteral("day"), QStringLiteral("1901-02-19"), QStringLiteral("2100-12-31") });
    ASSERT_EQ(result.exitCode, 0);
    const QStringList days = result.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(days.size(), QDate(1901, 2, 19).daysTo(QDate(2100, 12, 31)) + 1);
    for (const QString &line : days)
        ASSERT_EQ(line.count(u'\t'), 6) << line.toStdString();
    EXPECT_TRUE(days.last().startsWith(u"2100-12-31\t")) << days.last().toStdString();
}

} // namespace
