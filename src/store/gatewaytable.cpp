#include "store/gatewaytable.h"

#include "store/connection.h"
#include "store/statement.h"

namespace natalis::store {

namespace {

void ensureTable(Connection &connection)
{
    connection.exec("create table if not exists dxgateway("
                    "Id integer primary key,address text not null default '')");
    connection.exec("insert or ignore into dxgateway(Id,address) values(1,'')");
}

} // namespace

QString loadGatewayAddress(Connection &connection)
{
    try {
        ensureTable(connection);
        Statement select = connection.prepare("select address from dxgateway where Id=1");
        return select.step() ? select.text(0).trimmed() : QString();
    } catch (const DbException &) {
        return {};
    }
}

bool saveGatewayAddress(Connection &connection, const QString &address)
{
    try {
        ensureTable(connection);
        connection.prepare("update dxgateway set address=? where Id=1")
            .bind(1, address.trimmed())
            .run();
        return true;
    } catch (const DbException &) {
        return false;
    }
}

} // namespace natalis::store
