#include "store/cardsync.h"

#include "store/connection.h"
#include "store/statement.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace natalis::store {

bool queuesCardChanges(Connection &connection)
{
    Statement &select = connection.cached(
        "select count(*) from sqlite_master where type='table' and name='cardchange'");
    const bool found = select.step() && select.integer(0) > 0;
    select.reset();
    return found;
}

namespace {

QString fieldsText(const QMap<QString, QString> &fields)
{
    QJsonObject object;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        object.insert(it.key(), it.value());
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QMap<QString, QString> fieldsFrom(const QString &text)
{
    QMap<QString, QString> fields;
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it)
        fields.insert(it.key(), it.value().toString());
    return fields;
}

QDateTime utcFrom(const QString &text)
{
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : time;
}

QString utcText(const QDateTime &time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QString();
}

// Files that synced before the change times, or the server's cards, were kept gain their
// columns; a card not kept reads as empty.
void ensureAddedColumns(Connection &connection)
{
    if (!connection.hasColumn("cardstate", u"Changed"))
        connection.exec("alter table cardstate add column [Changed] text not null default ''");
    if (!connection.hasColumn("cardstate", u"Card"))
        connection.exec("alter table cardstate add column [Card] text not null default ''");
}

} // namespace

void createCardSync(Connection &connection)
{
    connection.exec("create table if not exists cardchange([Uid] text primary key,"
                    "[Time] text not null)");
    connection.exec("create table if not exists cardstate([Book] text not null,"
                    "[Uid] text not null,[Href] text not null,[Etag] text not null,"
                    "[Fields] text not null,[CardUid] text not null default '',"
                    "[Changed] text not null default '',[Card] text not null default '',"
                    "primary key([Book],[Uid]))");
    if (!connection.isReadOnly())
        ensureAddedColumns(connection);
    connection.exec(
        "create table if not exists cardbook([Book] text primary key,[Version] text not null)");
    connection.exec("create table if not exists cardconflict(Id integer primary key autoincrement,"
                    "[Time] text not null,[Uid] text not null,[About] text not null,"
                    "[Field] text not null,[Kept] text not null,[Lost] text not null,"
                    "[ServerLost] integer not null)");
}

void queueCardChange(Connection &connection, const QString &uid, const QDateTime &now)
{
    if (uid.isEmpty() || !queuesCardChanges(connection))
        return;
    connection.cached("insert or replace into cardchange([Uid],[Time]) values(?,?)")
        .bindAll(uid, now.toUTC().toString(Qt::ISODateWithMs))
        .run();
}

QHash<QString, QDateTime> readCardChanges(Connection &connection)
{
    createCardSync(connection);
    QHash<QString, QDateTime> changes;
    Statement select = connection.prepare("select [Uid],[Time] from cardchange");
    while (select.step())
        changes.insert(select.text(0), utcFrom(select.text(1)));
    return changes;
}

void clearCardChange(Connection &connection, const QString &uid)
{
    connection.cached("delete from cardchange where [Uid]=?").bind(1, uid).run();
}

CardBookState readCardBook(Connection &connection, const QString &book)
{
    createCardSync(connection);
    CardBookState state;
    Statement version = connection.prepare("select [Version] from cardbook where [Book]=?");
    version.bind(1, book);
    if (version.step())
        state.version = version.text(0);
    Statement cards =
        connection.prepare("select [Uid],[Href],[Etag],[Fields],[CardUid],[Changed] from cardstate "
                           "where [Book]=?");
    cards.bind(1, book);
    while (cards.step()) {
        SyncedCard card { cards.text(0), cards.text(1), cards.text(2), fieldsFrom(cards.text(3)),
            cards.text(4), utcFrom(cards.text(5)) };
        state.cards.insert(card.uid, card);
    }
    return state;
}

void writeSyncedCard(
    Connection &connection, const QString &book, const SyncedCard &card, QByteArrayView data)
{
    connection
        .cached("insert or replace into cardstate([Book],[Uid],[Href],[Etag],[Fields],[CardUid],"
                "[Changed],[Card]) values(?,?,?,?,?,?,?,?)")
        .bindAll(book, card.uid, card.href, card.etag, fieldsText(card.fields), card.cardUid,
            utcText(card.changed), QString::fromUtf8(data))
        .run();
}

QByteArray readSyncedCardData(Connection &connection, const QString &book, const QString &uid)
{
    Statement &select =
        connection.cached("select [Card] from cardstate where [Book]=? and [Uid]=?");
    select.bindAll(book, uid);
    const QByteArray data = select.step() ? select.utf8(0).toByteArray() : QByteArray();
    select.reset();
    return data;
}

void forgetSyncedCard(Connection &connection, const QString &book, const QString &uid)
{
    connection.cached("delete from cardstate where [Book]=? and [Uid]=?").bindAll(book, uid).run();
}

void writeCardBookVersion(Connection &connection, const QString &book, const QString &version)
{
    connection.cached("insert or replace into cardbook([Book],[Version]) values(?,?)")
        .bindAll(book, version)
        .run();
}

void addCardConflict(Connection &connection, const CardConflict &c)
{
    connection
        .cached("insert into cardconflict([Time],[Uid],[About],[Field],[Kept],[Lost],"
                "[ServerLost]) values(?,?,?,?,?,?,?)")
        .bindAll(c.time.toUTC().toString(Qt::ISODateWithMs), c.uid, c.name, c.field, c.kept, c.lost,
            int(c.serverLost))
        .run();
}

QList<CardConflict> readCardConflicts(Connection &connection, int limit)
{
    // A listing: a file that never synced has no conflicts, and gets no tables for asking.
    QList<CardConflict> conflicts;
    Statement exists = connection.prepare(
        "select 1 from sqlite_master where type='table' and name='cardconflict'");
    if (!exists.step())
        return conflicts;
    Statement select =
        connection.prepare("select [Time],[Uid],[About],[Field],[Kept],[Lost],[ServerLost] "
                           "from cardconflict order by Id desc limit ?");
    select.bind(1, limit);
    while (select.step())
        conflicts.append({ utcFrom(select.text(0)), select.text(1), select.text(2), select.text(3),
            select.text(4), select.text(5), select.integer(6) != 0 });
    return conflicts;
}

} // namespace natalis::store
