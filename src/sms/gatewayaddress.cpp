#include "sms/gatewayaddress.h"

#include "sms/httpsmsgateway.h"
#include "sms/smsaccounts.h"

namespace natalis::sms {

std::unique_ptr<HttpSmsGateway> openSmsGateway(
    store::Connection &connection, const QString &computerName, std::chrono::milliseconds deadline)
{
    auto gateway = std::make_unique<HttpSmsGateway>(loadGatewayAddress(connection), deadline);
    gateway->setRegistrationKey(RegistrationKey(computerName));
    return gateway;
}

} // namespace natalis::sms
