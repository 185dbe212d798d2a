#include "sms/gatewayaddress.h"

#include "sms/httpsmsgateway.h"
#include "sms/smsaccounts.h"
#include "store/connection.h"
#include "store/statement.h"

namespace natalis::sms {

namespace {

void ensureTable(store::Connection &connection)
{
    connection.exec("create table if not exists dxgateway("
                    "Id integer primary key,address text not null default '')");
    connection.exec("insert or ignore into dxgateway(Id,address) values(1,'')");
}

} // namespace

QString LoadGatewayAddress(store::Connection &connection)
{
    try {
        ensureTable(connection);
        store::Statement select = connection.prepare("select address from dxgateway where Id=1");
        return select.step() ? select.text(0).trimmed() : QString();
    } catch (const store::DbException &) {
        return {};
    }
}

bool SaveGatewayAddress(store::Connection &connection, const QString &address)
{
    try {
        ensureTable(connection);
        connection.prepare("update dxgateway set address=? where Id=1")
            .bind(1, address.trimmed())
            .run();
        return true;
    } catch (const store::DbException &) {
        return false;
    }
}

std::unique_ptr<HttpSmsGateway> OpenSmsGateway(
    store::Connection &connection, const QString &computerName, std::chrono::milliseconds deadline)
{
    auto gateway = std::make_unique<HttpSmsGateway>(LoadGatewayAddress(connection), deadline);
    gateway->setRegistrationKey(RegistrationKey(computerName));
    return gateway;
}

} // namespace natalis::sms
