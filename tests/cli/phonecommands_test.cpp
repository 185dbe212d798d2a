#include "support/clirun.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using natalis::test::CliResult;

class phoneCommands : public testing::Test
{
protected:
    CliResult cli(const QStringList &arguments) const
    {
        return natalis::test::runCli(
            QStringLiteral(NATALIS_CLI_PATH), arguments, { u"NATALIS_NOW=2025-06-01T10:00"_s });
    }

    QByteArray read(const QString &name) const
    {
        QFile file(folder.path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void addLunarBirthday() const
    {
        ASSERT_EQ(
            cli({ u"add"_s, u"--db"_s, db, u"--name"_s, u"张三"_s, u"--type"_s, u"家人"_s,
                    u"--nl"_s, u"1960-8-15"_s, u"--rule"_s, u"nl"_s, u"--tel"_s, u"13800138000"_s })
                .exitCode,
            0);
    }

    natalis::test::TempDatabase folder;
    QString db = folder.path(u"a.mdb"_s);
};

TEST_F(phoneCommands, IcsStartsInTheClocksYearAndEndsWithTheCalendar)
{
    addLunarBirthday();
    const QString file = folder.path(u"out.ics"_s);
    const CliResult written = cli({ u"ics"_s, u"--db"_s, db, u"--years"_s, u"2"_s, file });
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_EQ(written.out, u"生日成功导出到"_s + file + u",共2个日历事件\n"_s);
    const QByteArray ics = read(u"out.ics"_s);
    EXPECT_TRUE(ics.contains("DTSTART;VALUE=DATE:20251006\r\n"));
    EXPECT_TRUE(ics.contains("DTSTART;VALUE=DATE:20260925\r\n"));
    EXPECT_TRUE(ics.contains("DTSTAMP:20250601T"));

    const CliResult festivals = cli({ u"ics"_s, u"--db"_s, db, u"--from"_s, u"2100"_s, u"--years"_s,
        u"5"_s, u"--festivals"_s, file });
    EXPECT_EQ(festivals.out, u"生日成功导出到"_s + file + u",共36个日历事件\n"_s);
    EXPECT_EQ(cli({ u"ics"_s, u"--db"_s, db, u"--from"_s, u"2101"_s, file }).exitCode, 2);
}

TEST_F(phoneCommands, ImportListsCardsWithoutBirthday)
{
    folder.write(u"c.vcf"_s,
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:无生日\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:有生日\r\nBDAY:1980-01-01\r\nEND:VCARD\r\n");
    const CliResult imported = cli({ u"import"_s, u"--db"_s, db, u"--layout"_s, u"vcf"_s,
        u"--dry-run"_s, folder.path(u"c.vcf"_s) });
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.startsWith(u"1张名片没有生日,未导入:无生日\n"_s));
    EXPECT_TRUE(imported.out.contains(u"add\t有生日\t朋友\t"_s));
    const CliResult badCategory = cli({ u"import"_s, u"--db"_s, db, u"--layout"_s, u"vcf"_s,
        u"--category"_s, u"路人"_s, folder.path(u"c.vcf"_s) });
    EXPECT_EQ(badCategory.exitCode, 2);
}

} // namespace
