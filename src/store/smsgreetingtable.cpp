#include "store/smsgreetingtable.h"

#include "store/connection.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <array>

using namespace Qt::StringLiterals;

namespace natalis::store {

namespace {

constexpr std::array<QStringView, 5> StateNames { u"", u"pending", u"sent", u"night", u"" };

QString stateName(GreetingState state)
{
    return StateNames[std::size_t(state)].toString();
}

GreetingState stateOf(const QString &name)
{
    for (std::size_t i = 1; i + 1 < StateNames.size(); ++i) {
        if (name == StateNames[i])
            return GreetingState(i);
    }
    return GreetingState::None;
}

bool hasGreetingTable(Connection &connection)
{
    Statement select =
        connection.prepare("select 1 from sqlite_master where type='table' and name='dxgreeting'");
    return select.step();
}

void ensureGreetingTable(Connection &connection)
{
    connection.exec("create table if not exists dxgreeting(intBirthdayId integer not null,"
                    " intYear integer not null, strTel text not null, strState text default '',"
                    " strRequestId text default '', intHistoryId integer default -1,"
                    " strUpdated text default '', primary key(intBirthdayId, intYear, strTel))");
}

constexpr const char *GreetingColumns =
    "select intBirthdayId,intYear,strTel,strState,strRequestId,intHistoryId,strUpdated"
    " from dxgreeting ";

GreetingRow rowOf(const Statement &select)
{
    return { { qint32(select.integer(0)), int(select.integer(1)), select.text(2) },
        stateOf(select.text(3)), select.text(4), select.integer(5), select.text(6) };
}

} // namespace

GreetingRow findGreeting(Connection &connection, const GreetingKey &key)
{
    GreetingRow row { key, GreetingState::None, {}, -1, {} };
    try {
        if (!hasGreetingTable(connection))
            return row;
        Statement select = connection.prepare(
            std::string(GreetingColumns) + "where intBirthdayId=? and intYear=? and strTel=?");
        select.bindAll(key.birthdayId, key.year, key.number);
        return select.step() ? rowOf(select) : row;
    } catch (const DbException &) {
        row.state = GreetingState::Unreadable;
        return row;
    }
}

QList<GreetingRow> greetingsOfRequest(Connection &connection, const QString &requestId)
{
    QList<GreetingRow> rows;
    try {
        if (requestId.isEmpty() || !hasGreetingTable(connection))
            return rows;
        Statement select = connection.prepare(
            std::string(GreetingColumns) + "where strRequestId=? order by rowid");
        select.bind(1, requestId);
        while (select.step())
            rows.append(rowOf(select));
    } catch (const DbException &) {
        rows.clear();
    }
    return rows;
}

bool writeGreetings(Connection &connection, const QList<GreetingRow> &rows)
{
    if (rows.isEmpty())
        return true;
    try {
        Transaction transaction(connection);
        ensureGreetingTable(connection);
        Statement write = connection.prepare(
            "insert or replace into dxgreeting(intBirthdayId,intYear,strTel,strState,"
            "strRequestId,intHistoryId,strUpdated) values(?,?,?,?,?,?,?)");
        for (const GreetingRow &row : rows) {
            write.reset();
            write.bindAll(row.key.birthdayId, row.key.year, row.key.number, stateName(row.state),
                row.requestId, row.historyId, row.updated);
            write.run();
        }
        transaction.commit();
        return true;
    } catch (const DbException &) {
        return false;
    }
}

} // namespace natalis::store
