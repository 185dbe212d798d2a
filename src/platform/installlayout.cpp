#include "platform/installlayout.h"

#include <QDir>
#include <QFileInfo>

namespace natalis::platform {

QString desktopAppId()
{
    return QStringLiteral(NATALIS_APP_ID);
}

bool isInstalledProgramFolder(const QString &appFolder)
{
    // Relative, so that an installation under any prefix (or a package unpacked elsewhere) is
    // recognised.
    const QString launcher =
        QDir(appFolder).filePath(QStringLiteral(NATALIS_DATADIR_FROM_BINDIR "/applications/")
            + desktopAppId() + QStringLiteral(".desktop"));
    return QFileInfo::exists(launcher);
}

} // namespace natalis::platform
