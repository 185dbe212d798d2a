// A damaged database is the user's only copy until a backup is restored: no command may write
// into it, and every command that would change it says why it refuses.
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/clirun.h"
#include "support/tempdatabase.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct DamagedRow
{
    const char *situation;
    QStringList arguments; // DB and FILE stand for the fixture's database and a spare file
    bool changes; // a command that would write: it must refuse and name the damage
    int exitCode = 1; // its refusal
};

class DamagedFile : public testing::TestWithParam<DamagedRow>
{
protected:
    void SetUp() override
    {
        {
            natalis::store::Connection connection = folder.create();
            for (int i = 0; i < 300; ++i)
                natalis::store::AddBirthToMdb(connection,
                    natalis::test::gregorianBirthday(u"朋友%1"_s.arg(i), u"1980-05-12"_s),
                    natalis::test::EnteredAt);
        }
        folder.write(u"in.txt"_s, "LiSi\t\t\t\t1980-5-12\r\n");
        // It also serves as the sync's password file, which must be the owner's alone.
        QFile(folder.path(u"in.txt"_s)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        damaged = folder.damageLastPage();
    }

    QStringList arguments() const
    {
        QStringList filled;
        for (const QString &argument : GetParam().arguments)
            filled << (argument == u"DB"  ? folder.path()
                    : argument == u"FILE" ? folder.path(u"in.txt"_s)
                                          : argument);
        return filled;
    }

    natalis::test::TempDatabase folder;
    QByteArray damaged;
};

TEST_P(DamagedFile, IsLeftByteForByte)
{
    const natalis::test::CliResult result =
        natalis::test::runCli(QStringLiteral(NATALIS_CLI_PATH), arguments());
    EXPECT_EQ(folder.bytes(), damaged);
    if (GetParam().changes) {
        EXPECT_EQ(result.exitCode, GetParam().exitCode);
        EXPECT_TRUE(result.err.contains(u"文件已损坏"_s)) << result.err.toStdString();
    }
}

const DamagedRow Rows[] = {
    { "add",
        { u"add"_s, u"--db"_s, u"DB"_s, u"--name"_s, u"李四"_s, u"--type"_s, u"朋友"_s, u"--gl"_s,
            u"1990-01-02"_s },
        true },
    { "edit",
        { u"edit"_s, u"--db"_s, u"DB"_s, u"--name"_s, u"朋友1"_s, u"--type"_s, u"朋友"_s,
            u"--tel"_s, u"139"_s },
        true },
    { "delete",
        { u"delete"_s, u"--db"_s, u"DB"_s, u"--name"_s, u"朋友1"_s, u"--type"_s, u"朋友"_s },
        true },
    { "import", { u"import"_s, u"--db"_s, u"DB"_s, u"FILE"_s }, true },
    { "automatic SMS", { u"sms-auto"_s, u"--db"_s, u"DB"_s, u"--date"_s, u"2026-05-12T09:00"_s },
        true, 4 },
    { "phone calendar", { u"ics"_s, u"--db"_s, u"DB"_s, u"FILE"_s }, true },
    { "address-book sync",
        { u"sync"_s, u"--db"_s, u"DB"_s, u"--addressbook"_s, u"http://127.0.0.1:9/b/"_s,
            u"--user"_s, u"u"_s, u"--password-file"_s, u"FILE"_s },
        true },
    { "listing of due birthdays", { u"due"_s, u"--db"_s, u"DB"_s, u"--date"_s, u"2026-05-10"_s },
        false },
    { "listing of sync conflicts", { u"sync-conflicts"_s, u"--db"_s, u"DB"_s }, false },
    { "export", { u"export"_s, u"--db"_s, u"DB"_s, u"FILE"_s }, false },
};

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, DamagedFile, testing::ValuesIn(Rows), natalis::test::BySituation());

} // namespace
