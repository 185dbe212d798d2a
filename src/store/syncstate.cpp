#include "store/syncstate.h"

#include "store/connection.h"
#include "store/statement.h"

namespace natalis::store {

void createSyncState(Connection &connection)
{
    connection.exec("create table if not exists syncevent([Collection] text not null,"
                    "[Uid] text not null,[Href] text not null,[Etag] text not null,"
                    "[Hash] blob not null,primary key([Collection],[Uid]))");
    connection.exec("create table if not exists synccollection([Collection] text primary key,"
                    "[Version] text not null)");
    connection.exec("create table if not exists syncinputs([Collection] text primary key,[Digest] "
                    "text not null)");
    connection.exec(
        "create table if not exists syncsetting([Key] text primary key,[Value] text not null)");
}

SyncCollectionState readSyncState(Connection &connection, const QString &collection)
{
    createSyncState(connection);
    SyncCollectionState state;
    Statement &version =
        connection.cached("select [Version] from synccollection where [Collection]=?");
    version.bind(1, collection);
    if (version.step())
        state.version = version.text(0);
    version.reset();
    Statement &events =
        connection.cached("select [Uid],[Href],[Etag],[Hash] from syncevent where [Collection]=?");
    events.bind(1, collection);
    while (events.step()) {
        SyncedEvent event { events.text(0), events.text(1), events.text(2),
            events.text(3).toLatin1() };
        state.events.insert(event.uid, event);
    }
    events.reset();
    return state;
}

void writeSyncedEvent(Connection &connection, const QString &collection, const SyncedEvent &event)
{
    connection
        .cached("insert or replace into syncevent([Collection],[Uid],[Href],[Etag],[Hash])"
                " values(?,?,?,?,?)")
        .bindAll(collection, event.uid, event.href, event.etag, QString::fromLatin1(event.hash))
        .run();
}

void forgetSyncedEvent(Connection &connection, const QString &collection, const QString &uid)
{
    connection.cached("delete from syncevent where [Collection]=? and [Uid]=?")
        .bindAll(collection, uid)
        .run();
}

void writeSyncVersion(Connection &connection, const QString &collection, const QString &version)
{
    createSyncState(connection);
    connection.cached("insert or replace into synccollection([Collection],[Version]) values(?,?)")
        .bindAll(collection, version)
        .run();
}

QString readSyncVersion(Connection &connection, const QString &collection)
{
    createSyncState(connection);
    Statement &select =
        connection.cached("select [Version] from synccollection where [Collection]=?");
    select.bind(1, collection);
    QString version;
    if (select.step())
        version = select.text(0);
    select.reset();
    return version;
}

QByteArray readSyncInputs(Connection &connection, const QString &collection)
{
    createSyncState(connection);
    Statement &select = connection.cached("select [Digest] from syncinputs where [Collection]=?");
    select.bind(1, collection);
    QByteArray digest;
    if (select.step())
        digest = select.text(0).toLatin1();
    select.reset();
    return digest;
}

void writeSyncInputs(Connection &connection, const QString &collection, const QByteArray &digest)
{
    createSyncState(connection);
    if (digest.isEmpty())
        connection.cached("delete from syncinputs where [Collection]=?").bindAll(collection).run();
    else
        connection.cached("insert or replace into syncinputs([Collection],[Digest]) values(?,?)")
            .bindAll(collection, QString::fromLatin1(digest))
            .run();
}

void forgetSyncCollection(Connection &connection, const QString &collection)
{
    createSyncState(connection);
    connection.cached("delete from syncinputs where [Collection]=?").bindAll(collection).run();
    connection.cached("delete from syncevent where [Collection]=?").bindAll(collection).run();
    connection.cached("delete from synccollection where [Collection]=?").bindAll(collection).run();
}

QString readSyncSetting(Connection &connection, QStringView key)
{
    // A file that never had sync settings stays as it is: reading creates nothing.
    try {
        Statement &select = connection.cached("select [Value] from syncsetting where [Key]=?");
        select.bind(1, key.toString());
        QString value;
        if (select.step())
            value = select.text(0);
        select.reset();
        return value;
    } catch (const DbException &) {
        return {};
    }
}

bool writeSyncSetting(Connection &connection, QStringView key, const QString &value)
{
    try {
        createSyncState(connection);
        connection.cached("insert or replace into syncsetting([Key],[Value]) values(?,?)")
            .bindAll(key.toString(), value)
            .run();
        return true;
    } catch (const DbException &) {
        return false;
    }
}

} // namespace natalis::store
