// natalis-cli sync: one push of the birthdays to a calendar server and one two-way sync with an
// address book, for a timer or cron.

#include "clicommand.h"
#include "dboption.h"
#include "platform/clock.h"
#include "store/birthdays.h"
#include "store/cardsync.h"
#include "store/categories.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/dberror.h"
#include "store/syncstate.h"
#include "sync/calendarpush.h"
#include "sync/cardsync.h"
#include "sync/credentials.h"

#include <cstdio>

namespace natalis::cli {

namespace {

// A server computing a large listing may keep the first byte back for minutes: a person at
// the terminal, or a cron log, should see that the sync is not hanging.
void showWaiting()
{
    std::fprintf(stderr, "%s\n", sync::waitingForServerText().toUtf8().constData());
}

int runSync(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Help::tr(
        "Puts the birthdays into the calendar collection at --calendar (made when missing) and\n"
        "brings it up to date: lunar birthdays as one event a year for the years ahead, the\n"
        "others as a yearly event. Only events natalis made are changed or deleted. Prints what\n"
        "it created, updated and deleted and how many requests that took. https is required\n"
        "except for a server on this computer or the local network.\n"
        "With --addressbook it also syncs the birthdays both ways with that address book (made\n"
        "when missing), one card per birthday, and prints what it pushed and pulled and the\n"
        "conflicts it decided. When the address book is gone from the server, was emptied or\n"
        "would take more than half of the birthdays here with it, nothing is deleted and the\n"
        "exit code is 1 until --restore-server or --accept-deletions says what to do.\n"
        "A failed sync prints no counts, only the reason, and exits with 1."));
    parser.addOption(dbOption());
    parser.addOption(QCommandLineOption(QStringLiteral("calendar"),
        Help::tr("the calendar collection's address"), QStringLiteral("URL")));
    parser.addOption(QCommandLineOption(QStringLiteral("addressbook"),
        Help::tr("the address book's address"), QStringLiteral("URL")));
    parser.addOption(QCommandLineOption(QStringLiteral("category"),
        Help::tr("the category of new cards that name none (default: the settings', else 朋友)"),
        QStringLiteral("NAME")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("user"), Help::tr("the server's user name"), QStringLiteral("NAME")));
    parser.addOption(QCommandLineOption(QStringLiteral("password-file"),
        Help::tr("a file whose first line is the password"), QStringLiteral("FILE")));
    parser.addOption(
        QCommandLineOption(QStringLiteral("years"), Help::tr("years ahead, 1 to 50 (default 10)"),
            QStringLiteral("N"), QString::number(sync::DefaultSyncYears)));
    parser.addOption(QCommandLineOption(QStringLiteral("restore-server"),
        Help::tr("put every birthday here back into the address book")));
    parser.addOption(QCommandLineOption(QStringLiteral("accept-deletions"),
        Help::tr("delete here too what the address book no longer has, however many")));
    parser.addOption(QCommandLineOption(QStringLiteral("festivals"),
        Help::tr("the festivals and solar terms too, in a calendar beside it")));
    if (const std::optional<int> exit = parseCommandLine(parser, QStringLiteral("sync"), arguments))
        return *exit;
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("sync takes no arguments"));
    const bool toCalendar = parser.isSet(QStringLiteral("calendar"));
    const bool toAddressBook = parser.isSet(QStringLiteral("addressbook"));
    if ((!toCalendar && !toAddressBook) || !parser.isSet(QStringLiteral("user"))
        || !parser.isSet(QStringLiteral("password-file")))
        return fail(
            QStringLiteral("sync needs --calendar or --addressbook, --user and --password-file"));
    const bool restore = parser.isSet(QStringLiteral("restore-server"));
    const bool accept = parser.isSet(QStringLiteral("accept-deletions"));
    if ((restore || accept) && (!toAddressBook || (restore && accept)))
        return fail(QStringLiteral(
            "--restore-server or --accept-deletions, one of them, goes with --addressbook"));
    QString category = parser.value(QStringLiteral("category"));
    if (parser.isSet(QStringLiteral("category")) && store::categoryIndex(category) < 0)
        return fail(
            QStringLiteral("--category is one of 同事 客户 代理商 供应商 家人 同学 朋友 其他"));
    bool isNumber = false;
    const int years = parser.value(QStringLiteral("years")).toInt(&isNumber);
    if (!isNumber || years < 1 || years > 50)
        return fail(QStringLiteral("--years is 1 to 50"));
    const QUrl calendar(parser.value(QStringLiteral("calendar")), QUrl::StrictMode);
    const QUrl addressBook(parser.value(QStringLiteral("addressbook")), QUrl::StrictMode);
    for (const QUrl &url : { calendar, addressBook }) {
        if (url.isEmpty())
            continue;
        if (const sync::TransportCheck check = sync::checkTransport(url); !check.allowed)
            return fail(check.refusal);
    }
    QString unread;
    const std::optional<QString> password =
        sync::FilePasswordStore(parser.value(QStringLiteral("password-file")))
            .read(parser.value(QStringLiteral("user")), &unread);
    if (!password)
        return fail(unread);

    const QString path = dbPath(parser);
    store::DbError error;
    // A computer new to the list starts from the address book, so its file may not exist yet.
    std::optional<store::Connection> connection =
        openDb(path, toAddressBook ? DbUse::ChangeOrCreate : DbUse::Change, &error);
    if (!connection)
        return fail(QStringLiteral("cannot open %1: %2").arg(path, error.description), Refused);
    const QDateTime now = app::clockFromEnvironment()->now();
    // The address book first, so that what it brings in reaches the calendar in the same run.
    if (toAddressBook) {
        sync::CardSyncOptions cards;
        cards.addressBook = addressBook;
        if (category.isEmpty())
            category = store::readSyncSetting(*connection, store::SyncCardCategoryKey);
        if (store::categoryIndex(category) >= 0)
            cards.category = category;
        cards.now = now;
        cards.deletions = restore ? sync::DeletionChoice::RestoreServer
            : accept              ? sync::DeletionChoice::AcceptDeletions
                                  : sync::DeletionChoice::Ask;
        sync::DavClient client({ parser.value(QStringLiteral("user")), *password });
        client.waitingForServer = showWaiting;
        // Only the address given: one the server moves to is printed in the failure, for the
        // user to run again with.
        client.trustOrigin(addressBook);
        const sync::CardSyncResult result = sync::syncAddressBook(*connection, client, cards);
        if (!result.warning.isEmpty())
            std::fprintf(stderr, "%s\n", result.warning.toUtf8().constData());
        // A held deletion says which choice answers it here.
        if (!result.ok)
            return fail(QStringLiteral("通讯录同步失败: %1%2")
                            .arg(result.error,
                                result.held > 0 ? QStringLiteral(" (--restore-server 或 "
                                                                 "--accept-deletions)")
                                                : QString()),
                Refused);
        printLine(QStringLiteral("pushed %1 pulled %2 conflicts %3 requests %4")
                      .arg(result.pushed)
                      .arg(result.pulled)
                      .arg(result.conflicts.size())
                      .arg(result.requests));
        for (const store::CardConflict &conflict : result.conflicts)
            printLine(sync::conflictText(conflict));
        if (!toCalendar)
            return Success;
    }
    const store::BirthdayLoad load = store::LoadBirthdays(*connection);
    if (load.error)
        return fail(
            QStringLiteral("cannot read the birthdays: %1").arg(load.error->description), Refused);

    sync::SyncOptions options;
    options.calendar = calendar;
    options.years = years;
    options.festivals = parser.isSet(QStringLiteral("festivals"));
    options.now = now;
    sync::DavClient client({ parser.value(QStringLiteral("user")), *password });
    client.waitingForServer = showWaiting;
    client.trustOrigin(calendar);
    const sync::SyncResult result = sync::pushBirthdays(*connection,
        load.HasBirthdays ? load.Birthdays : QList<store::BirthdayRecord>(), client, options);
    if (!result.warning.isEmpty())
        std::fprintf(stderr, "%s\n", result.warning.toUtf8().constData());
    if (!result.ok)
        return fail(QStringLiteral("日历同步失败: %1").arg(result.error), Refused);
    printLine(QStringLiteral("created %1 updated %2 deleted %3 requests %4")
                  .arg(result.created)
                  .arg(result.updated)
                  .arg(result.deleted)
                  .arg(result.requests));
    return Success;
}

int runSyncConflicts(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Help::tr(
        "Lists what address-book syncs overruled, newest first: a field changed here and on the\n"
        "server, the value kept and the one overruled, with the time the sync decided it."));
    parser.addOption(dbOption());
    if (const std::optional<int> exit =
            parseCommandLine(parser, QStringLiteral("sync-conflicts"), arguments))
        return *exit;
    const QString path = dbPath(parser);
    store::DbError error;
    std::optional<store::Connection> connection = openDb(path, DbUse::Read, &error);
    if (!connection)
        return fail(QStringLiteral("cannot open %1: %2").arg(path, error.description), Refused);
    try {
        for (const store::CardConflict &conflict : store::readCardConflicts(*connection))
            printLine(conflict.time.toString(Qt::ISODate) + u'\t' + sync::conflictText(conflict));
    } catch (const store::DbException &exception) {
        return fail(exception.error().description, Refused);
    }
    return Success;
}

} // namespace

QList<Command> syncCommands()
{
    return {
        { QStringLiteral("sync"),
            Help::tr("bring the calendar and address-book servers up to date"), runSync },
        { QStringLiteral("sync-conflicts"),
            Help::tr("what address-book syncs overruled, newest first"), runSyncConflicts },
    };
}

} // namespace natalis::cli
