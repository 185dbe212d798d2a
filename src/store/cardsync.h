#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringView>

namespace natalis::store {

class Connection;

// What an address-book sync needs to remember between runs, kept beside the birthdays so that a
// birthday's change, its place in the queue and the sync's record of it always change together.

// A birthday changed here since it last reached the server: its Uid and when (UTC, to the
// millisecond). The birthday writers of birthdays.h keep this queue; a sync empties it.
struct CardChange
{
    QString uid;
    QDateTime time;
};

// One card the server and this file agreed on at the last sync: where it lies, its ETag then,
// and the values of the fields it carried (by field name), the base a merge compares both
// sides with.
struct SyncedCard
{
    QString uid;
    QString href;
    QString etag; // quotes included; empty when the server gave none
    QMap<QString, QString> fields;
    // The card's UID when another program gave it one that is not our Uid's form; cards we
    // write there keep it, so that a phone does not take the edited card for another contact.
    QString cardUid;
    // When that version was made (the card's REV, UTC); invalid when not known. Two cards of one
    // birthday made apart are merged by it once no queued change stands for this side.
    QDateTime changed = {};
};

struct CardBookState
{
    QString version; // the collection's sync-token (or ctag) after the last complete sync
    QHash<QString, SyncedCard> cards; // by uid
};

// A field both sides changed: the value kept, the value overruled and when that was decided.
struct CardConflict
{
    QDateTime time;
    QString uid;
    QString name; // the birthday's name as kept
    QString field;
    QString kept;
    QString lost;
    bool serverLost = false; // the overruled value was the server's, else this file's
};

// The address-book choices among the sync settings (readSyncSetting): the server and the user
// (the server's address alone turns the sync on), the address book's name or address, the
// category of new cards that name none of the eight (朋友 when unset), and the last outcome.
inline constexpr QStringView SyncCardServerKey = u"cardServer";
inline constexpr QStringView SyncCardUserKey = u"cardUser";
inline constexpr QStringView SyncAddressBookKey = u"addressBook";
inline constexpr QStringView SyncCardCategoryKey = u"cardCategory";
inline constexpr QStringView SyncCardLastTimeKey = u"cardLastTime";
inline constexpr QStringView SyncCardLastResultKey = u"cardLastResult";
// The address found by discovery, kept while the settings name the same server and book.
inline constexpr QStringView SyncAddressBookUrlKey = u"addressBookUrl";

// Creates the tables when missing. Throws DbException, as do the functions below.
void createCardSync(Connection &connection);

// Queues uid as changed at now (the program's clock, kept in UTC), unless the tables do not exist
// yet (no sync was ever set up, so there is nothing to queue for: the first sync compares the
// whole list anyway).
void queueCardChange(Connection &connection, const QString &uid, const QDateTime &now);
// Whether changes are queued at all, for writers that would have to look a Uid up first.
bool queuesCardChanges(Connection &connection);
QHash<QString, QDateTime> readCardChanges(Connection &connection); // by uid
void clearCardChange(Connection &connection, const QString &uid);

CardBookState readCardBook(Connection &connection, const QString &book);
// data: the card as the server holds it after this sync (its bytes as fetched, or as put), which
// a change made here is patched into; kept apart from readCardBook, which would otherwise hold
// every card's photo at once.
void writeSyncedCard(
    Connection &connection, const QString &book, const SyncedCard &card, QByteArrayView data);
// The card writeSyncedCard kept for uid; empty when none was (a file synced before cards were
// kept, or no such card).
QByteArray readSyncedCardData(Connection &connection, const QString &book, const QString &uid);
void forgetSyncedCard(Connection &connection, const QString &book, const QString &uid);
void writeCardBookVersion(Connection &connection, const QString &book, const QString &version);

void addCardConflict(Connection &connection, const CardConflict &conflict);
// Newest first, at most limit; none, and nothing written, in a file that never synced.
QList<CardConflict> readCardConflicts(Connection &connection, int limit = 1000);

} // namespace natalis::store
