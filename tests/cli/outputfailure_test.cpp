#include "support/casename.h"
#include "support/clirun.h"
#include "support/tempdatabase.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct OutputRow
{
    const char *situation;
    QStringList arguments; // DB, NEW and FILE stand for the fixture's paths
    int exitCode = 1; // a command that succeeded but lost its output exits 1
};

// Commands with their standard output on a full disk: a database (DB), a path where none exists
// yet (NEW), and an import file with one new record (FILE).
class OutputOnAFullDisk : public testing::TestWithParam<OutputRow>
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(u"/dev/full"_s))
            GTEST_SKIP() << "no /dev/full";
        folder.create();
        folder.write(u"in.txt"_s, "LiSi\t\t\t\t1980-5-12\r\n");
    }

    QStringList arguments(const QStringList &pattern) const
    {
        QStringList filled;
        for (const QString &argument : pattern) {
            if (argument == u"DB")
                filled << folder.path();
            else if (argument == u"NEW")
                filled << folder.path(u"new.mdb"_s);
            else if (argument == u"FILE")
                filled << folder.path(u"in.txt"_s);
            else
                filled << argument;
        }
        return filled;
    }

    natalis::test::TempDatabase folder;
};

TEST_P(OutputOnAFullDisk, ExitsNonZeroAndSaysSo)
{
    const natalis::test::CliResult result = natalis::test::runCli(
        QStringLiteral(NATALIS_CLI_PATH), arguments(GetParam().arguments), {}, u"/dev/full"_s);
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_TRUE(result.err.endsWith(u"natalis-cli: 标准输出写入失败,输出不完整\n"_s))
        << result.err.toStdString();
}

// Every command writes through the same output, checked once at the exit: one command of each
// kind of output is enough.
INSTANTIATE_TEST_SUITE_P(Commands, OutputOnAFullDisk,
    testing::Values(OutputRow { "day", { u"day"_s, u"2006-01-28"_s } },
        // Far more than one buffer: the writes themselves fail, not only the final flush.
        OutputRow { "day over the whole calendar", { u"day"_s, u"1901-02-19"_s, u"2100-12-31"_s } },
        OutputRow { "add, whose change is made",
            { u"add"_s, u"--db"_s, u"DB"_s, u"--name"_s, u"王五"_s, u"--type"_s, u"朋友"_s } },
        OutputRow { "import dry run",
            { u"import"_s, u"--db"_s, u"NEW"_s, u"--layout"_s, u"tab"_s, u"--dry-run"_s,
                u"FILE"_s } },
        // A refusal keeps its own exit code; the lost output is still reported.
        OutputRow { "usage after no command", {}, 2 }),
    natalis::test::BySituation());

} // namespace
