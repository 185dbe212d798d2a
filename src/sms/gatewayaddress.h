#pragma once

#include "sms/httpsmsgateway.h"
#include "store/gatewaytable.h"

#include <QString>
#include <chrono>
#include <memory>

namespace natalis::store {
class Connection;
}

namespace natalis::sms {

// The gateway's base address is kept in table dxgateway; store/gatewaytable.h reads and
// writes it.
using store::loadGatewayAddress;
using store::saveGatewayAddress;

// The gateway the program talks to: an HttpSmsGateway on the stored address whose sends carry
// the registration key of computerName. With no address every operation answers 101, which the
// windows report as "网络故障".
std::unique_ptr<HttpSmsGateway> openSmsGateway(store::Connection &connection,
    const QString &computerName,
    std::chrono::milliseconds deadline = HttpSmsGateway::DefaultDeadline);

} // namespace natalis::sms
