#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QPair>
#include <QString>
#include <QUrl>
#include <atomic>

class QNetworkReply;

namespace natalis::sync {

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
};

struct DavReply
{
    // The HTTP status; 0 when no answer came (refused, unreachable, timed out, TLS refused,
    // stopped), with the reason in error.
    int status = 0;
    QByteArray body;
    QString etag; // the ETag header, quotes included
    QUrl location; // where a redirect points, already resolved against the request's URL
    QString error;

    bool ok() const { return status >= 200 && status < 300; }
};

// Whether a URL may carry the password. https always (verified against the system's CA store,
// never with errors ignored); plain http only to this computer or the local network, where
// `warning` then says so; nothing else.
struct TransportCheck
{
    bool allowed = false;
    QString warning; // for the sync result, empty for https
    QString refusal; // why not, empty when allowed
};
TransportCheck checkTransport(const QUrl &url);

// WebDAV requests with Basic credentials, sent from the thread that made the client and waited
// for there: the caller is a worker (or the command-line program), never the window thread.
// Counts what it sends, so a test and the benchmark can price a sync in requests.
class DavClient
{
public:
    // stop may be null; once set, requests not yet sent come back with status 0.
    explicit DavClient(DavAccount account, const std::atomic_bool *stop = nullptr);

    // One request; follows up to five redirects (the well-known address answers with one).
    DavReply send(const DavRequest &request);
    // Several at once, at most a few in flight; replies in the order of the requests. No
    // redirects are followed: these go to resources whose address is known.
    QList<DavReply> sendAll(const QList<DavRequest> &requests);

    int requestCount() const { return m_requests; }
    bool stopped() const { return m_stop && m_stop->load(); }

private:
    QNetworkReply *start(const DavRequest &request);
    DavReply take(QNetworkReply *reply) const;

    DavAccount m_account;
    const std::atomic_bool *m_stop;
    QNetworkAccessManager m_manager;
    int m_requests = 0;
};

} // namespace natalis::sync
