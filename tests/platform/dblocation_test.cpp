#include "platform/dblocation.h"
#include "platform/installlayout.h"
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

TEST(DefaultDbPath, HasOneSeparatorBeforeTheName)
{
    const QString data = u"/home/u/.local/share/natalis"_s;
    EXPECT_EQ(
        platform::defaultDbPath(u"/opt/natalis"_s, true, data), u"/opt/natalis/natalis.mdb"_s);
    EXPECT_EQ(
        platform::defaultDbPath(u"/opt/natalis/"_s, true, data), u"/opt/natalis/natalis.mdb"_s)
        << "folder given with a trailing separator";
    EXPECT_EQ(platform::defaultDbPath(u"/"_s, true, data), u"/natalis.mdb"_s) << "root folder";
    EXPECT_EQ(platform::defaultDbPath(u"/usr/bin"_s, false, data), data + u"/natalis.mdb"_s)
        << "read-only program folder";
}

// The layouts a program may be started from, each built in a temporary folder.
TEST(KeepsDatabaseBesideProgram, DecidedByTheProgramFoldersLayout)
{
    const struct
    {
        const char *situation;
        QString programFolder; // relative to the temporary folder
        QString launcher; // a file to create first, relative too; empty for none
        bool readOnly;
        bool besideProgram;
    } rows[] = {
        { "build folder", u"build/bin"_s, QString(), false, true },
        { "unpacked copy with a foreign launcher beside it", u"copy/bin"_s,
            u"copy/share/applications/other.desktop"_s, false, true },
        { "installed prefix, writable as for root", u"usr/bin"_s,
            u"usr/share/applications/"_s + platform::desktopAppId() + u".desktop"_s, false, false },
        { "read-only program folder", u"ro/bin"_s, QString(), true, false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        // root writes every folder whatever its mode, so the read-only case cannot be built.
        if (row.readOnly && geteuid() == 0)
            continue;
        QTemporaryDir root;
        QDir(root.path()).mkpath(row.programFolder);
        if (!row.launcher.isEmpty() && QDir(root.path()).mkpath(QFileInfo(row.launcher).path()))
            QFile(root.filePath(row.launcher)).open(QIODevice::WriteOnly);
        const QString folder = root.filePath(row.programFolder);
        if (row.readOnly)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_EQ(platform::keepsDatabaseBesideProgram(folder), row.besideProgram);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

} // namespace
} // namespace natalis::app
