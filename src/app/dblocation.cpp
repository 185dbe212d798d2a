#include "app/dblocation.h"

#include "store/database.h"

#include <QDir>
#include <QFileInfo>

namespace natalis::app {

QString defaultDbPath(const QString &appFolder, bool appFolderWritable, const QString &dataFolder)
{
    const QString folder = appFolderWritable ? appFolder : dataFolder;
    return QDir(folder).filePath(store::DefaultDbFileName.toString());
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

} // namespace natalis::app
