#include "sms/httpsmsgateway.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QUrl>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <httplib.h>
#include <mutex>
#include <thread>

using namespace Qt::StringLiterals;

namespace natalis::sms {

namespace {

using Clock = std::chrono::steady_clock;

// The buffer the original library filled in place: at least GatewayBufferWidth characters.
QString bufferText(const std::optional<QString> &text)
{
    return text.value_or(QString()).leftJustified(GatewayBufferWidth, u' ');
}

std::string utf8(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

std::optional<QUrl> gatewayUrl(const QString &baseAddress)
{
    QString address = baseAddress.trimmed();
    if (address.isEmpty())
        return std::nullopt;
    if (!address.contains(u"://"_s))
        address.prepend(u"http://"_s);
    const QUrl url(address, QUrl::StrictMode);
    const bool known = url.scheme() == u"http"_s || url.scheme() == u"https"_s;
    if (!url.isValid() || !known || url.host().isEmpty())
        return std::nullopt;
    return url;
}

void setTimeouts(httplib::Client &client, std::chrono::milliseconds limit)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit);
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(limit - seconds);
    client.set_connection_timeout(time_t(seconds.count()), time_t(micros.count()));
    client.set_read_timeout(time_t(seconds.count()), time_t(micros.count()));
    client.set_write_timeout(time_t(seconds.count()), time_t(micros.count()));
}

// One request on a thread of its own, so that the caller can stop waiting at the deadline
// whatever the request is stuck in (name lookup, connect, TLS handshake, a dribbled header).
// The thread owns the flight; an abandoned one is shut down and ends on its own.
struct Flight
{
    explicit Flight(const std::string &origin) : client(origin) { }

    httplib::Client client;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    int status = 0;
    std::string body;
};

std::optional<std::string> postWithin(
    const std::shared_ptr<Flight> &flight, httplib::Request request, Clock::time_point deadline)
{
    // A dribbled body is cut off as soon as the deadline has passed.
    request.progress = [deadline](uint64_t, uint64_t) { return Clock::now() < deadline; };
    std::thread([flight, request = std::move(request)]() mutable {
        httplib::Response response;
        httplib::Error error = httplib::Error::Success;
        const bool sent = flight->client.send(request, response, error);
        const std::lock_guard lock(flight->mutex);
        flight->status = sent ? response.status : 0;
        flight->body = std::move(response.body);
        flight->done = true;
        flight->finished.notify_all();
    }).detach();

    std::unique_lock lock(flight->mutex);
    if (!flight->finished.wait_until(lock, deadline, [&] { return flight->done; })) {
        // stop() waits while the request is still connecting, so it must not hold up the caller.
        std::thread([flight] { flight->client.stop(); }).detach();
        return std::nullopt;
    }
    if (flight->status < 200 || flight->status > 299)
        return std::nullopt;
    return std::move(flight->body);
}

} // namespace

std::optional<GatewayResult> parseGatewayResult(const QJsonObject &answer)
{
    const QJsonValue result = answer.value(u"result"_s);
    if (!result.isDouble())
        return std::nullopt;
    const double number = result.toDouble();
    // Range first: converting 1e300 or 9.3e18 to an integer would be undefined.
    if (!std::isfinite(number) || number < double(INT_MIN) || number > double(INT_MAX)
        || std::trunc(number) != number)
        return std::nullopt;
    return GatewayResult(number);
}

HttpSmsGateway::HttpSmsGateway(
    const QString &baseAddress, std::chrono::milliseconds deadline, const QString &caFile)
    : m_deadline(deadline), m_caFile(caFile)
{
    setBaseAddress(baseAddress);
}

bool HttpSmsGateway::isUsableAddress(const QString &baseAddress)
{
    return gatewayUrl(baseAddress).has_value();
}

void HttpSmsGateway::setBaseAddress(const QString &baseAddress)
{
    m_usable = false;
    const std::optional<QUrl> url = gatewayUrl(baseAddress);
    if (!url)
        return;
    const bool secure = url->scheme() == u"https"_s;
    m_origin = url->scheme() + u"://"_s + url->host(QUrl::FullyEncoded) + u':'
        + QString::number(url->port(secure ? 443 : 80));
    m_pathPrefix = url->path(QUrl::FullyEncoded);
    while (m_pathPrefix.endsWith(u'/'))
        m_pathPrefix.chop(1);
    m_usable = true;
}

HttpSmsGateway::Answer HttpSmsGateway::call(const char *operation, QJsonObject arguments) const
{
    if (!m_usable)
        return {};
    const Clock::time_point deadline = Clock::now() + m_deadline;
    auto flight = std::make_shared<Flight>(utf8(m_origin));
    httplib::Client &client = flight->client;
    setTimeouts(client, m_deadline);
    client.set_keep_alive(false);
    client.enable_server_certificate_verification(true);
    if (!m_caFile.isEmpty())
        client.set_ca_cert_path(utf8(m_caFile));
    if (m_proxy) {
        client.set_proxy(utf8(m_proxy->host), m_proxy->port);
        if (!m_proxy->user.isEmpty())
            client.set_proxy_basic_auth(utf8(m_proxy->user), utf8(m_proxy->password));
    }

    httplib::Request request;
    request.method = "POST";
    request.path = utf8(m_pathPrefix) + '/' + operation;
    const QByteArray body = QJsonDocument(arguments).toJson(QJsonDocument::Compact);
    request.body.assign(body.constData(), std::size_t(body.size()));
    request.set_header("Content-Type", "application/json; charset=utf-8");
    const std::optional<std::string> answer = postWithin(flight, std::move(request), deadline);
    if (!answer)
        return {};

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray::fromRawData(answer->data(), qsizetype(answer->size())), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {};
    const std::optional<GatewayResult> result = parseGatewayResult(document.object());
    if (!result)
        return {};
    const QJsonValue text = document.object().value(u"text"_s);
    return { *result, text.isString() ? std::optional(text.toString()) : std::nullopt };
}

QJsonObject HttpSmsGateway::withKey(QJsonObject arguments) const
{
    arguments.insert(u"key"_s, m_key);
    return arguments;
}

GatewayResult HttpSmsGateway::GetBalance(const QString &account, QString &buffer)
{
    const Answer answer = call("GetBalance", withKey({ { u"account"_s, account } }));
    buffer = bufferText(answer.text);
    // A balance without an amount is no balance: taking it for 0 would refuse every send.
    if (answer.result == GatewayResults::Ok && !answer.text)
        return GatewayResults::NetworkFailure;
    return answer.result;
}

GatewayResult HttpSmsGateway::GetPrice(const QString &account, QString &buffer)
{
    const Answer answer = call("GetPrice", withKey({ { u"account"_s, account } }));
    buffer = bufferText(answer.text);
    return answer.result;
}

namespace {

QJsonObject sendArguments(const QString &account, const QString &numbers, const QString &text,
    const QString &priority, const SendUnit &unit)
{
    return { { u"account"_s, account }, { u"numbers"_s, numbers }, { u"text"_s, text },
        { u"priority"_s, priority }, { u"requestId"_s, unit.requestId }, { u"part"_s, unit.part },
        { u"parts"_s, unit.parts } };
}

} // namespace

GatewayResult HttpSmsGateway::SendSMS(const QString &account, const QString &numbers,
    const QString &text, const QString &priority, const SendUnit &unit)
{
    return call("SendSMS", withKey(sendArguments(account, numbers, text, priority, unit))).result;
}

GatewayResult HttpSmsGateway::SendScheSMS(const QString &account, const QString &numbers,
    const QString &text, const QString &sendTime, const QString &priority, const SendUnit &unit)
{
    QJsonObject arguments = sendArguments(account, numbers, text, priority, unit);
    arguments.insert(u"sendTime"_s, sendTime);
    return call("SendScheSMS", withKey(arguments)).result;
}

GatewayResult HttpSmsGateway::QueryUnit(const QString &account, const QString &requestId)
{
    return call("QueryUnit", withKey({ { u"account"_s, account }, { u"requestId"_s, requestId } }))
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
    return call("UnRegister", withKey({ { u"account"_s, account } })).result;
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
