#pragma once

#include "sms/smsgateway.h"

#include <QJsonObject>
#include <chrono>
#include <optional>

namespace natalis::sms {

// SmsGateway over HTTP/JSON (docs/sms-gateway-protocol.md): one POST per operation to
// base address + "/" + operation name, a JSON object of the arguments as body, and a JSON
// answer {"result": N, "text": "..."}. A missing or unusable base address, a refused
// connection, a timeout, a non-2xx status or an unreadable answer all give 101.
class HttpSmsGateway : public SmsGateway
{
public:
    static constexpr std::chrono::milliseconds DefaultTimeout { 10000 };

    // baseAddress: "http://host:port" with an optional path prefix, e.g.
    // "http://127.0.0.1:8787/gateway"; "host:port" alone means http. Empty: every call is 101.
    // timeout bounds connecting, sending and waiting for the answer, each.
    explicit HttpSmsGateway(
        const QString &baseAddress, std::chrono::milliseconds timeout = DefaultTimeout);

    GatewayResult GetBalance(const QString &account, QString &buffer) override;
    GatewayResult GetPrice(const QString &account, QString &buffer) override;
    GatewayResult SendSMS(const QString &account, const QString &numbers, const QString &text,
        const QString &priority) override;
    GatewayResult SendScheSMS(const QString &account, const QString &numbers, const QString &text,
        const QString &sendTime, const QString &priority) override;
    GatewayResult Register(
        const QString &account, const QString &registrationKey, const QString &password) override;
    GatewayResult UnRegister(const QString &account) override;
    // Every later call goes through the HTTP proxy at address:port, with basic proxy
    // authentication when user is not empty; the gateway is then asked through it (operation
    // SetProxy) whether it can be reached. A port that is not a number 1..65535 or an empty
    // address gives 0 without any call, and the proxy is then not used.
    GatewayResult SetProxy(const QString &address, const QString &port, const QString &user,
        const QString &password) override;

private:
    struct Answer
    {
        GatewayResult result = GatewayResults::NetworkFailure;
        QString text;
    };
    struct Proxy
    {
        QString host;
        int port = 0;
        QString user;
        QString password;
    };

    Answer call(const char *operation, const QJsonObject &arguments) const;

    QString m_scheme;
    QString m_host;
    int m_port = 0;
    QString m_pathPrefix; // without a trailing "/"
    bool m_usable = false;
    std::chrono::milliseconds m_timeout;
    std::optional<Proxy> m_proxy;
};

} // namespace natalis::sms
