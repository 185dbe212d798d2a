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
#include "sync/syncrun.h"

#include <cstdio>
#include <memory>
#include <variant>

namespace natalis::cli {

namespace {

// A server computing a large listing may keep the first byte back for minutes: a person at
// the terminal, or a cron log, should see that the sync is not hanging.
void showWaiting()
{
    std::fprintf(stderr, "%s\n", sync::waitingForServerText().toUtf8().constData());
}

void addSyncOptions(QCommandLineParser &parser)
{
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
}

// What one sync was asked to do.
struct SyncRequest
{
    std::optional<QUrl> calendar; // none: not asked for
    std::optional<QUrl> addressBook;
    QString category; // as given; empty: the settings'
    sync::DeletionChoice deletions = sync::DeletionChoice::Ask;
    int years = sync::DefaultSyncYears;
    bool festivals = false;
    sync::DavAccount account;
};

// The options' refusals in the order they are checked; nullopt when they go together.
std::optional<QString> optionsRefusal(const QCommandLineParser &parser)
{
    const bool toAddressBook = parser.isSet(QStringLiteral("addressbook"));
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("sync takes no arguments");
    if ((!parser.isSet(QStringLiteral("calendar")) && !toAddressBook)
        || !parser.isSet(QStringLiteral("user")) || !parser.isSet(QStringLiteral("password-file")))
        return QStringLiteral("sync needs --calendar or --addressbook, --user and --password-file");
    const bool restore = parser.isSet(QStringLiteral("restore-server"));
    const bool accept = parser.isSet(QStringLiteral("accept-deletions"));
    if ((restore || accept) && (!toAddressBook || (restore && accept)))
        return QStringLiteral(
            "--restore-server or --accept-deletions, one of them, goes with --addressbook");
    if (parser.isSet(QStringLiteral("category"))
        && store::categoryIndex(parser.value(QStringLiteral("category"))) < 0)
        return QStringLiteral("--category is one of 同事 客户 代理商 供应商 家人 同学 朋友 其他");
    bool isNumber = false;
    const int years = parser.value(QStringLiteral("years")).toInt(&isNumber);
    if (!isNumber || years < 1 || years > 50)
        return QStringLiteral("--years is 1 to 50");
    for (const char *option : { "calendar", "addressbook" }) {
        const QUrl url(parser.value(QString::fromLatin1(option)), QUrl::StrictMode);
        if (const sync::TransportCheck check = sync::checkTransport(url);
            !url.isEmpty() && !check.allowed)
            return check.refusal;
    }
    return std::nullopt;
}

// The request the options make, the password read from its file; the refusal when they do not
// make one.
std::variant<SyncRequest, QString> readSyncRequest(const QCommandLineParser &parser)
{
    if (std::optional<QString> refusal = optionsRefusal(parser))
        return *refusal;
    QString unread;
    const QString user = parser.value(QStringLiteral("user"));
    const std::optional<QString> password =
        sync::FilePasswordStore(parser.value(QStringLiteral("password-file"))).read(user, &unread);
    if (!password)
        return unread;
    SyncRequest request;
    for (auto [option, url] : { std::pair { "calendar", &request.calendar },
             std::pair { "addressbook", &request.addressBook } }) {
        if (parser.isSet(QString::fromLatin1(option)))
            *url = QUrl(parser.value(QString::fromLatin1(option)), QUrl::StrictMode);
    }
    request.category = parser.value(QStringLiteral("category"));
    request.deletions = parser.isSet(QStringLiteral("restore-server"))
        ? sync::DeletionChoice::RestoreServer
        : parser.isSet(QStringLiteral("accept-deletions")) ? sync::DeletionChoice::AcceptDeletions
                                                           : sync::DeletionChoice::Ask;
    request.years = parser.value(QStringLiteral("years")).toInt();
    request.festivals = parser.isSet(QStringLiteral("festivals"));
    request.account = { user, *password };
    return request;
}

// A client that sends the password to the address given only: one the server moves to is
// printed in the failure, for the user to run again with.
std::unique_ptr<sync::DavClient> clientFor(const SyncRequest &request, const QUrl &address)
{
    auto client = std::make_unique<sync::DavClient>(request.account);
    client->waitingForServer = showWaiting;
    client->trustOrigin(address);
    return client;
}

void printWarning(const QString &warning)
{
    if (!warning.isEmpty())
        std::fprintf(stderr, "%s\n", warning.toUtf8().constData());
}

// The address book's part: synced, its warning and, when it went through, its counts and
// conflicts printed before the calendar begins.
sync::CardSyncResult syncCards(
    store::Connection &connection, const SyncRequest &request, const QDateTime &now)
{
    sync::CardSyncOptions cards;
    cards.addressBook = *request.addressBook;
    const QString category = request.category.isEmpty()
        ? store::readSyncSetting(connection, store::SyncCardCategoryKey)
        : request.category;
    if (store::categoryIndex(category) >= 0)
        cards.category = category;
    cards.now = now;
    cards.deletions = request.deletions;
    const sync::CardSyncResult result =
        sync::syncAddressBook(connection, *clientFor(request, *request.addressBook), cards);
    printWarning(result.warning);
    if (!result.ok)
        return result;
    printLine(QStringLiteral("pushed %1 pulled %2 conflicts %3 requests %4")
                  .arg(result.pushed)
                  .arg(result.pulled)
                  .arg(result.conflicts.size())
                  .arg(result.requests));
    for (const store::CardConflict &conflict : result.conflicts)
        printLine(sync::conflictText(conflict));
    return result;
}

// The calendar's part; a list that cannot be read leaves its reason in unreadable.
sync::SyncResult pushCalendar(store::Connection &connection, const SyncRequest &request,
    const QDateTime &now, std::optional<QString> &unreadable)
{
    const store::BirthdayLoad load = store::LoadBirthdays(connection);
    if (load.error) {
        unreadable = load.error->description;
        return {};
    }
    sync::SyncOptions options;
    options.calendar = *request.calendar;
    options.years = request.years;
    options.festivals = request.festivals;
    options.now = now;
    return sync::pushBirthdays(connection,
        load.HasBirthdays ? load.Birthdays : QList<store::BirthdayRecord>(),
        *clientFor(request, *request.calendar), options);
}

// The run in the program's order (sync::runSyncSteps) and its exit code.
int syncParts(store::Connection &connection, const SyncRequest &request)
{
    const QDateTime now = platform::clockFromEnvironment()->now();
    std::optional<QString> unreadable;
    sync::SyncSteps steps;
    steps.calendarAfterFailedAddressBook = false;
    if (request.addressBook)
        steps.addressBook = [&] { return syncCards(connection, request, now); };
    if (request.calendar)
        steps.calendar = [&] { return pushCalendar(connection, request, now, unreadable); };
    const sync::SyncRun run = sync::runSyncSteps(steps);
    if (const std::optional<sync::CardSyncResult> &cards = run.addressBook; cards && !cards->ok)
        // A held deletion says which choice answers it here.
        return fail(
            sync::syncFailedText(sync::AddressBookPart,
                cards->error
                    + (cards->held > 0 ? QStringLiteral(" (--restore-server 或 --accept-deletions)")
                                       : QString())),
            Refused);
    if (!run.calendar)
        return Success;
    if (unreadable)
        return fail(QStringLiteral("cannot read the birthdays: %1").arg(*unreadable), Refused);
    printWarning(run.calendar->warning);
    if (!run.calendar->ok)
        return fail(sync::syncFailedText(sync::CalendarPart, run.calendar->error), Refused);
    printLine(QStringLiteral("created %1 updated %2 deleted %3 requests %4")
                  .arg(run.calendar->created)
                  .arg(run.calendar->updated)
                  .arg(run.calendar->deleted)
                  .arg(run.calendar->requests));
    return Success;
}

int runSync(const QStringList &arguments)
{
    QCommandLineParser parser;
    addSyncOptions(parser);
    if (const std::optional<int> exit = parseCommandLine(parser, QStringLiteral("sync"), arguments))
        return *exit;
    const std::variant<SyncRequest, QString> read = readSyncRequest(parser);
    if (const QString *refusal = std::get_if<QString>(&read))
        return fail(*refusal);
    const SyncRequest &request = std::get<SyncRequest>(read);
    const QString path = dbPath(parser);
    store::DbError error;
    // A computer new to the list starts from the address book, so its file may not exist yet.
    std::optional<store::Connection> connection =
        openDb(path, request.addressBook ? DbUse::ChangeOrCreate : DbUse::Change, &error);
    if (!connection)
        return fail(QStringLiteral("cannot open %1: %2").arg(path, error.description), Refused);
    return syncParts(*connection, request);
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
