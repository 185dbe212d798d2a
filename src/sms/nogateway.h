#pragma once

#include "sms/smsgateway.h"

namespace natalis::sms {

// The gateway an SmsSendContext holds where its work must never reach the network: a batch's
// log row written before the real call goes out on the gateway's thread, the answer written
// after it comes back, the night's greetings looked up in the log. A path that calls it anyway
// gets 101 (network failure) from every operation, so that what it records is a failure and
// never a send that did not happen; each such call is also warned about.
class NoGateway : public SmsGateway
{
public:
    GatewayResult GetBalance(const QString &account, QString &buffer) override;
    GatewayResult GetPrice(const QString &account, QString &buffer) override;
    GatewayResult SendSMS(const QString &account, const QString &numbers, const QString &text,
        const QString &priority, const SendUnit &unit) override;
    GatewayResult SendScheSMS(const QString &account, const QString &numbers, const QString &text,
        const QString &sendTime, const QString &priority, const SendUnit &unit) override;
    GatewayResult Register(
        const QString &account, const QString &registrationKey, const QString &password) override;
    GatewayResult UnRegister(const QString &account) override;
    GatewayResult SetProxy(const QString &address, const QString &port, const QString &user,
        const QString &password) override;
    GatewayResult QueryUnit(const QString &account, const QString &requestId) override;
};

} // namespace natalis::sms
