#pragma once

#include "sms/smsgateway.h"

#include <QString>
#include <memory>

namespace natalis::store {
class Connection;
}

namespace natalis::sms {

// Table dxgateway holds the gateway's base address ("短信网关地址" of the settings dialog) in
// its one row, Id 1. Older files have no such table: it is created, with an empty address, the
// first time it is read or written.

// The stored address, trimmed; empty when none is set or on a database error.
QString LoadGatewayAddress(store::Connection &connection);

// Stores address (trimmed). False on a database error.
bool SaveGatewayAddress(store::Connection &connection, const QString &address);

// The gateway the program talks to: an HttpSmsGateway on the stored address. With no address
// every operation answers 101, which the windows report as "网络故障".
std::unique_ptr<SmsGateway> OpenSmsGateway(store::Connection &connection);

} // namespace natalis::sms
