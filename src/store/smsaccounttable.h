#pragma once

#include <QString>
#include <array>

namespace natalis::store {

class Connection;

// One of the two gateway accounts of table dxuser.
struct SmsAccount
{
    QString name; // empty when none is registered
    QString flag = QStringLiteral("0"); // "1" registered

    friend bool operator==(const SmsAccount &, const SmsAccount &) = default;
};

// The row with Id 1 (the customer account) at index 0, the row with Id 2 (the application
// account, whose messages carry the signature) at index 1.
using SmsAccountTable = std::array<SmsAccount, 2>;

// Entry 1 from the row with Id 1, entry 2 from the row with Id 2, whatever their order in the
// table; a missing row leaves its entry unregistered, a database error leaves both so.
SmsAccountTable LoadSmsAccounts(Connection &connection);

// Writes flag and name into the row with Id entry (1 or 2). False on a database error or when
// there is no such row.
bool SaveSmsAccount(Connection &connection, int entry, const QString &flag, const QString &name);

} // namespace natalis::store
