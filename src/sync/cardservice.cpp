#include "sync/cardservice.h"

#include "store/categories.h"
#include "store/connection.h"
#include "store/syncstate.h"
#include "sync/addressbookdiscovery.h"

using namespace Qt::StringLiterals;

namespace natalis::sync {

namespace {

// The address found by discovery, kept until the settings name another address book.
constexpr QStringView AddressBookUrlKey = u"addressBookUrl";
constexpr QStringView AddressBookUrlNameKey = u"addressBookUrlFor";

} // namespace

CardSyncResult runStoredCardSync(const QString &dbPath, PasswordStore &passwords,
    const QDateTime &now, const std::atomic_bool *stop, const SyncProgress &progress)
{
    CardSyncResult result;
    store::DbError dbError;
    std::optional<store::Connection> connection =
        store::Connection::open(dbPath, store::Connection::OpenMode::ExistingOnly, &dbError);
    if (!connection)
        return result;
    const QString book = store::readSyncSetting(*connection, store::SyncAddressBookKey).trimmed();
    const QString serverText = store::readSyncSetting(*connection, store::SyncServerKey).trimmed();
    if (book.isEmpty() || serverText.isEmpty())
        return result;
    const QString user = store::readSyncSetting(*connection, store::SyncUserKey);
    const QUrl server(serverText);
    QString why;
    const std::optional<QString> password =
        passwords.read(passwordAccount(user, server.host()), &why);
    if (!password) {
        result.error = why;
        return result;
    }
    DavClient client({ user, *password }, stop);
    CardSyncOptions options;
    options.now = now;
    const QString category = store::readSyncSetting(*connection, store::SyncCardCategoryKey);
    if (store::categoryIndex(category) >= 0)
        options.category = category;
    if (book.contains(u"://")) {
        options.addressBook = QUrl(book);
    } else {
        options.addressBookName = book;
        if (store::readSyncSetting(*connection, AddressBookUrlNameKey) == book)
            options.addressBook = QUrl(store::readSyncSetting(*connection, AddressBookUrlKey));
        if (options.addressBook.isEmpty()) {
            if (const TransportCheck transport = checkTransport(server); !transport.allowed) {
                result.error = transport.refusal;
                return result;
            }
            const CalendarHome home = discoverAddressBooks(client, server);
            if (!home.home.isValid()) {
                result.error = home.error;
                result.requests = client.requestCount();
                return result;
            }
            options.addressBook = calendarUrlIn(home, book);
            store::writeSyncSetting(*connection, AddressBookUrlKey, options.addressBook.toString());
            store::writeSyncSetting(*connection, AddressBookUrlNameKey, book);
        }
    }
    return syncAddressBook(*connection, client, options, progress);
}

} // namespace natalis::sync
