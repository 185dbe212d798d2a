#include "support/clirun.h"
#include "support/qtprinters.h"
#include "support/queryrows.h"
#include "support/tempdatabase.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Entries of every kind, rule and leap rule, added as a script would, and the days `dates`
// lists for each: tests/cli/data/dates.tsv, one block an entry under its name.
TEST(DatesCommand, ListsEachEntrysDaysByItsRule)
{
    const natalis::test::TempDatabase database;
    const auto cli = [&](QStringList arguments) {
        arguments.insert(1, u"--db"_s);
        arguments.insert(2, database.path());
        return natalis::test::runCli(
            QStringLiteral(NATALIS_CLI_PATH), arguments, { u"NATALIS_NOW=2025-01-01T08:00"_s });
    };
    const QList<QStringList> entries = {
        { u"奶奶"_s, u"--nl"_s, u"2005-3-7"_s, u"--rule"_s, u"nl"_s, u"--kind"_s, u"忌日"_s,
            u"--days"_s, u"7,1,0"_s },
        { u"结婚"_s, u"--gl"_s, u"2015-04-04"_s, u"--kind"_s, u"纪念日"_s },
        { u"小明"_s, u"--gl"_s, u"02-29"_s },
        { u"阿姨"_s, u"--nl"_s, u"闰6-1"_s, u"--leap"_s, u"跳过"_s },
        { u"表哥"_s, u"--nl"_s, u"2023-闰2-10"_s, u"--rule"_s, u"nl"_s },
        { u"除夕"_s, u"--nl"_s, u"12-30"_s },
    };
    QString listed;
    for (const QStringList &entry : entries) {
        const auto added =
            cli(QStringList { u"add"_s, u"--type"_s, u"家人"_s, u"--name"_s } + entry);
        ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
        const auto dates = cli(
            { u"dates"_s, u"--type"_s, u"家人"_s, u"--name"_s, entry[0], u"--count"_s, u"4"_s });
        ASSERT_EQ(dates.exitCode, 0) << dates.err.toStdString();
        listed += u"== "_s + entry[0] + u'\n' + dates.out;
    }
    QFile golden(QStringLiteral(NATALIS_TEST_DATA_DIR "/dates.tsv"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_EQ(listed, QString::fromUtf8(golden.readAll()));

    auto connection = natalis::store::Connection::open(
        database.path(), natalis::store::Connection::OpenMode::ExistingOnly);
    EXPECT_EQ(natalis::test::queryRows(*connection,
                  "select strGL,strNL,blnIsGL,intnums,Kind,RemindDays,LeapRule from birthday "
                  "where About in ('奶奶','阿姨') order by Id"),
        (QStringList { u"公历2005年 04月15日|农历2005年 03月07日|按农历提醒|7|忌日|7,1,0|平月"_s,
            u"|农历0000年闰06月01日|按农历提醒|7|生日||跳过"_s }));
}

} // namespace
