#include "desktop/autostart.h"
#include "desktop/desktopshortcut.h"
#include "platform/installlayout.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace natalis::app {
namespace {

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The entries the settings dialog writes show the installed launcher's icon, by its theme name.
TEST(LauncherIcon, AutostartEntryAndDesktopShortcutUseTheLaunchersIcon)
{
    QTemporaryDir folder;
    const QString icon = QStringLiteral("\nIcon=") + desktopAppId() + u'\n';

    ASSERT_TRUE(createXdgAutoStart(folder.filePath(QStringLiteral("autostart")))
                    ->enable(QStringLiteral("/usr/bin/natalis"), QStringLiteral("/home/li/a.mdb")));
    EXPECT_TRUE(
        readAll(folder.filePath(QStringLiteral("autostart/natalis.desktop"))).contains(icon));

    ASSERT_EQ(createDesktopShortcut(folder.filePath(QStringLiteral("Desktop")))
                  ->create(QStringLiteral("/usr/bin/natalis"), QStringLiteral("/home/li/a.mdb")),
        DesktopShortcut::Result::Created);
    EXPECT_TRUE(readAll(folder.filePath(QStringLiteral("Desktop/青萍生日提醒软件v4.0.desktop")))
                    .contains(icon));
}

} // namespace
} // namespace natalis::app
