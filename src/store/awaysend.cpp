#include "store/awaysend.h"

#include "store/connection.h"
#include "store/dberror.h"
#include "store/statement.h"

namespace natalis::store {

namespace {

constexpr const char *CreateSql =
    "create table if not exists awaysend([Day] text not null,[Channel] text not null,"
    "[Recipient] text not null,[State] integer not null,[Updated] text not null default '',"
    "[RequestId] text not null default '',"
    "primary key([Day],[Channel],[Recipient]))";
constexpr int PendingNumber = 1;
constexpr int SentNumber = 2;

QString stamp(const QDateTime &now)
{
    return now.toString(u"yyyy-MM-dd HH:mm:ss");
}

} // namespace

void createAwaySends(Connection &connection)
{
    connection.exec(CreateSql);
}

AwaySendRow readAwaySend(Connection &connection, const AwaySendKey &key)
{
    try {
        createAwaySends(connection);
        Statement &select = connection.cached("select [State],[RequestId] from awaysend where "
                                              "[Day]=? and [Channel]=? and [Recipient]=?");
        select.bindAll(key.day.toString(Qt::ISODate), key.channel, key.recipient);
        const bool found = select.step();
        AwaySendRow row;
        if (found)
            row = { select.integer(0) == SentNumber ? AwaySendState::Sent : AwaySendState::Pending,
                select.text(1) };
        select.reset();
        return row;
    } catch (const DbException &) {
        return { AwaySendState::Unreadable, {} };
    }
}

bool claimAwaySend(
    Connection &connection, const AwaySendKey &key, const QDateTime &now, const QString &requestId)
{
    try {
        createAwaySends(connection);
        connection
            .cached("insert or ignore into awaysend([Day],[Channel],[Recipient],[State],[Updated],"
                    "[RequestId]) values(?,?,?,?,?,?)")
            .bindAll(key.day.toString(Qt::ISODate), key.channel, key.recipient, PendingNumber,
                stamp(now), requestId)
            .run();
        return connection.changes() == 1;
    } catch (const DbException &) {
        return false;
    }
}

bool markAwaySent(Connection &connection, const AwaySendKey &key, const QDateTime &now)
{
    try {
        connection
            .cached("update awaysend set [State]=?,[Updated]=? where [Day]=? and [Channel]=? "
                    "and [Recipient]=?")
            .bindAll(
                SentNumber, stamp(now), key.day.toString(Qt::ISODate), key.channel, key.recipient)
            .run();
        return connection.changes() == 1;
    } catch (const DbException &) {
        return false;
    }
}

bool releaseAwaySend(Connection &connection, const AwaySendKey &key)
{
    try {
        connection.cached("delete from awaysend where [Day]=? and [Channel]=? and [Recipient]=?")
            .bindAll(key.day.toString(Qt::ISODate), key.channel, key.recipient)
            .run();
        return true;
    } catch (const DbException &) {
        return false;
    }
}

bool hasAwaySendsBefore(
    Connection &connection, const QString &channel, const QString &recipient, QDate day)
{
    try {
        createAwaySends(connection);
        Statement &select = connection.cached(
            "select 1 from awaysend where [Channel]=? and [Recipient]=? and [Day]<? limit 1");
        select.bindAll(channel, recipient, day.toString(Qt::ISODate));
        const bool found = select.step();
        select.reset();
        return found;
    } catch (const DbException &) {
        return false;
    }
}

} // namespace natalis::store
