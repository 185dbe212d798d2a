#include "sync/davclient.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace natalis::sync {

namespace {

// Enough to keep a server busy over a slow link without flooding a small home server.
constexpr int InFlight = 6;
// What Qt may hold of an answer before we take it: the rest waits in the socket.
constexpr qint64 ReadChunk = 64 * 1024;
constexpr int StopPollMs = 100;

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// 307 and 308 promise the same request; 303 asks for a GET; 301 and 302 keep the verb, as
// WebDAV servers expect of them.
DavRequest redirected(const DavRequest &request, const QUrl &target, int status)
{
    DavRequest next = request;
    next.url = target;
    if (status == 303 && request.verb != "HEAD") {
        next.verb = "GET";
        next.body.clear();
    }
    return next;
}

qint64 capOf(const DavRequest &request, const DavLimits &limits)
{
    if (request.maxBytes > 0)
        return request.maxBytes;
    return request.verb == "GET" ? limits.itemBytes : limits.listingBytes;
}

DavReply refused(DavFailure failure, const QString &error, const QUrl &location = {})
{
    DavReply reply;
    reply.failure = failure;
    reply.error = error;
    reply.location = location;
    return reply;
}

DavFailure failureOf(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::SslHandshakeFailedError:
        return DavFailure::Certificate;
    case QNetworkReply::TimeoutError:
        return DavFailure::TimedOut;
    default:
        return DavFailure::Unreachable;
    }
}

// Errors of the connection itself, as opposed to an HTTP status Qt also reports as an error: an
// answer cut off by one of these is no answer.
bool brokeConnection(QNetworkReply::NetworkError error)
{
    return error > QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

} // namespace

// One request from its first hop to its last: the answer read as it arrives, within the
// request's cap, and watched for the time limits.
class DavExchange
{
public:
    DavExchange(DavClient &client, DavRequest request, std::function<void(DavReply)> done)
        : m_client(client), m_request(std::move(request)), m_done(std::move(done))
    {
    }
    DavExchange(const DavExchange &) = delete;
    DavExchange &operator=(const DavExchange &) = delete;
    ~DavExchange()
    {
        if (m_reply) {
            QObject::disconnect(m_reply, nullptr, nullptr, nullptr);
            m_reply->abort();
            m_reply->deleteLater();
        }
    }

    // Sends the current hop, or ends at once when it may not go.
    void launch();
    // Ends the exchange when the user stopped or the server keeps it waiting too long.
    void tick();

private:
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void fail(DavFailure failure, const QString &reason);
    void startWindow();
    DavReply take();
    void end(DavReply reply);

    DavClient &m_client;
    DavRequest m_request;
    std::function<void(DavReply)> m_done;
    QNetworkReply *m_reply = nullptr;
    int m_hops = 0;
    QByteArray m_body;
    QElapsedTimer m_clock; // since sending, then since the current span began
    bool m_answering = false;
    qint64 m_spanBytes = 0;
    DavFailure m_failure = DavFailure::None;
    QString m_reason;
};

void DavExchange::launch()
{
    if (m_client.stopped())
        return end(refused(DavFailure::Stopped, u"已停止"_s));
    DavReply refusal;
    m_reply = m_client.start(m_request, refusal);
    if (!m_reply)
        return end(refusal);
    m_body.clear();
    m_answering = false;
    m_failure = DavFailure::None;
    m_clock.start();
    QObject::connect(m_reply, &QNetworkReply::metaDataChanged, [this] { onMetaData(); });
    QObject::connect(m_reply, &QNetworkReply::readyRead, [this] { onReadyRead(); });
    QObject::connect(m_reply, &QNetworkReply::finished, [this] { onFinished(); });
    QObject::connect(m_reply, &QNetworkReply::sslErrors, [this](const QList<QSslError> &errors) {
        QStringList reasons;
        for (const QSslError &error : errors)
            reasons << error.errorString();
        m_reason = reasons.join(u"; "_s);
    });
}

void DavExchange::startWindow()
{
    m_answering = true;
    m_spanBytes = 0;
    m_clock.restart();
}

void DavExchange::tick()
{
    if (!m_reply)
        return;
    if (m_client.stopped())
        return fail(DavFailure::Stopped, u"已停止"_s);
    const DavLimits &limits = m_client.m_limits;
    if (!m_answering) {
        if (m_clock.elapsed() >= limits.waitShownMs)
            m_client.reportWait();
        if (m_clock.elapsed() >= limits.firstByteMs)
            fail(DavFailure::TimedOut, u"no answer in time"_s);
        return;
    }
    if (m_clock.elapsed() < limits.stallMs)
        return;
    if (m_spanBytes < limits.stallBytes)
        return fail(DavFailure::TimedOut, u"the answer stalled"_s);
    startWindow();
}

void DavExchange::onMetaData()
{
    if (!m_answering)
        startWindow();
    const qint64 announced = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > capOf(m_request, m_client.m_limits))
        fail(DavFailure::TooLarge, u"answer of %1 bytes"_s.arg(announced));
}

void DavExchange::onReadyRead()
{
    if (!m_answering)
        startWindow();
    // Never more than one byte over the cap is taken, however much Qt holds already.
    const qint64 cap = capOf(m_request, m_client.m_limits);
    while (m_reply->bytesAvailable() > 0 && m_body.size() <= cap) {
        const QByteArray chunk = m_reply->read(std::min(ReadChunk, cap + 1 - m_body.size()));
        m_body += chunk;
        m_spanBytes += chunk.size();
    }
    m_client.m_peakBuffered = std::max(m_client.m_peakBuffered, qint64(m_body.size()));
    if (m_body.size() > cap)
        fail(DavFailure::TooLarge, u"answer over %1 bytes"_s.arg(cap));
}

void DavExchange::fail(DavFailure failure, const QString &reason)
{
    if (m_failure != DavFailure::None || !m_reply)
        return;
    m_failure = failure;
    m_reason = reason;
    m_reply->abort(); // finishes the reply, here or from the event loop
}

DavReply DavExchange::take()
{
    QNetworkReply *reply = std::exchange(m_reply, nullptr);
    reply->deleteLater();
    if (m_failure != DavFailure::None)
        return refused(m_failure, m_reason);
    DavReply result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (result.status == 0 || brokeConnection(reply->error())) {
        const DavFailure failure = failureOf(reply->error());
        return refused(failure,
            failure == DavFailure::Certificate && !m_reason.isEmpty() ? m_reason
                                                                      : reply->errorString());
    }
    result.body = std::exchange(m_body, {});
    result.etag = QString::fromLatin1(reply->rawHeader("ETag"));
    // Read raw: Qt's own reading drops a relative address.
    if (const QUrl target = QUrl::fromEncoded(reply->rawHeader("Location"));
        target.isValid() && !target.isEmpty())
        result.location = m_request.url.resolved(target);
    return result;
}

void DavExchange::onFinished()
{
    if (m_reply && m_failure == DavFailure::None)
        onReadyRead(); // what came with the end
    DavReply reply = take();
    if (isRedirect(reply.status) && reply.location.isValid()
        && m_hops < m_client.m_limits.maxRedirects) {
        ++m_hops;
        m_request = redirected(m_request, reply.location, reply.status);
        return launch();
    }
    end(std::move(reply));
}

void DavExchange::end(DavReply reply)
{
    m_request = {};
    m_done(std::move(reply));
}

DavClient::DavClient(DavAccount account, const std::atomic_bool *stop, DavLimits limits)
    : m_account(std::move(account)), m_stop(stop), m_limits(limits)
{
    m_manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

bool DavClient::trusted(const QUrl &url)
{
    if (m_origins.isEmpty())
        m_origins << url;
    return std::any_of(m_origins.cbegin(), m_origins.cend(),
        [&](const QUrl &origin) { return sameOrigin(origin, url); });
}

void DavClient::reportWait()
{
    if (!std::exchange(m_waitReported, true) && waitingForServer)
        waitingForServer();
}

std::optional<QHostAddress> DavClient::localAddressFor(const QString &host)
{
    if (const auto known = m_checkedHosts.constFind(host); known != m_checkedHosts.cend())
        return *known;
    const std::optional<QHostAddress> address = localAddressOf(host);
    if (address)
        m_checkedHosts.insert(host, *address);
    return address;
}

std::optional<QUrl> DavClient::wireUrl(const QUrl &url, QByteArray &hostHeader)
{
    if (url.scheme().compare(u"http", Qt::CaseInsensitive) != 0)
        return url;
    // Connected to the address that was checked, so that no later answer of the name server
    // can send the password in clear elsewhere.
    const std::optional<QHostAddress> address = localAddressFor(url.host());
    if (!address)
        return std::nullopt;
    if (!QHostAddress(url.host()).isNull())
        return url;
    hostHeader = url.host(QUrl::FullyEncoded).toUtf8();
    if (url.port() != -1)
        hostHeader += ':' + QByteArray::number(url.port());
    QUrl wire = url;
    wire.setHost(address->toString());
    return wire;
}

QNetworkReply *DavClient::start(const DavRequest &request, DavReply &refusal)
{
    QByteArray hostHeader;
    const std::optional<QUrl> wire = wireUrl(request.url, hostHeader);
    if (!wire) {
        refusal = refused(DavFailure::Insecure, insecureRefusal(), request.url);
        return nullptr;
    }
    if (!trusted(request.url)) {
        refusal = refused(DavFailure::OtherOrigin,
            u"服务器转到了另一地址: "_s + request.url.toString(), request.url);
        return nullptr;
    }
    QNetworkRequest http(*wire);
    if (!hostHeader.isEmpty())
        http.setRawHeader("Host", hostHeader);
    // Sent with the first request, so that a sync does not pay a refused round trip for each.
    http.setRawHeader("Authorization",
        "Basic " + (m_account.user + u':' + m_account.password).toUtf8().toBase64());
    if (!request.body.isEmpty() && !request.body.startsWith("BEGIN:"))
        http.setHeader(QNetworkRequest::ContentTypeHeader, "application/xml; charset=utf-8"_ba);
    else if (!request.body.isEmpty())
        http.setHeader(QNetworkRequest::ContentTypeHeader, "text/calendar; charset=utf-8"_ba);
    for (const auto &[name, value] : request.headers)
        http.setRawHeader(name, value);
    ++m_requests;
    QNetworkReply *reply = m_manager.sendCustomRequest(http, request.verb, request.body);
    reply->setReadBufferSize(ReadChunk);
    return reply;
}

DavReply DavClient::send(const DavRequest &request)
{
    return sendAll({ request }).first();
}

QList<DavReply> DavClient::sendAll(const QList<DavRequest> &requests)
{
    QList<DavReply> replies(requests.size());
    m_waitReported = false;
    std::vector<std::unique_ptr<DavExchange>> exchanges;
    QEventLoop loop;
    qsizetype next = 0, running = 0;
    std::function<void()> fill = [&] {
        while (running < InFlight && next < requests.size()) {
            const qsizetype index = next++;
            ++running;
            exchanges.push_back(
                std::make_unique<DavExchange>(*this, requests[index], [&, index](DavReply reply) {
                    replies[index] = std::move(reply);
                    --running;
                    QMetaObject::invokeMethod(&loop, fill, Qt::QueuedConnection);
                }));
            exchanges.back()->launch();
        }
        if (running == 0 && next == requests.size())
            loop.quit();
    };
    // One watch for the stop and the time limits of every request under way.
    QTimer watch;
    watch.setInterval(
        std::clamp(std::min(m_limits.stallMs, m_limits.firstByteMs) / 4, 1, StopPollMs));
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        for (size_t i = 0; i < exchanges.size(); ++i)
            exchanges[i]->tick();
    });
    fill();
    if (running > 0 || next < requests.size()) {
        watch.start();
        loop.exec();
    }
    return replies;
}

} // namespace natalis::sync
