#include "sms/httpsmsgateway.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QUrl>
#include <climits>
#include <httplib.h>

using namespace Qt::StringLiterals;

namespace natalis::sms {

namespace {

// The buffer the original library filled in place: at least GatewayBufferWidth characters.
QString bufferText(const QString &text)
{
    return text.leftJustified(GatewayBufferWidth, u' ');
}

std::string utf8(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace

HttpSmsGateway::HttpSmsGateway(const QString &baseAddress, std::chrono::milliseconds timeout)
    : m_timeout(timeout)
{
    QString address = baseAddress.trimmed();
    if (address.isEmpty())
        return;
    if (!address.contains(u"://"_s))
        address.prepend(u"http://"_s);
    const QUrl url(address, QUrl::StrictMode);
    // Plain HTTP only: the gateway sits on the local network or behind a bridge of the user's.
    if (!url.isValid() || url.scheme() != u"http"_s || url.host().isEmpty())
        return;
    m_scheme = url.scheme();
    m_host = url.host();
    m_port = url.port(80);
    m_pathPrefix = url.path();
    while (m_pathPrefix.endsWith(u'/'))
        m_pathPrefix.chop(1);
    m_usable = true;
}

HttpSmsGateway::Answer HttpSmsGateway::call(
    const char *operation, const QJsonObject &arguments) const
{
    if (!m_usable)
        return {};
    httplib::Client client(utf8(m_host), m_port);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_timeout);
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(m_timeout - seconds);
    client.set_connection_timeout(time_t(seconds.count()), time_t(micros.count()));
    client.set_read_timeout(time_t(seconds.count()), time_t(micros.count()));
    client.set_write_timeout(time_t(seconds.count()), time_t(micros.count()));
    client.set_keep_alive(false);
    if (m_proxy) {
        client.set_proxy(utf8(m_proxy->host), m_proxy->port);
        if (!m_proxy->user.isEmpty())
            client.set_proxy_basic_auth(utf8(m_proxy->user), utf8(m_proxy->password));
    }

    const std::string path = utf8(m_pathPrefix) + '/' + operation;
    const QByteArray body = QJsonDocument(arguments).toJson(QJsonDocument::Compact);
    const httplib::Result response = client.Post(
        path, body.constData(), std::size_t(body.size()), "application/json; charset=utf-8");
    if (!response || response->status < 200 || response->status > 299)
        return {};

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray::fromRawData(response->body.data(), qsizetype(response->body.size())), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {};
    const QJsonValue result = document.object().value(u"result"_s);
    const double number = result.toDouble(0.5);
    if (!result.isDouble() || number != double(qint64(number)) || number < INT_MIN
        || number > INT_MAX)
        return {};
    return { GatewayResult(number), document.object().value(u"text"_s).toString() };
}

GatewayResult HttpSmsGateway::GetBalance(const QString &account, QString &buffer)
{
    const Answer answer = call("GetBalance", { { u"account"_s, account } });
    buffer = bufferText(answer.text);
    return answer.result;
}

GatewayResult HttpSmsGateway::GetPrice(const QString &account, QString &buffer)
{
    const Answer answer = call("GetPrice", { { u"account"_s, account } });
    buffer = bufferText(answer.text);
    return answer.result;
}

GatewayResult HttpSmsGateway::SendSMS(
    const QString &account, const QString &numbers, const QString &text, const QString &priority)
{
    return call("SendSMS",
        { { u"account"_s, account }, { u"numbers"_s, numbers }, { u"text"_s, text },
            { u"priority"_s, priority } })
        .result;
}

GatewayResult HttpSmsGateway::SendScheSMS(const QString &account, const QString &numbers,
    const QString &text, const QString &sendTime, const QString &priority)
{
    return call("SendScheSMS",
        { { u"account"_s, account }, { u"numbers"_s, numbers }, { u"text"_s, text },
            { u"sendTime"_s, sendTime }, { u"priority"_s, priority } })
        .result;
}

GatewayResult HttpSmsGateway::Register(
    const QString &account, const QString &registrationKey, const QString &password)
{
    return call("Register",
        { { u"account"_s, account }, { u"key"_s, registrationKey }, { u"password"_s, password } })
        .result;
}

GatewayResult HttpSmsGateway::UnRegister(const QString &account)
{
    return call("UnRegister", { { u"account"_s, account } }).result;
}

GatewayResult HttpSmsGateway::SetProxy(
    const QString &address, const QString &port, const QString &user, const QString &password)
{
    bool isNumber = false;
    const int portNumber = port.trimmed().toInt(&isNumber);
    if (address.trimmed().isEmpty() || !isNumber || portNumber < 1 || portNumber > 65535) {
        m_proxy.reset();
        return GatewayResults::ProxyFailed;
    }
    m_proxy = Proxy { address.trimmed(), portNumber, user, password };
    return call("SetProxy", { { u"address"_s, address }, { u"port"_s, port }, { u"user"_s, user } })
        .result;
}

} // namespace natalis::sms
