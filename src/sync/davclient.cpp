#include "sync/davclient.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>
#include <QTimer>
#include <functional>

using namespace Qt::StringLiterals;

namespace natalis::sync {

namespace {

// Enough to keep a server busy over a slow link without flooding a small home server.
constexpr int InFlight = 6;
constexpr int TimeoutMs = 30'000;
constexpr int MaxRedirects = 5;
constexpr int StopPollMs = 100;

bool isLocalAddress(const QHostAddress &address)
{
    static const QList<QPair<QHostAddress, int>> Subnets = {
        QHostAddress::parseSubnet(u"10.0.0.0/8"_s),
        QHostAddress::parseSubnet(u"172.16.0.0/12"_s),
        QHostAddress::parseSubnet(u"192.168.0.0/16"_s),
        QHostAddress::parseSubnet(u"169.254.0.0/16"_s),
        QHostAddress::parseSubnet(u"fc00::/7"_s),
        QHostAddress::parseSubnet(u"fe80::/10"_s),
    };
    if (address.isLoopback())
        return true;
    for (const auto &subnet : Subnets) {
        if (address.isInSubnet(subnet))
            return true;
    }
    return false;
}

// Names a home network gives its machines; a public name is never one of these.
bool isLocalName(const QString &host)
{
    return host == u"localhost" || host.endsWith(u".localhost") || host.endsWith(u".local")
        || host.endsWith(u".lan") || host.endsWith(u".home.arpa") || !host.contains(u'.');
}

} // namespace

TransportCheck checkTransport(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return { false, {}, u"服务器地址无效"_s };
    const QString scheme = url.scheme().toLower();
    if (scheme == u"https")
        return { true, {}, {} };
    if (scheme != u"http")
        return { false, {}, u"服务器地址须以https://开头"_s };
    const QString host = url.host().toLower();
    const QHostAddress address(host);
    const bool local = address.isNull() ? isLocalName(host) : isLocalAddress(address);
    if (!local)
        return { false, {}, u"未加密的http连接只允许本机或局域网服务器, 请使用https"_s };
    return { true, u"注意: 与服务器的连接未加密(http)"_s, {} };
}

DavClient::DavClient(DavAccount account, const std::atomic_bool *stop)
    : m_account(std::move(account)), m_stop(stop)
{
    m_manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

QNetworkReply *DavClient::start(const DavRequest &request)
{
    QNetworkRequest http(request.url);
    http.setTransferTimeout(TimeoutMs);
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
    return m_manager.sendCustomRequest(http, request.verb, request.body);
}

DavReply DavClient::take(QNetworkReply *reply) const
{
    DavReply result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    result.etag = QString::fromLatin1(reply->rawHeader("ETag"));
    if (const QUrl target = reply->header(QNetworkRequest::LocationHeader).toUrl();
        target.isValid())
        result.location = reply->url().resolved(target);
    if (result.status == 0)
        result.error = reply->errorString();
    reply->deleteLater();
    return result;
}

DavReply DavClient::send(const DavRequest &request)
{
    DavRequest current = request;
    for (int hop = 0;; ++hop) {
        DavReply reply = sendAll({ current }).first();
        const bool redirect = reply.status >= 300 && reply.status < 400 && reply.status != 304;
        if (!redirect || hop == MaxRedirects || !reply.location.isValid()
            || !checkTransport(reply.location).allowed)
            return reply;
        current.url = reply.location;
    }
}

QList<DavReply> DavClient::sendAll(const QList<DavRequest> &requests)
{
    QList<DavReply> replies(requests.size());
    QEventLoop loop;
    qsizetype next = 0, running = 0;
    QSet<QNetworkReply *> active;
    // A stop does not wait for a slow server's answers: the requests under way are cut off.
    QTimer watch;
    watch.setInterval(StopPollMs);
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (stopped()) {
            for (QNetworkReply *reply : QSet(active))
                reply->abort();
        }
    });
    std::function<void()> fill = [&] {
        while (running < InFlight && next < requests.size()) {
            const qsizetype index = next++;
            if (stopped()) {
                replies[index].error = u"已停止"_s;
                continue;
            }
            QNetworkReply *reply = start(requests[index]);
            ++running;
            active.insert(reply);
            QObject::connect(reply, &QNetworkReply::finished, &loop, [&, reply, index] {
                active.remove(reply);
                replies[index] = take(reply);
                if (stopped() && replies[index].status == 0)
                    replies[index].error = u"已停止"_s;
                --running;
                fill();
                if (running == 0 && next == requests.size())
                    loop.quit();
            });
        }
    };
    fill();
    if (running > 0) {
        if (m_stop)
            watch.start();
        loop.exec();
    }
    return replies;
}

} // namespace natalis::sync
