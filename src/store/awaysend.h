#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace natalis::store {

class Connection;

// Table awaysend: one row per reminder sent away from the desk, that is one day's reminder (or
// one week's digest, under its Monday) by one channel to one recipient. The row is written as
// Pending before anything goes out and as Sent after, so that neither the program nor
// natalis-cli, whichever comes later, sends it again. The table is made by its first use; older
// files open unchanged.

enum class AwaySendState {
    None, // no row: never tried, or nothing of it went out
    Pending, // claimed; it may have gone out, its outcome is not known
    Sent,
    Unreadable, // the lookup failed: treat as not to be sent this pass
};

struct AwaySendKey
{
    QDate day; // the reminder's day; a weekly digest's Monday
    QString channel; // "mail", "sms", "mail-week"
    QString recipient; // the address or number as configured, trimmed
};

// Creates table awaysend when missing. Throws DbException.
void createAwaySends(Connection &connection);

struct AwaySendRow
{
    AwaySendState state = AwaySendState::None;
    QString requestId; // the gateway request an SMS goes out under; empty for mail
};

AwaySendRow readAwaySend(Connection &connection, const AwaySendKey &key);

// Writes key as Pending at now unless it has a row already. True only for the caller that made
// the row: a concurrent program or CLI run gets false and leaves the send to the other.
bool claimAwaySend(Connection &connection, const AwaySendKey &key, const QDateTime &now,
    const QString &requestId = {});

// Pending -> Sent. False on a database error.
bool markAwaySent(Connection &connection, const AwaySendKey &key, const QDateTime &now);

// Removes the claim of a send that certainly did not go out, so that a later pass tries again.
// False on a database error.
bool releaseAwaySend(Connection &connection, const AwaySendKey &key);

// Whether anything was recorded for channel and recipient on a day before `day`: a missed day is
// caught up only once the channel was in use before it, not on the first days it is set up.
bool hasAwaySendsBefore(
    Connection &connection, const QString &channel, const QString &recipient, QDate day);

} // namespace natalis::store
