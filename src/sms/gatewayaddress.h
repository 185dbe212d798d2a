#pragma once

#include "sms/httpsmsgateway.h"

#include <QString>
#include <chrono>
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

// The gateway the program talks to: an HttpSmsGateway on the stored address whose sends carry
// the registration key of computerName. With no address every operation answers 101, which the
// windows report as "网络故障".
std::unique_ptr<HttpSmsGateway> OpenSmsGateway(store::Connection &connection,
    const QString &computerName,
    std::chrono::milliseconds deadline = HttpSmsGateway::DefaultDeadline);

} // namespace natalis::sms
