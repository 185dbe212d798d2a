#pragma once

#include "sync/cardsync.h"
#include "sync/credentials.h"

#include <QDateTime>
#include <QString>
#include <atomic>

namespace natalis::sync {

// One address-book sync of the database at dbPath with its stored settings, as a worker runs
// it on a connection of its own: the server and user of the sync settings, the password from
// passwords, the address book under SyncAddressBookKey (a name, found by discovery and made when
// missing, its address then kept; or an address), new cards' category under
// SyncCardCategoryKey. A database that does not open or has no address book set gives ok false
// with an empty error.
CardSyncResult runStoredCardSync(const QString &dbPath, PasswordStore &passwords,
    const QDateTime &now, const std::atomic_bool *stop, const SyncProgress &progress);

} // namespace natalis::sync
