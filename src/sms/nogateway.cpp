#include "sms/nogateway.h"

#include <QDebug>

namespace natalis::sms {

namespace {

GatewayResult refuse(const char *operation)
{
    qWarning(
        "SMS gateway call %s made where none may go out; answered as a network failure", operation);
    return GatewayResults::NetworkFailure;
}

} // namespace

GatewayResult NoGateway::GetBalance(const QString &, QString &)
{
    return refuse("GetBalance");
}

GatewayResult NoGateway::GetPrice(const QString &, QString &)
{
    return refuse("GetPrice");
}

GatewayResult NoGateway::SendSMS(
    const QString &, const QString &, const QString &, const QString &, const SendUnit &)
{
    return refuse("SendSMS");
}

GatewayResult NoGateway::SendScheSMS(const QString &, const QString &, const QString &,
    const QString &, const QString &, const SendUnit &)
{
    return refuse("SendScheSMS");
}

GatewayResult NoGateway::Register(const QString &, const QString &, const QString &)
{
    return refuse("Register");
}

GatewayResult NoGateway::UnRegister(const QString &)
{
    return refuse("UnRegister");
}

GatewayResult NoGateway::SetProxy(
    const QString &, const QString &, const QString &, const QString &)
{
    return refuse("SetProxy");
}

GatewayResult NoGateway::QueryUnit(const QString &, const QString &)
{
    return refuse("QueryUnit");
}

} // namespace natalis::sms
