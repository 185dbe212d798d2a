// natalis-cli sync: one push of the birthdays to a calendar server, for a timer or cron.

#include "clicommand.h"
#include "dboption.h"
#include "platform/clock.h"
#include "store/birthdays.h"
#include "store/connection.h"
#include "store/database.h"
#include "sync/calendarpush.h"
#include "sync/credentials.h"

#include <cstdio>

namespace natalis::cli {

namespace {

int runSync(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Puts the birthdays into the calendar collection at --calendar (made when missing) and\n"
        "brings it up to date: lunar birthdays as one event a year for the years ahead, the\n"
        "others as a yearly event. Only events natalis made are changed or deleted. Prints what\n"
        "it created, updated and deleted and how many requests that took. https is required\n"
        "except for a server on this computer or the local network."));
    parser.addOption(dbOption());
    parser.addOption(QCommandLineOption(QStringLiteral("calendar"),
        QStringLiteral("the calendar collection's address"), QStringLiteral("URL")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("user"), QStringLiteral("the server's user name"), QStringLiteral("NAME")));
    parser.addOption(QCommandLineOption(QStringLiteral("password-file"),
        QStringLiteral("a file whose first line is the password"), QStringLiteral("FILE")));
    parser.addOption(QCommandLineOption(QStringLiteral("years"),
        QStringLiteral("years ahead, 1 to 50 (default 10)"), QStringLiteral("N"),
        QString::number(sync::DefaultSyncYears)));
    parser.addOption(QCommandLineOption(QStringLiteral("festivals"),
        QStringLiteral("the festivals and solar terms too, in a calendar beside it")));
    if (const std::optional<int> exit = parseCommandLine(parser, QStringLiteral("sync"), arguments))
        return *exit;
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("sync takes no arguments"));
    for (const char *required : { "calendar", "user", "password-file" }) {
        if (!parser.isSet(QString::fromLatin1(required)))
            return fail(QStringLiteral("sync needs --calendar, --user and --password-file"));
    }
    bool isNumber = false;
    const int years = parser.value(QStringLiteral("years")).toInt(&isNumber);
    if (!isNumber || years < 1 || years > 50)
        return fail(QStringLiteral("--years is 1 to 50"));
    const QUrl calendar(parser.value(QStringLiteral("calendar")), QUrl::StrictMode);
    if (const sync::TransportCheck check = sync::checkTransport(calendar); !check.allowed)
        return fail(check.refusal);
    QString unread;
    const std::optional<QString> password =
        sync::FilePasswordStore(parser.value(QStringLiteral("password-file")))
            .read(parser.value(QStringLiteral("user")), &unread);
    if (!password)
        return fail(unread);

    const QString path = dbPath(parser);
    store::DbError error;
    std::optional<store::Connection> connection =
        store::Connection::open(path, store::Connection::OpenMode::ExistingOnly, &error);
    if (!connection)
        return fail(QStringLiteral("cannot open %1: %2").arg(path, error.description), Refused);
    const store::BirthdayLoad load = store::LoadBirthdays(*connection);
    if (load.error)
        return fail(
            QStringLiteral("cannot read the birthdays: %1").arg(load.error->description), Refused);

    sync::SyncOptions options;
    options.calendar = calendar;
    options.years = years;
    options.festivals = parser.isSet(QStringLiteral("festivals"));
    options.now = app::clockFromEnvironment()->now();
    sync::DavClient client({ parser.value(QStringLiteral("user")), *password });
    const sync::SyncResult result = sync::pushBirthdays(*connection,
        load.HasBirthdays ? load.Birthdays : QList<store::BirthdayRecord>(), client, options);
    if (!result.warning.isEmpty())
        std::fprintf(stderr, "%s\n", result.warning.toUtf8().constData());
    printLine(QStringLiteral("created %1 updated %2 deleted %3 requests %4")
                  .arg(result.created)
                  .arg(result.updated)
                  .arg(result.deleted)
                  .arg(result.requests));
    if (!result.ok)
        return fail(QStringLiteral("日历同步失败: %1").arg(result.error), Refused);
    return Success;
}

} // namespace

QList<Command> syncCommands()
{
    return {
        { QStringLiteral("sync"), Help::tr("bring a calendar server's birthdays up to date"),
            runSync },
    };
}

} // namespace natalis::cli
