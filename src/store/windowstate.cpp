#include "store/windowstate.h"

#include "store/connection.h"
#include "store/statement.h"

namespace natalis::store {

std::optional<QByteArray> readWindowState(Connection &connection, const QString &key)
{
    try {
        Statement select = connection.prepare("select [Value] from windowstate where [Key]=?");
        select.bind(1, key);
        if (!select.step())
            return std::nullopt;
        // Stored as Base64 text: the statement layer binds texts and numbers only.
        return QByteArray::fromBase64(select.text(0).toLatin1());
    } catch (const DbException &) {
        return std::nullopt;
    }
}

bool writeWindowState(Connection &connection, const QString &key, const QByteArray &value)
{
    try {
        connection.exec(WindowStateTableSql);
        Statement upsert =
            connection.prepare("insert or replace into windowstate([Key],[Value]) values(?,?)");
        upsert.bind(1, key).bind(2, QString::fromLatin1(value.toBase64())).run();
        return true;
    } catch (const DbException &) {
        return false;
    }
}

} // namespace natalis::store
