#include "platform/dblocation.h"

#include "platform/installlayout.h"
#include "store/database.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace natalis::platform {

QString defaultDbPath(const QString &appFolder, bool appFolderWritable, const QString &dataFolder)
{
    const QString folder = appFolderWritable ? appFolder : dataFolder;
    return QDir(folder).filePath(store::DefaultDbFileName.toString());
}

bool keepsDatabaseBesideProgram(const QString &appFolder)
{
    return QFileInfo(appFolder).isWritable() && !isInstalledProgramFolder(appFolder);
}

QString userDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString newDatabaseNotice(const QString &dbPath)
{
    return QStringLiteral("生日数据库已建立在:") + QDir::toNativeSeparators(dbPath);
}

QString dbPathFromArguments(const QStringList &positional)
{
    return positional.join(QLatin1Char(' '));
}

QString absoluteDbPath(const QString &path)
{
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical;
}

} // namespace natalis::platform
