#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"
#include "store/dberror.h"

#include <QDateTime>
#include <QList>
#include <QUuid>
#include <optional>
#include <span>

namespace natalis::store {

class Connection;

// The outcome of LoadBirthdays: the array Birthdays with its flag HasBirthdays.
struct BirthdayLoad
{
    // Grouped by category name in the database's text order, by Id within a category. When
    // HasBirthdays is false it holds exactly one blank record that no reader may use.
    BirthdayList Birthdays;
    bool HasBirthdays = false;
    // Set when the load stopped on an error; Birthdays then holds the rows copied before it.
    std::optional<DbError> error;
};

// Reads every row of table birthday. A NULL text column reads as the empty text; a row whose
// Tel fails IsPhoneNumber gets Duanxin "否" in memory (the table keeps its value).
// storage: an earlier list whose memory the new one may reuse (its rows are dropped first),
// so that reloading a large list does not ask the system for fresh memory each time.
BirthdayLoad LoadBirthdays(Connection &connection, BirthdayList storage = {});

// Adds the columns that files made by earlier versions lack (strUid, Kind, RemindDays, LeapRule),
// with defaults that keep each row's old meaning. Throws DbException; the writers below call it
// themselves when they meet such a file.
void ensureBirthdayColumns(Connection &connection);

// MyAboutHave asked of the table instead of a list that another program may have outdated: true
// when a row of the same list (a category outside CategoryNames counts as the first) has the
// trimmed name. False also on a database error.
bool birthdayNameInTable(Connection &connection, QStringView category, QStringView name);

// The change operations write to the table only and never touch an in-memory array. On failure
// they return -1 and the connection's lastError() says why. now is when the change is made, by
// the program's clock: the address-book sync queues the row with it, and a merge weighs it
// against a server's change time.

// Inserts record (its Id is ignored) and returns the new row's Id, or -1. The row keeps the
// record's Uid, or gets a new random one when it has none.
qint32 AddBirthToMdb(Connection &connection, const BirthdayRecord &record, const QDateTime &now);

// Gives every row without a Uid a new random one (files made before Uids existed gain the
// column first). Returns how many rows got one, or -1 on a database error (nothing changed).
// Writes: call it only on a file that loaded cleanly and is not read-only.
int assignMissingBirthdayUids(Connection &connection);

// True when birthdays (read cleanly from connection's file) hold rows without a Uid and the file
// can be written to give them some.
bool lacksBirthdayUids(Connection &connection, const BirthdayList &birthdays);

// Deletes the rows with the given Ids in one transaction; 1, or -1 with nothing deleted.
int DeleteBirthsFromMdb(Connection &connection, std::span<const qint32> ids, const QDateTime &now);

// Rewrites every column of row record.Id except DxSend; 1, or -1 (also when no such row exists).
int UpdateBirthInMdb(Connection &connection, const BirthdayRecord &record, const QDateTime &now);

// Gives row id the Uid uid, for the address-book sync when the row turns out to be a birthday
// another computer already keeps under uid; not queued, the sync itself writes the card. 1, or -1
// (also when no such row exists).
int changeBirthdayUid(Connection &connection, qint32 id, const QUuid &uid);

// In one transaction: sets intnums to days for the rows of each list in use, Duanxin to "是"
// for the first list and to "否" for the second. 1, or -1 with the table unchanged.
int BatchUpdateBirths(Connection &connection, qint16 days, std::span<const qint32> firstIds,
    bool useFirst, std::span<const qint32> secondIds, bool useSecond, const QDateTime &now);

// What the row named by uid is to be: record, or no row at all.
struct BirthdayState
{
    QUuid uid;
    std::optional<BirthdayRecord> record; // its Id and Uid are ignored
};

// Brings the rows to the given states in one transaction, for undo and redo: a record is written
// over the row with its uid (every column but DxSend) or, when no row has that uid, added with
// it; a state without one deletes the row, if there is one. 1, or -1 with the table unchanged.
int putBirthdayStates(
    Connection &connection, std::span<const BirthdayState> states, const QDateTime &now);

// The SMS-sent marks (DxSend) of the automatic greetings.

// Sets DxSend "1" for the rows with these Ids in one transaction. False on a database error,
// with no row marked.
bool MarkSmsSent(Connection &connection, std::span<const qint32> ids);

// Sets DxSend "0" for the rows with these Ids in one transaction, so that a large list costs
// one synced commit instead of one per row. A row whose statement fails keeps its mark while the
// others are still cleared; errors are not reported.
void clearSmsSent(Connection &connection, std::span<const qint32> ids);

} // namespace natalis::store
