#include "store/smsaccounttable.h"

#include "store/connection.h"
#include "store/statement.h"

namespace natalis::store {

SmsAccountTable LoadSmsAccounts(Connection &connection)
{
    SmsAccountTable accounts;
    try {
        Statement select =
            connection.prepare("select Id,[user],flag from dxuser where Id in (1,2)");
        while (select.step()) {
            SmsAccount &account = accounts[std::size_t(select.integer(0) - 1)];
            account.name = select.text(1);
            account.flag = select.text(2);
        }
    } catch (const DbException &) {
        return {};
    }
    return accounts;
}

bool SaveSmsAccount(Connection &connection, int entry, const QString &flag, const QString &name)
{
    try {
        connection.prepare("update dxuser set flag=?,[user]=? where Id=?")
            .bindAll(flag, name, entry)
            .run();
        return connection.changes() == 1;
    } catch (const DbException &) {
        return false;
    }
}

} // namespace natalis::store
