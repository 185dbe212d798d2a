#include "desktop/autostart.h"
#include "desktop/desktopentry.h"
#include "desktop/desktopshortcut.h"
#include "platform/installlayout.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace natalis;

namespace {

struct ExecRow
{
    const char *situation;
    QStringList command;
    QString exec; // as it stands after "Exec=" in the file

    friend void PrintTo(const ExecRow &row, std::ostream *os) { *os << row.situation; }
};

class ExecLine : public testing::TestWithParam<ExecRow>
{
};

TEST_P(ExecLine, QuotesWhatTheLauncherWouldSplit)
{
    EXPECT_EQ(desktop::desktopExecLine(GetParam().command), GetParam().exec);
}

INSTANTIATE_TEST_SUITE_P(Rows, ExecLine,
    testing::Values(
        ExecRow { "plain paths stay bare",
            { QStringLiteral("/opt/natalis/natalis"), QStringLiteral("/home/li/natalis.mdb") },
            QStringLiteral("/opt/natalis/natalis /home/li/natalis.mdb") },
        ExecRow { "folder with a blank is quoted",
            { QStringLiteral("/opt/natalis"), QStringLiteral("/home/li/My Data/生日.mdb") },
            QStringLiteral("/opt/natalis \"/home/li/My Data/生日.mdb\"") },
        ExecRow { "dollar and quote escaped inside quotes, backslash doubled for the file",
            { QStringLiteral("/a/$x\"y") }, QStringLiteral("\"/a/\\\\$x\\\\\"y\"") },
        ExecRow { "percent doubled so it is no field code", { QStringLiteral("/a/100%") },
            QStringLiteral("/a/100%%") }),
    natalis::test::BySituation());

// The entries the settings dialog writes start the program with the installed launcher's icon,
// by its theme name, and vanish from the desktop's view once that program is gone.
TEST(DesktopEntry, AutostartEntryAndDesktopShortcutStartTheProgramWithTheLaunchersIcon)
{
    QTemporaryDir folder;
    const QString bin = QStringLiteral("/usr/bin/natalis");
    const QString db = QStringLiteral("/home/li/a.mdb");
    ASSERT_TRUE(
        desktop::createXdgAutoStart(folder.filePath(QStringLiteral("autostart")))->enable(bin, db));
    ASSERT_EQ(
        desktop::createDesktopShortcut(folder.filePath(QStringLiteral("Desktop")))->create(bin, db),
        desktop::DesktopShortcut::Result::Created);
    for (const char *file :
        { "autostart/natalis.desktop", "Desktop/青萍生日提醒软件v4.0.desktop" }) {
        QFile entry(folder.filePath(QString::fromUtf8(file)));
        ASSERT_TRUE(entry.open(QIODevice::ReadOnly)) << file;
        const QString text = QString::fromUtf8(entry.readAll());
        EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n"))) << file;
        EXPECT_TRUE(text.contains(QStringLiteral("\nType=Application\n"))) << file;
        EXPECT_TRUE(text.contains(QStringLiteral("\nTryExec=/usr/bin/natalis\n"))) << file;
        EXPECT_TRUE(text.contains(QStringLiteral("\nExec=/usr/bin/natalis "))) << file;
        EXPECT_TRUE(text.contains(QStringLiteral("\nIcon=") + platform::desktopAppId() + u'\n'))
            << file;
    }
}

} // namespace
