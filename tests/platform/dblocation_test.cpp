#include "platform/dblocation.h"
#include "platform/installlayout.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace natalis::app {
namespace {

struct LocationCase
{
    const char *situation;
    QString appFolder;
    bool writable;
    QString expected;

    friend void PrintTo(const LocationCase &row, std::ostream *os) { *os << row.situation; }
};

const LocationCase LocationCases[] = {
    { "program folder", u"/opt/natalis"_s, true, u"/opt/natalis/natalis.mdb"_s },
    { "folder given with a trailing separator", u"/opt/natalis/"_s, true,
        u"/opt/natalis/natalis.mdb"_s },
    { "root folder", u"/"_s, true, u"/natalis.mdb"_s },
    { "read-only program folder", u"/usr/bin"_s, false,
        u"/home/u/.local/share/natalis/natalis.mdb"_s },
};

class DefaultDbPathTest : public testing::TestWithParam<LocationCase>
{
};

TEST_P(DefaultDbPathTest, HasOneSeparatorBeforeTheName)
{
    EXPECT_EQ(
        defaultDbPath(GetParam().appFolder, GetParam().writable, u"/home/u/.local/share/natalis"_s),
        GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, DefaultDbPathTest, testing::ValuesIn(LocationCases), test::BySituation());

// The layouts a program may be started from, built in a temporary folder.
struct ProgramFolderCase
{
    const char *situation;
    QString programFolder; // relative to the temporary folder
    QString launcher; // a file to create first, relative too; empty for none
    bool readOnly;
    bool besideProgram;

    friend void PrintTo(const ProgramFolderCase &row, std::ostream *os) { *os << row.situation; }
};

const ProgramFolderCase ProgramFolderCases[] = {
    { "build folder", u"build/bin"_s, QString(), false, true },
    { "unpacked copy with a foreign launcher beside it", u"copy/bin"_s,
        u"copy/share/applications/other.desktop"_s, false, true },
    { "installed prefix, writable as for root", u"usr/bin"_s,
        u"usr/share/applications/"_s + desktopAppId() + u".desktop"_s, false, false },
    { "read-only program folder", u"ro/bin"_s, QString(), true, false },
};

class ProgramFolderTest : public testing::TestWithParam<ProgramFolderCase>
{
protected:
    ~ProgramFolderTest() override
    {
        if (!folder.isEmpty())
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QTemporaryDir root;
    QString folder;
};

TEST_P(ProgramFolderTest, DecidesWhereTheDefaultDatabaseLies)
{
    const ProgramFolderCase &row = GetParam();
    // root writes every folder whatever its mode, so the read-only case cannot be built for it.
    if (row.readOnly && geteuid() == 0)
        GTEST_SKIP() << "running as root";
    QDir(root.path()).mkpath(row.programFolder);
    if (!row.launcher.isEmpty()) {
        QDir(root.path()).mkpath(QFileInfo(row.launcher).path());
        QFile file(root.filePath(row.launcher));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    folder = root.filePath(row.programFolder);
    if (row.readOnly)
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);

    EXPECT_EQ(keepsDatabaseBesideProgram(folder), row.besideProgram);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ProgramFolderTest, testing::ValuesIn(ProgramFolderCases), test::BySituation());

} // namespace
} // namespace natalis::app
