#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace natalis::store {

class Connection;

// Table dxgreeting: one row per automatic greeting, that is one birthday's greeting of one year
// to one number, and the gateway request (with its dxhistory row) it last went out under. A
// greeting's identity does not depend on the batch around it, so a batch that changes between
// passes (a birthday more, a flag or a number changed) cannot make a sent greeting look new.
// The table is created by the first write; a file without it reads as having no greetings.

// Where a greeting stands.
enum class GreetingState {
    None, // never tried, or nothing of it went out: it may go into a new batch
    Pending, // its parts went to the gateway and the outcome is not known yet
    Sent, // the gateway delivered (or accepted the schedule of) its unit
    NightStopped, // not sent because of the night stop; logged once on strUpdated's day
    Unreadable, // the lookup failed: treat as not to be sent this pass
};

struct GreetingKey
{
    qint32 birthdayId = 0;
    int year = 0; // the year of the birthday's occurrence
    QString number; // the trimmed recipient number

    friend bool operator==(const GreetingKey &, const GreetingKey &) = default;
};

struct GreetingRow
{
    GreetingKey key;
    GreetingState state = GreetingState::None;
    QString requestId; // the unit it last went out under; empty when none
    qint64 historyId = -1; // that unit's dxhistory row
    QString updated; // "yyyy-MM-dd HH:mm:ss" of the last change
};

// The greeting's row; state None when there is none, Unreadable on a database error.
GreetingRow findGreeting(Connection &connection, const GreetingKey &key);

// The greetings that went out under requestId; empty on a database error.
QList<GreetingRow> greetingsOfRequest(Connection &connection, const QString &requestId);

// Writes each row (inserted or replaced) in one transaction. False on a database error (then
// nothing is written).
bool writeGreetings(Connection &connection, const QList<GreetingRow> &rows);

} // namespace natalis::store
