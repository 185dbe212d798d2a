#include "sync/cardservice.h"

#include "store/categories.h"
#include "store/connection.h"
#include "store/syncstate.h"
#include "sync/addressbookdiscovery.h"

using namespace Qt::StringLiterals;

namespace natalis::sync {

namespace {

// The name the address found by discovery was found for: another name is looked for afresh.
constexpr QStringView AddressBookUrlNameKey = u"addressBookUrlFor";

CardSyncResult syncStored(store::Connection &connection, PasswordStore &passwords,
    const QDateTime &now, const std::atomic_bool *stop, const SyncProgress &progress,
    DeletionChoice deletions, const std::function<void()> &waiting)
{
    CardSyncResult result;
    const QString named = store::readSyncSetting(connection, store::SyncAddressBookKey).trimmed();
    const QString book = named.isEmpty() ? CardSyncOptions().addressBookName : named;
    const QUrl server(store::readSyncSetting(connection, store::SyncCardServerKey).trimmed());
    const QString user = store::readSyncSetting(connection, store::SyncCardUserKey);
    QString why;
    const std::optional<QString> password =
        passwords.read(passwordAccount(user, server.host()), &why);
    if (!password) {
        result.error = why;
        return result;
    }
    DavClient client({ user, *password }, stop);
    if (waiting)
        client.waitingForServer = waiting;
    client.trustOrigin(server);
    CardSyncOptions options;
    options.now = now;
    options.deletions = deletions;
    const QString category = store::readSyncSetting(connection, store::SyncCardCategoryKey);
    if (store::categoryIndex(category) >= 0)
        options.category = category;
    if (book.contains(u"://")) {
        options.addressBook = QUrl(book);
    } else {
        options.addressBookName = book;
        if (store::readSyncSetting(connection, AddressBookUrlNameKey) == book)
            options.addressBook =
                QUrl(store::readSyncSetting(connection, store::SyncAddressBookUrlKey));
        if (options.addressBook.isEmpty()) {
            if (const TransportCheck transport = checkTransport(server); !transport.allowed) {
                result.error = transport.refusal;
                return result;
            }
            const CalendarHome home = discoverAddressBooks(client, server);
            if (!home.home.isValid()) {
                result.error = home.error;
                result.stopped = client.stopped();
                result.requests = client.requestCount();
                return result;
            }
            options.addressBook = calendarUrlIn(home, book);
            store::writeSyncSetting(
                connection, store::SyncAddressBookUrlKey, options.addressBook.toString());
            store::writeSyncSetting(connection, AddressBookUrlNameKey, book);
        }
    }
    // Entered by the user, or found by discovery on an origin the client already trusted.
    client.trustOrigin(options.addressBook);
    return syncAddressBook(connection, client, options, progress);
}

} // namespace

CardSyncResult runStoredCardSync(const QString &dbPath, PasswordStore &passwords,
    const QDateTime &now, const std::atomic_bool *stop, const SyncProgress &progress,
    DeletionChoice deletions, const std::function<void()> &waiting)
{
    store::DbError dbError;
    std::optional<store::Connection> connection =
        store::Connection::open(dbPath, store::Connection::OpenMode::ExistingOnly, &dbError);
    if (!connection
        || store::readSyncSetting(*connection, store::SyncCardServerKey).trimmed().isEmpty())
        return {};
    const CardSyncResult result =
        syncStored(*connection, passwords, now, stop, progress, deletions, waiting);
    if (result.held > 0 || result.ok)
        store::writeSyncSetting(
            *connection, CardDeletionsHeldKey, result.held > 0 ? result.error : QString());
    store::writeSyncSetting(*connection, store::SyncCardLastTimeKey, now.toString(Qt::ISODate));
    store::writeSyncSetting(*connection, store::SyncCardLastResultKey, cardSyncSummary(result));
    return result;
}

QString cardSyncSummary(const CardSyncResult &result)
{
    if (!result.ok)
        return result.error;
    QString text = u"上传%1, 下载%2"_s.arg(result.pushed).arg(result.pulled);
    if (!result.conflicts.isEmpty())
        text += u", 冲突%1"_s.arg(result.conflicts.size());
    return text;
}

} // namespace natalis::sync
