#include "support/casename.h"
#include "support/clirun.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

natalis::test::CliResult cli(const QStringList &arguments)
{
    return natalis::test::runCli(QStringLiteral(NATALIS_CLI_PATH), arguments);
}

// The day descriptions themselves are the calendar engine's; here the command line's own part:
// its arguments, its line layout and its exit codes.
struct CliRow
{
    const char *situation;
    QString arguments; // separated by blanks
    int exitCode;
    QString out {}; // exact standard output
};

const CliRow CliRows[] = {
    { "day range across lunar new year", u"day 2006-01-28 2006-01-29"_s, 0,
        u"2006-01-28\t农历2005年 12月29日\t农历2005年(鸡) 12月29日\t廿九\t\t\t除夕\n"
        u"2006-01-29\t农历2006年 01月01日\t农历2006年(狗) 01月01日\t初一\t\t1月大\t春节\n"_s },
    { "two festivals joined by a comma", u"day 2001-10-01"_s, 0,
        u"2001-10-01\t农历2001年 08月15日\t农历2001年(蛇) 08月15日\t十五\t\t\t中秋节,国庆节\n"_s },
    { "day before the calendar", u"day 1901-02-18"_s, 2 },
    { "solar of a leap month", u"solar 农历2006年闰07月15日"_s, 0, u"公历2006年 09月07日\n"_s },
    { "solar of a malformed text", u"solar 1976-01-26"_s, 2 },
    { "normalize a leap month", u"normalize 2006-闰7-15"_s, 0, u"2006-闰07-15\n"_s },
    { "normalize refuses", u"normalize 2007-闰7-15"_s, 1 },
    { "unknown command", u"frobnicate"_s, 2 },
};

using calendarCommands = testing::TestWithParam<CliRow>;

TEST_P(calendarCommands, PrintAndExit)
{
    const CliRow &row = GetParam();
    const natalis::test::CliResult result = cli(row.arguments.split(u' '));
    EXPECT_EQ(result.exitCode, row.exitCode) << result.err.toStdString();
    EXPECT_EQ(result.out, row.out);
    if (row.exitCode != 0) {
        EXPECT_EQ(result.err.count(u'\n'), 1) << "one-line error: " << result.err.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, calendarCommands, testing::ValuesIn(CliRows), natalis::test::BySituation());

} // namespace
