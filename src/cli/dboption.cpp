#include "dboption.h"

#include "clicommand.h"
#include "platform/dblocation.h"
#include "store/birthdays.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/dberror.h"

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
    return platform::defaultDbPath(
        folder, platform::keepsDatabaseBesideProgram(folder), platform::userDataFolder());
}

QString dbPath(const QCommandLineParser &parser)
{
    return parser.isSet(QStringLiteral("db")) ? parser.value(QStringLiteral("db"))
                                              : programDbPath();
}

std::optional<store::Connection> openDb(const QString &path, DbUse use, store::DbError *error)
{
    using Mode = store::Connection::OpenMode;
    std::optional<store::Connection> connection = use == DbUse::ChangeOrCreate
        ? store::OpenBirthDb(path, error)
        : store::Connection::open(
            path, use == DbUse::Read ? Mode::ReadOnly : Mode::ExistingOnly, error);
    if (!connection || use == DbUse::Read)
        return connection;
    if (std::optional<store::DbError> damage = store::findDamage(*connection)) {
        if (error)
            *error = *damage;
        return std::nullopt;
    }
    return connection;
}

std::variant<int, store::BirthdayLoad> readBirthdays(const QCommandLineParser &parser)
{
    const QString path = dbPath(parser);
    store::DbError error;
    std::optional<store::Connection> connection = openDb(path, DbUse::Read, &error);
    if (!connection)
        return fail(QStringLiteral("cannot open %1: %2").arg(path, error.description), Refused);
    store::BirthdayLoad load = store::LoadBirthdays(*connection);
    if (load.error)
        return fail(
            QStringLiteral("cannot read the birthdays: %1").arg(load.error->description), Refused);
    return load;
}

} // namespace natalis::cli
