#include "app/smsstartup.h"

#include "store/connection.h"
#include "store/statement.h"

using namespace Qt::StringLiterals;

namespace natalis::app {

QDate smsHistoryCutoff(int retention, QDate today)
{
    switch (retention) {
    case 1:
        return today.addYears(-1);
    case 2:
        return today.addMonths(-6);
    case 3:
        return today.addMonths(-3);
    case 4:
        return today.addMonths(-1);
    default:
        return {};
    }
}

void PurgeSmsHistory(store::Connection &connection, int retention, QDate today)
{
    const QDate cutoff = smsHistoryCutoff(retention, today);
    if (!cutoff.isValid())
        return;
    try {
        // Send times are stored as "yyyy-MM-dd HH:mm:ss", which compare in time order.
        connection.prepare("delete from [dxhistory] where strSdDate <= ?")
            .bind(1, cutoff.toString(u"yyyy-MM-dd"_s) + u" 00:00:00"_s)
            .run();
    } catch (const store::DbException &) {
    }
}

SmsAccountTable LoadSmsAccounts(store::Connection &connection)
{
    SmsAccountTable accounts;
    try {
        store::Statement select =
            connection.prepare("select Id,[user],flag from dxuser where Id in (1,2)");
        while (select.step()) {
            SmsAccount &account = accounts[std::size_t(select.integer(0) - 1)];
            account.name = select.text(1);
            account.flag = select.text(2);
        }
    } catch (const store::DbException &) {
        return {};
    }
    return accounts;
}

} // namespace natalis::app
