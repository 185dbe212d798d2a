#pragma once

#include "sync/davtransport.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QNetworkAccessManager>
#include <QPair>
#include <QString>
#include <QUrl>
#include <atomic>
#include <functional>

class QNetworkReply;

namespace natalis::sync {

// The most an answer may bring, in bytes: a listing (multistatus) and one card or event.
constexpr qint64 ListingCap = 32 * 1024 * 1024;
constexpr qint64 ItemCap = 1024 * 1024;

// What a status says while waitingForServer holds: the server has not begun to answer.
inline QString waitingForServerText()
{
    return QStringLiteral("等待服务器回复…");
}

struct DavAccount
{
    QString user;
    QString password;
};

struct DavRequest
{
    QByteArray verb; // GET, PUT, DELETE, PROPFIND, REPORT, MKCALENDAR ...
    QUrl url;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    // The most the answer may bring, in bytes; 0: the client's item cap for a GET, its listing
    // cap for the rest.
    qint64 maxBytes = 0;
};

// Why a request ended without an answer to act on.
enum class DavFailure {
    None,
    Unreachable, // refused, unreachable, the connection broke
    TimedOut, // no first byte in time, or the answer stalled
    TooLarge, // the answer went over the request's cap
    Certificate, // the TLS certificate was refused
    OtherOrigin, // sent to an origin the user has not accepted; location names it
    Insecure, // plain http to an address outside this computer and the local network
    Stopped, // the user stopped the sync
};

struct DavReply
{
    // The HTTP status; 0 when no whole answer came, with failure and error saying why.
    int status = 0;
    QByteArray body;
    QString etag; // the ETag header, quotes included
    QUrl location; // where a redirect points, resolved against the request's URL
    QString error; // Qt's reason, or "已停止"
    DavFailure failure = DavFailure::None;

    bool ok() const { return status >= 200 && status < 300; }
};

// How long a server may take. The defaults wait for a server that computes a large listing
// before it answers; a test shortens them.
struct DavLimits
{
    int firstByteMs = 5 * 60'000; // from sending a request to the first byte of its answer
    int stallMs = 60'000; // once answering, each span this long ...
    qint64 stallBytes = 1024; // ... must bring at least this many bytes
    int maxRedirects = 5; // hops after the first request
    int waitShownMs = 5'000; // a wait for the first byte this long is reported (waitingForServer)
    qint64 listingBytes = ListingCap; // the most a listing may bring, in bytes
    qint64 itemBytes = ItemCap; // the most one card or event (a GET) may bring, in bytes
};

// WebDAV requests with Basic credentials, sent from the thread that made the client and waited
// for there: the caller is a worker (or the command-line program), never the window thread.
// Counts what it sends, so a test and the benchmark can price a sync in requests.
class DavClient
{
public:
    // stop may be null; once set, requests not yet sent come back with status 0.
    explicit DavClient(
        DavAccount account, const std::atomic_bool *stop = nullptr, DavLimits limits = {});

    // Lets the origin (scheme, host and port) of url have the password, and with it any request
    // at all: an origin the user entered or accepted. Before any is given, the origin of the
    // first request sent is, which every caller takes from an address the user entered.
    // A URL without a host is ignored.
    void trustOrigin(const QUrl &url)
    {
        if (!url.host().isEmpty())
            m_origins << url;
    }

    // One request, following redirects like sendAll.
    DavReply send(const DavRequest &request);
    // Several at once, at most a few in flight; replies in the order of the requests. Redirects
    // are followed up to the limit, 307 and 308 with the same verb and body, 303 as a GET.
    QList<DavReply> sendAll(const QList<DavRequest> &requests);

    // Called on the client's thread when a request has waited limits.waitShownMs for the first
    // byte of its answer, at most once for each send or sendAll: for a status saying that the
    // server is still thinking, as one does over a large listing.
    std::function<void()> waitingForServer = [] {};

    int requestCount() const { return m_requests; }
    bool stopped() const { return m_stop && m_stop->load(); }
    // The most bytes of one answer held at once so far.
    qint64 peakBufferedBytes() const { return m_peakBuffered; }

private:
    friend class DavExchange;

    bool trusted(const QUrl &url);
    void reportWait();
    // The request on the wire: to the checked address for plain http; nullptr with the reason
    // in refusal when it may not be sent.
    QNetworkReply *start(const DavRequest &request, DavReply &refusal);
    std::optional<QHostAddress> localAddressFor(const QString &host);
    // Where plain http connects: url with the checked address for its name, which then goes in
    // hostHeader; nullopt when the name has no local address. Other schemes as they are.
    std::optional<QUrl> wireUrl(const QUrl &url, QByteArray &hostHeader);

    DavAccount m_account;
    const std::atomic_bool *m_stop;
    DavLimits m_limits;
    QNetworkAccessManager m_manager;
    QList<QUrl> m_origins;
    QHash<QString, QHostAddress> m_checkedHosts;
    int m_requests = 0;
    qint64 m_peakBuffered = 0;
    bool m_waitReported = false; // in the current sendAll
};

} // namespace natalis::sync
