#include "desktop/desktopentry.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::app;

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
    EXPECT_EQ(desktopExecLine(GetParam().command), GetParam().exec);
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

TEST(DesktopEntry, NamesTheLauncher)
{
    const QString entry = QString::fromUtf8(desktopEntry(
        QStringLiteral("青萍生日提醒软件v4.0"), QStringLiteral("/opt/natalis/natalis"), {}));
    EXPECT_TRUE(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nType=Application\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nName=青萍生日提醒软件v4.0\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=/opt/natalis/natalis\n")));
}

} // namespace
