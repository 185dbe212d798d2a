#include "dboption.h"

#include "clicommand.h"
#include "platform/dblocation.h"

#include <QCoreApplication>

namespace natalis::cli {

QCommandLineOption dbOption()
{
    return QCommandLineOption(QStringLiteral("db"),
        Help::tr("database file (default: the one natalis opens)"), QStringLiteral("PATH"));
}

QString programDbPath()
{
    const QString folder = QCoreApplication::applicationDirPath();
    return app::defaultDbPath(
        folder, app::keepsDatabaseBesideProgram(folder), app::userDataFolder());
}

QString dbPath(const QCommandLineParser &parser)
{
    return parser.isSet(QStringLiteral("db")) ? parser.value(QStringLiteral("db"))
                                              : programDbPath();
}

} // namespace natalis::cli
