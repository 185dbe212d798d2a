#pragma once

#include <QDate>
#include <QString>
#include <array>

namespace natalis::store {
class Connection;
}

namespace natalis::app {

struct SmsAccount
{
    QString name; // empty when none is registered
    QString flag = QStringLiteral("0"); // "1" registered

    friend bool operator==(const SmsAccount &, const SmsAccount &) = default;
};

// Entry 1 (the customer account) at index 0, entry 2 (the application account) at index 1.
using SmsAccountTable = std::array<SmsAccount, 2>;

// The day on or before which SMS log rows are purged: retention 1..4 keeps 1 year, 6 months,
// 3 months or 1 month back from today; 0 ("长期有效") and any other value keep everything
// (invalid QDate).
QDate smsHistoryCutoff(int retention, QDate today);

// Deletes the SMS log rows sent on or before the cutoff day (its midnight included). Database
// errors leave the log as it was; start-up goes on regardless.
void PurgeSmsHistory(store::Connection &connection, int retention, QDate today);

// Entry 1 from the row with Id 1, entry 2 from the row with Id 2, whatever their order in the
// table; a missing row or a database error leaves its entry unregistered.
SmsAccountTable LoadSmsAccounts(store::Connection &connection);

} // namespace natalis::app
