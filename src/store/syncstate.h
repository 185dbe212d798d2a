#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>

namespace natalis::store {

class Connection;

// What the database last put on a calendar server, so that a later sync sends only the
// difference. Kept per collection (its URL), so one file may feed several collections and two
// files never share a state. Rows appear only for events the server confirmed.
struct SyncedEvent
{
    QString uid;
    QString href; // the resource's URL on the server
    QString etag; // as the server sent it, quotes included; empty when not known
    // The sync's fingerprint of the event as sent (its day and a digest without the time stamp),
    // or a mark of the sync's own; opaque here.
    QByteArray hash;
};

struct SyncCollectionState
{
    // The collection's getctag (or sync-token) after the last complete sync; empty when none.
    QString version;
    QHash<QString, SyncedEvent> events; // by uid
};

// Creates the tables when missing. Throws DbException.
void createSyncState(Connection &connection);

// Throws DbException. The writers expect the tables, which readSyncState creates.
SyncCollectionState readSyncState(Connection &connection, const QString &collection);
void writeSyncedEvent(Connection &connection, const QString &collection, const SyncedEvent &event);
void forgetSyncedEvent(Connection &connection, const QString &collection, const QString &uid);
void writeSyncVersion(Connection &connection, const QString &collection, const QString &version);
// The version alone, without reading the events; empty when none.
QString readSyncVersion(Connection &connection, const QString &collection);
// A digest of everything the events of the last complete sync into collection were made of, so
// that a sync with the same inputs and an unchanged server can skip making them; empty when none.
// Writing an empty digest forgets it.
QByteArray readSyncInputs(Connection &connection, const QString &collection);
void writeSyncInputs(Connection &connection, const QString &collection, const QByteArray &digest);
// Drops every record of collection, its version and inputs included.
void forgetSyncCollection(Connection &connection, const QString &collection);

// The calendar-sync choices of the settings page and the last outcome, as key/value rows.
// Never the password: that lives in the desktop's secret store.
inline constexpr QStringView SyncServerKey = u"server";
inline constexpr QStringView SyncUserKey = u"user";
inline constexpr QStringView SyncCalendarKey = u"calendar";
inline constexpr QStringView SyncYearsKey = u"years";
inline constexpr QStringView SyncFestivalsKey = u"festivals";
inline constexpr QStringView SyncLastTimeKey = u"lastTime";
inline constexpr QStringView SyncLastResultKey = u"lastResult";

// The stored value, a null QString when none or on a read error.
QString readSyncSetting(Connection &connection, QStringView key);
// False on a write error.
bool writeSyncSetting(Connection &connection, QStringView key, const QString &value);

} // namespace natalis::store
