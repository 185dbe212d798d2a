#pragma once

#include "store/cardsync.h"
#include "sync/calendarpush.h"
#include "sync/davclient.h"
#include "sync/deletionguard.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

namespace natalis::store {
class Connection;
}

namespace natalis::sync {

struct CardSyncOptions
{
    QUrl addressBook; // the collection; made when missing
    QString addressBookName = QStringLiteral("生日"); // the name a collection made here gets
    QString category = QStringLiteral("朋友"); // for new cards that name none of the eight
    QDateTime now; // stands for the change time of a server card without REV
    DeletionChoice deletions = DeletionChoice::Ask;
};

struct CardSyncResult
{
    bool ok = false;
    bool stopped = false;
    int pushed = 0; // cards created, changed or deleted on the server
    int pulled = 0; // birthdays added, changed or deleted here, in transactions committed
    // Birthdays here whose deletion the sync held back for the user's choice; error then asks.
    int held = 0;
    // Changes the server refused twice (412, 404): still queued, retried by the next sync.
    int unwritten = 0;
    // Rows here written: pulled, or Uids given to rows without or moved to another computer's.
    // The sync's own records do not count: an open list need not be read again for them.
    bool birthdaysWritten = false;
    int requests = 0;
    QList<store::CardConflict> conflicts; // decided in this sync, also kept in the database
    QString error;
    QString warning;
};

// One two-way sync of the birthdays with an address book, one vCard per birthday named by its
// Uid. First the server's changes: when the collection's sync-token (or ctag) differs from the
// last sync's, the changes since that token are asked for (RFC 6578; a server without tokens
// lists its ETags instead) and the changed cards fetched by addressbook-multiget and merged
// into the database through store's writers; cards without a birthday are left alone.
// Then what changed here is put (If-None-Match for new cards, If-Match for the others) or
// deleted, and the changes since the first token asked for once more, so that a card another
// computer put meanwhile is not hidden behind a token that already counts it. A merge goes field by
// field against the values of the last sync: a field changed on one side takes that side; on both,
// the later change wins (the card's REV against the time this file queued its change) and the
// overruled value is kept as a CardConflict. Two cards of one birthday (a name in a category), put
// by two computers before either saw the other's, become one by a rule each applies alone: the card
// whose UID sorts first stays, the other is merged into it as above and deleted, and the row takes
// the staying card's Uid. Every step is written down in the transaction that records its outcome,
// so a sync killed half way loses nothing and the next one neither duplicates nor forgets a card.
// Nothing changed on either side costs one request. A pull that would delete many birthdays here
// at once (holdDeletions) stops before it deletes anything, and before it makes a collection gone
// from the server, unless options.deletions says what the user chose. Cards the server refused
// twice make the sync fail with their count, their changes queued for the next. Runs on the
// calling thread, which must not be the window's.
CardSyncResult syncAddressBook(store::Connection &connection, DavClient &client,
    const CardSyncOptions &options, const SyncProgress &progress = {});

// "生日备注: 保留「新」, 覆盖「旧」(服务器)" for the conflict list.
QString conflictText(const store::CardConflict &conflict);

} // namespace natalis::sync
