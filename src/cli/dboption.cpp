#include "dboption.h"

#include "app/dblocation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace natalis::cli {

QCommandLineOption dbOption()
{
    return QCommandLineOption(QStringLiteral("db"),
        QStringLiteral("database file (default: the one natalis opens)"), QStringLiteral("PATH"));
}

QString programDbPath()
{
    const QString folder = QCoreApplication::applicationDirPath();
    return app::defaultDbPath(folder, QFileInfo(folder).isWritable(),
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

QString dbPath(const QCommandLineParser &parser)
{
    return parser.isSet(QStringLiteral("db")) ? parser.value(QStringLiteral("db"))
                                              : programDbPath();
}

} // namespace natalis::cli
