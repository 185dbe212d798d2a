#include "store/connection.h"
#include "support/casename.h"
#include "support/clirun.h"
#include "support/golden.h"
#include "support/qtprinters.h"
#include "support/queryrows.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using natalis::test::CliResult;

class birthdayCommands : public testing::Test
{
protected:
    CliResult cli(QStringList arguments) const
    {
        arguments.insert(1, QStringLiteral("--db"));
        arguments.insert(2, database.path());
        return natalis::test::runCli(QStringLiteral(NATALIS_CLI_PATH), arguments);
    }

    void add(const QStringList &options) const
    {
        const CliResult result = cli(QStringList { QStringLiteral("add") } + options);
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    }

    // The columns of table birthday, one row a birthday in Id order.
    QStringList stored(const std::string &columns) const
    {
        auto connection = natalis::store::Connection::open(
            database.path(), natalis::store::Connection::OpenMode::ExistingOnly);
        return connection ? natalis::test::queryRows(
                   *connection, "select " + columns + " from birthday order by Id")
                          : QStringList();
    }

    natalis::test::TempDatabase database;
};

QStringList args(std::initializer_list<const char16_t *> list)
{
    QStringList result;
    for (const char16_t *item : list)
        result.append(QString::fromUtf16(item));
    return result;
}

TEST_F(birthdayCommands, DueOnAMissingFileCreatesNothing)
{
    const CliResult result =
        cli({ QStringLiteral("due"), QStringLiteral("--date"), QStringLiteral("2026-12-06") });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(database.exists(QStringLiteral("natalis.mdb")));
}

TEST_F(birthdayCommands, DuePrintsHeadingAndBothTexts)
{
    add(args({ u"--name", u"张三", u"--type", u"朋友", u"--tel", u"13912345678", u"--gl",
        u"1980-12-08", u"--days", u"5" }));
    add(args({ u"--name", u"妈妈生日", u"--type", u"家人", u"--nl", u"1950-10-28", u"--rule", u"nl",
        u"--days", u"0" }));
    add(args(
        { u"--name", u"王'小明", u"--type", u"客户", u"--gl", u"1990-12-20", u"--days", u"14" }));

    const CliResult result = cli(args({ u"due", u"--date", u"2026-12-06T09:00" }));
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    natalis::test::expectGolden(
        result.out.toUtf8(), QStringLiteral(NATALIS_TEST_DATA_DIR "/due.txt"));
}

TEST_F(birthdayCommands, AddComputesTheOtherCalendar)
{
    add(args({ u"--name", u"甲", u"--type", u"同事", u"--gl", u"1976-02-25", u"--class", u"销售部",
        u"--no", u"A001", u"--sex", u"男" }));
    add(args({ u"--name", u"乙", u"--type", u"同学", u"--nl", u"农历2006年闰07月15日", u"--rule",
        u"nl", u"--sms", u"否" }));
    EXPECT_EQ(stored("About,strGL,strNL,blnIsGL,intnums,Class,[No],Sex,Duanxin"),
        (QStringList {
            u"甲|公历1976年 02月25日|农历1976年 01月26日|按公历提醒|7|销售部|A001|男|否"_s,
            u"乙|公历2006年 09月07日|农历2006年闰07月15日|按农历提醒|7||||否"_s }));
}

// The lunar date as the command line takes it: the forms a person types become the stored one
// (the stored leap-month form is added above).
struct LunarFormRow
{
    const char *situation;
    QString nl;
    QString strNL;
};

const LunarFormRow LunarForms[] = {
    { "stored layout without the blank", u"农历1990年01月01日"_s, u"农历1990年 01月01日"_s },
    { "dashes without zeros", u"1990-1-1"_s, u"农历1990年 01月01日"_s },
    { "year, month and day characters", u"1990年5月1日"_s, u"农历1990年 05月01日"_s },
    { "the calendar's month and day names", u"1990年正月初一"_s, u"农历1990年 01月01日"_s },
    { "year in Chinese numerals, 腊月 and 廿", u"农历一九九〇年腊月廿九"_s,
        u"农历1990年 12月29日"_s },
    { "leap month in words", u"2009年闰五月初一"_s, u"农历2009年闰05月01日"_s },
    { "counted month, day as the picker lists it, 日", u"1990年十一月二一日"_s,
        u"农历1990年 11月21日"_s },
};

class AddLunarForms : public birthdayCommands, public testing::WithParamInterface<LunarFormRow>
{
};

TEST_P(AddLunarForms, StoreTheDateInItsLayout)
{
    add({ u"--name"_s, u"张三"_s, u"--type"_s, u"朋友"_s, u"--rule"_s, u"nl"_s, u"--nl"_s,
        GetParam().nl });
    EXPECT_EQ(stored("strNL"), QStringList { GetParam().strNL });
}

INSTANTIATE_TEST_SUITE_P(
    Editor, AddLunarForms, testing::ValuesIn(LunarForms), natalis::test::BySituation());

struct RefusalRow
{
    const char *situation;
    QStringList options;
    QString message; // empty: only the exit code is checked
};

class AddRefusals : public birthdayCommands, public testing::WithParamInterface<RefusalRow>
{
};

// The editor's checks are the store's (its tests hold their rules); here that a refusal is told
// and nothing is stored, and the command line's own checks of its options.
TEST_P(AddRefusals, ExitTwoWithTheEditorsMessage)
{
    add(args({ u"--name", u"李四", u"--type", u"朋友", u"--gl", u"1980-01-01" }));
    const CliResult result = cli(QStringList { QStringLiteral("add") } + GetParam().options);
    EXPECT_EQ(result.exitCode, 2);
    if (!GetParam().message.isEmpty()) {
        EXPECT_EQ(result.err, QStringLiteral("natalis-cli: ") + GetParam().message + u'\n');
    }
    EXPECT_EQ(stored("About"), QStringList { u"李四"_s });
}

INSTANTIATE_TEST_SUITE_P(Editor, AddRefusals,
    // Refused, not cleaned away as the editor does: the line break was typed on purpose.
    testing::Values(
        RefusalRow { "line feed in the name", args({ u"--name", u"王\n五", u"--type", u"朋友" }),
            u"生日名称不能含有制表符、换行符等控制字符！"_s },
        RefusalRow { "Gregorian day before the pickers' range",
            args({ u"--name", u"王五", u"--type", u"朋友", u"--gl", u"1901-02-28" }), {} },
        RefusalRow { "unknown kind",
            args({ u"--name", u"王五", u"--type", u"朋友", u"--kind", u"寿辰" }),
            u"--kind is 生日, 纪念日 or 忌日"_s },
        RefusalRow { "a lunar date without a year by the Gregorian rule",
            args({ u"--name", u"王五", u"--type", u"朋友", u"--nl", u"3-5", u"--rule", u"gl" }),
            {} },
        RefusalRow { "both calendars",
            args({ u"--name", u"王五", u"--type", u"朋友", u"--gl", u"1980-01-01", u"--nl",
                u"1980-1-1" }),
            {} }),
    natalis::test::BySituation());

// Edit and delete find a birthday by name and category and change it through the editor's
// checks; here what they store and that a refusal stores nothing.
struct ChangeRow
{
    const char *situation;
    QStringList arguments;
    int exitCode;
    QStringList stored; // About|Type|Tel|strGL in Id order afterwards
};

class ChangeCommands : public birthdayCommands, public testing::WithParamInterface<ChangeRow>
{
};

TEST_P(ChangeCommands, ChangeTheNamedBirthdayOnly)
{
    add(args({ u"--name", u"李四", u"--type", u"朋友", u"--gl", u"1980-01-01" }));
    add(args({ u"--name", u"王五", u"--type", u"朋友", u"--tel", u"12345" }));
    const CliResult result = cli(GetParam().arguments);
    EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.err.toStdString();
    EXPECT_EQ(stored("About,Type,Tel,strGL"), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Editor, ChangeCommands,
    testing::Values(ChangeRow { "one field given, the others kept",
                        args({ u"edit", u"--name", u"李四", u"--type", u"朋友", u"--tel", u"139" }),
                        0, { u"李四|朋友|139|公历1980年 01月01日"_s, u"王五|朋友|12345|"_s } },
        ChangeRow { "renamed and moved to another category",
            args({ u"edit", u"--name", u"王五", u"--type", u"朋友", u"--new-name", u"王老五",
                u"--new-type", u"客户" }),
            0, { u"李四|朋友||公历1980年 01月01日"_s, u"王老五|客户|12345|"_s } },
        ChangeRow { "the same name in another category is someone else",
            args({ u"delete", u"--name", u"王五", u"--type", u"客户" }), 2,
            { u"李四|朋友||公历1980年 01月01日"_s, u"王五|朋友|12345|"_s } },
        ChangeRow { "deleted", args({ u"delete", u"--name", u"李四", u"--type", u"朋友" }), 0,
            { u"王五|朋友|12345|"_s } }),
    natalis::test::BySituation());

} // namespace
