#pragma once

#include "sms/smsgateway.h"

#include <QJsonObject>
#include <chrono>
#include <optional>

namespace natalis::sms {

// SmsGateway over HTTP(S)/JSON (docs/sms-gateway-protocol.md): one POST per operation to
// base address + "/" + operation name, a JSON object of the arguments as body, and a JSON
// answer {"result": N, "text": "..."}. A missing or unusable base address, a refused
// connection, an untrusted certificate, a call that outlasts its deadline, a non-2xx status or an
// unreadable answer all give 101.
class HttpSmsGateway : public SmsGateway
{
public:
    static constexpr std::chrono::milliseconds DefaultDeadline { 15000 };

    // baseAddress: "http://host:port" or "https://host:port" with an optional path prefix, e.g.
    // "https://gateway.example:8443/natalis"; "host:port" alone means http. Empty or another
    // scheme: every call is 101. deadline bounds each call as a whole: resolving, connecting,
    // the TLS handshake, sending and the complete answer. https checks the gateway's certificate
    // against the system's CA store, or against caFile alone when one is given.
    explicit HttpSmsGateway(const QString &baseAddress,
        std::chrono::milliseconds deadline = DefaultDeadline, const QString &caFile = {});

    // True for an address the client can use: http:// or https:// (or no scheme) and a host.
    static bool isUsableAddress(const QString &baseAddress);

    // Later calls go to this address; the proxy stays.
    void setBaseAddress(const QString &baseAddress);
    // The registration key every send and balance or price query carries, so that the gateway
    // can refuse callers it does not know.
    void setRegistrationKey(const QString &key) { m_key = key; }

    GatewayResult GetBalance(const QString &account, QString &buffer) override;
    GatewayResult GetPrice(const QString &account, QString &buffer) override;
    GatewayResult SendSMS(const QString &account, const QString &numbers, const QString &text,
        const QString &priority, const SendUnit &unit) override;
    GatewayResult SendScheSMS(const QString &account, const QString &numbers, const QString &text,
        const QString &sendTime, const QString &priority, const SendUnit &unit) override;
    GatewayResult Register(
        const QString &account, const QString &registrationKey, const QString &password) override;
    GatewayResult UnRegister(const QString &account) override;
    // Every later call goes through the HTTP proxy at address:port, with basic proxy
    // authentication when user is not empty; the gateway is then asked through it (operation
    // SetProxy) whether it can be reached. A port that is not a number 1..65535 or an empty
    // address gives 0 without any call, and the proxy is then not used.
    GatewayResult SetProxy(const QString &address, const QString &port, const QString &user,
        const QString &password) override;
    GatewayResult QueryUnit(const QString &account, const QString &requestId) override;

private:
    struct Answer
    {
        GatewayResult result = GatewayResults::NetworkFailure;
        std::optional<QString> text;
    };
    struct Proxy
    {
        QString host;
        int port = 0;
        QString user;
        QString password;
    };

    Answer call(const char *operation, QJsonObject arguments) const;
    QJsonObject withKey(QJsonObject arguments) const;

    QString m_origin; // scheme://host:port
    QString m_pathPrefix; // without a trailing "/"
    bool m_usable = false;
    std::chrono::milliseconds m_deadline;
    QString m_caFile;
    QString m_key;
    std::optional<Proxy> m_proxy;
};

// The gateway's answer body read strictly: a JSON object whose "result" is a whole number in the
// 32-bit range (checked before any conversion). nullopt for anything else.
std::optional<GatewayResult> parseGatewayResult(const QJsonObject &answer);

} // namespace natalis::sms
