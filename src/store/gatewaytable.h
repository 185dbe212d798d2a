#pragma once

#include <QString>

namespace natalis::store {

class Connection;

// Table dxgateway holds the SMS gateway's base address ("短信网关地址" of the settings dialog) in
// its one row, Id 1. Older files have no such table: it is created, with an empty address, the
// first time it is read or written.

// The stored address, trimmed; empty when none is set or on a database error.
QString loadGatewayAddress(Connection &connection);

// Stores address (trimmed). False on a database error.
bool saveGatewayAddress(Connection &connection, const QString &address);

} // namespace natalis::store
