#include "app/dblocation.h"

#include "store/database.h"

#include <QDir>

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

} // namespace natalis::app
