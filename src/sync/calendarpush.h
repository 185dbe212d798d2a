#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"
#include "sync/davclient.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

namespace natalis::store {
class Connection;
}

namespace natalis::sync {

inline constexpr int DefaultSyncYears = 10;

struct SyncOptions
{
    QUrl calendar; // the collection the birthdays go to; made when missing
    QString calendarName = QStringLiteral("生日提醒"); // the name a collection made here gets
    int years = DefaultSyncYears; // from the first of January of now's year on
    // The festivals and solar terms as well, into a collection of their own beside calendar
    // (its address with "-festivals" behind its last segment).
    bool festivals = false;
    QDateTime now;
};

struct SyncResult
{
    bool ok = false;
    bool stopped = false;
    int created = 0, updated = 0, deleted = 0;
    int requests = 0; // HTTP requests sent
    // Events the server refused even after a fresh look; the sync then fails with their count
    // and the next one plans them again.
    int unwritten = 0;
    // Events made and compared with the records of what was sent; 0 when nothing they are made
    // of changed since the last complete sync and the server holds what it left.
    int compared = 0;
    QString error; // "服务器无法连接" …, empty on success
    QString warning; // e.g. that the connection is not encrypted
};

// Called between batches: what is done and the whole, in requests.
using SyncProgress = std::function<void(qint64 done, qint64 total)>;

// The collection beside calendar that festivals go to.
QUrl festivalCalendarUrl(const QUrl &calendar);

// Puts the events of birthdays (as the calendar export words them) into the collection and
// keeps it current: new events with If-None-Match, changed ones with If-Match, and events of
// ours that are no longer wanted are deleted. Only events recorded in connection's sync tables
// are changed or deleted: an event whose content names another writer (a copy of the file
// syncing into the same calendar) is never touched. Events of years before now's stay until their
// birthday is deleted or its date changed. What it sent last lives in those tables, so an unchanged
// list costs one request per collection, and with a digest of the inputs of the last complete sync
// there, no event is made either. A conflict (412) is answered by reading the event again and
// retrying once; what is still refused is counted in unwritten and planned again by the next sync.
// A collection deleted on the server is made again and filled anew. A failure half way keeps what
// the server confirmed; the next sync completes the rest. Runs on the calling thread, which must
// not be the window's.
SyncResult pushBirthdays(store::Connection &connection, const store::BirthdayList &birthdays,
    DavClient &client, const SyncOptions &options, const SyncProgress &progress = {});

// Deletes from calendar, and from its festival collection beside it, every event of ours that
// connection's sync tables record there, and then forgets both collections: for a calendar the
// user no longer syncs into. Events the records do not hold stay; a collection the server no
// longer has counts as cleared. On a failure the records of what was not deleted are kept, so a
// later call finishes the work.
SyncResult clearCalendar(store::Connection &connection, DavClient &client, const QUrl &calendar);

} // namespace natalis::sync
