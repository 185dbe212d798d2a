#include "support/casename.h"
#include "support/clirun.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using natalis::test::CliResult;

class transferCommands : public testing::Test
{
protected:
    CliResult cli(const QStringList &arguments) const
    {
        return natalis::test::runCli(QStringLiteral(NATALIS_CLI_PATH), arguments);
    }

    natalis::test::TempDatabase folder;
};

TEST_F(transferCommands, ExportThenImportIntoAnotherDatabase)
{
    const QString a = folder.path(u"a.mdb"_s), file = folder.path(u"out.txt"_s);
    ASSERT_EQ(cli({ u"add"_s, u"--db"_s, a, u"--name"_s, u"闰月"_s, u"--type"_s, u"家人"_s,
                      u"--nl"_s, u"2006-闰7-15"_s, u"--rule"_s, u"nl"_s })
                  .exitCode,
        0);
    const CliResult exported = cli({ u"export"_s, u"--db"_s, a, file });
    EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, u"生日成功导出到"_s + file + u'\n');

    const QString b = folder.path(u"b.mdb"_s);
    const CliResult imported = cli({ u"import"_s, u"--db"_s, b, u"--layout"_s, u"tab"_s, file });
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.out,
        u"从外部文件分析提取的生日记录列表如下(共1,其中1有效)\n"
        "从外部制表符分割的文本文件导入生日,成功导入1条生日提醒!\n"_s);

    const CliResult again = cli({ u"import"_s, u"--db"_s, b, u"--layout"_s, u"tab"_s, file });
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.out, u"从外部文件分析提取的生日记录列表如下(共1,其中0有效)\n"_s);
}

// A name outside GBK would come back from the file as "??": the export is no backup of it, and a
// script that keeps it as one is told so.
TEST_F(transferCommands, ExportThatLostTextsExitsOneNamingThem)
{
    const QString db = folder.path(u"a.mdb"_s), file = folder.path(u"out.txt"_s);
    ASSERT_EQ(cli({ u"add"_s, u"--db"_s, db, u"--name"_s, u"𠀀𪚥"_s, u"--type"_s, u"家人"_s,
                      u"--gl"_s, u"1990-01-02"_s })
                  .exitCode,
        0);
    const CliResult exported = cli({ u"export"_s, u"--db"_s, db, file });
    EXPECT_EQ(exported.exitCode, 1);
    EXPECT_TRUE(exported.err.startsWith(u"𠀀𪚥\n"_s)) << exported.err.toStdString();
    EXPECT_EQ(cli({ u"export"_s, u"--db"_s, db, u"--format"_s, u"csv"_s, file }).exitCode, 0);
}

// Without --layout the layout is detected and said; a dry run lists what it would add and adds
// nothing; the report of the lines goes to standard error.
TEST_F(transferCommands, DryRunWithoutLayoutListsReportsAndAddsNothing)
{
    // 张三 in GBK, with a day that does not exist.
    folder.write(u"in.txt"_s, "\xD5\xC5\xC8\xFD\t\t\t\t2023-2-30\r\n");
    const CliResult result = cli({ u"import"_s, u"--db"_s, folder.path(u"new.mdb"_s),
        u"--dry-run"_s, folder.path(u"in.txt"_s) });
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err,
        u"layout: tab (detected; --layout chooses another)\n文件编码: GBK\n"
        "第1行: 日期'2023-2-30'无效,按无日期导入\n"_s);
    EXPECT_TRUE(result.out.contains(u"add\t张三\t客户\t\t\t\t按公历提醒\t7\t否"_s))
        << result.out.toStdString();
    EXPECT_FALSE(folder.exists(u"new.mdb"_s));
}

struct RefusalRow
{
    const char *situation;
    QStringList arguments; // "FILE" stands for the import file's path
    QByteArray content;
    int exitCode = 0;
    QString message {}; // expected on stderr; "FILE" stands for the path
};

class TransferRefusals : public transferCommands, public testing::WithParamInterface<RefusalRow>
{
};

TEST_P(TransferRefusals, ExitsWithTheMessage)
{
    const RefusalRow &row = GetParam();
    const QString file = folder.path(u"in.txt"_s);
    if (!row.content.isNull())
        folder.write(u"in.txt"_s, row.content);
    QStringList arguments = { u"--db"_s, folder.path(u"x.mdb"_s) };
    for (const QString &argument : row.arguments)
        arguments << (argument == u"FILE" ? file : argument);
    arguments.prepend(arguments.takeAt(2)); // the command name first
    const CliResult result = cli(arguments);
    EXPECT_EQ(result.exitCode, row.exitCode);
    EXPECT_TRUE(result.err.contains(QString(row.message).replace(u"FILE"_s, file)))
        << result.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cli, TransferRefusals,
    testing::Values(
        RefusalRow { "missing file", { u"import"_s, u"--layout"_s, u"v30"_s, u"FILE"_s }, {}, 2,
            u"FILE不存在"_s },
        RefusalRow { "unknown layout", { u"import"_s, u"--layout"_s, u"v40"_s, u"FILE"_s }, "x", 2,
            u"--layout"_s },
        RefusalRow { "export from a database that does not exist", { u"export"_s, u"FILE"_s }, {},
            1, u"cannot open"_s }),
    natalis::test::BySituation());

} // namespace
