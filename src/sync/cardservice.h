#pragma once

#include "sync/cardsync.h"
#include "sync/credentials.h"

#include <QDateTime>
#include <QString>
#include <atomic>
#include <functional>

namespace natalis::sync {

// One address-book sync of the database at dbPath with its stored settings, as a worker runs
// it on a connection of its own: the server and user under SyncCardServerKey and
// SyncCardUserKey, the password from passwords, the address book under SyncAddressBookKey (a
// name, 生日 when none, found by discovery and made when missing, its address then kept; or an
// address), new cards' category under SyncCardCategoryKey. The outcome is stored as the last
// sync's time and result. A database that does not open or has no server set gives ok false
// with an empty error. A sync that held deletions back leaves their count under
// CardDeletionsHeldKey until a sync goes through, for the settings page to ask the user.
// waiting is called while the server keeps a request waiting (DavClient::waitingForServer).
CardSyncResult runStoredCardSync(const QString &dbPath, PasswordStore &passwords,
    const QDateTime &now, const std::atomic_bool *stop, const SyncProgress &progress,
    DeletionChoice deletions = DeletionChoice::Ask, const std::function<void()> &waiting = {});

// Among the sync settings: what the sync that held deletions back said, the question the user
// answers; empty when nothing is held. Kept apart from the last outcome, which a later failure
// for another reason (the server out of reach) replaces while the question still stands.
inline constexpr QStringView CardDeletionsHeldKey = u"cardDeletionsHeld";

// The outcome as the settings page shows it: "上传1, 下载2, 冲突1", or the failure.
QString cardSyncSummary(const CardSyncResult &result);

} // namespace natalis::sync
