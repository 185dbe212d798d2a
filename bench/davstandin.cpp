// davstandin: a small WebDAV server on loopback for the sync benchmark's sizes, which Radicale
// cannot take in a run (it reads every item of a collection before it stores a new one). It
// keeps calendar and address-book collections in memory and answers what natalis's client
// sends: PROPFIND of depth 0 and 1 (resource type, display name, getctag, sync-token, getetag),
// MKCALENDAR and extended MKCOL, PUT and DELETE with If-Match / If-None-Match, GET, and REPORT
// sync-collection and calendar or addressbook multiget. Anyone is let in. It is no server for
// anything else: no locks, no properties written, no discovery, no queries.
//
// Prints "port N" on its first line once it listens (--port 0, the default, picks a free one).
// GET /.standin answers, uncounted, "requests N", then "VERB N" per verb, then "PATH N" per
// collection with its members; it ends on SIGTERM like any other.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHash>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QXmlStreamReader>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView StatsPath = "/.standin";
constexpr QByteArrayView TokenPrefix = "http://natalis.invalid/standin/sync/";

struct Member
{
    QByteArray data;
    QByteArray etag; // quotes included
    qint64 revision = 0;
};

struct Collection
{
    bool calendar = false;
    bool addressBook = false;
    QByteArray displayName;
    qint64 revision = 0; // of the last change to a member; the sync-token names it
    QHash<QByteArray, Member> members; // by name, percent-decoded
    QHash<QByteArray, qint64> removed; // name -> the revision it was deleted in
};

struct Request
{
    QByteArray verb;
    QByteArray path;
    QHash<QByteArray, QByteArray> headers; // names lower-case
    QByteArray body;
};

struct Response
{
    Response(int status, QByteArray body = {}, QByteArray etag = {},
        QByteArray type = "application/xml; charset=utf-8")
        : status(status), body(std::move(body)), etag(std::move(etag)), type(std::move(type))
    {
    }
    int status;
    QByteArray body;
    QByteArray etag; // quotes included
    QByteArray type;
};

QByteArray escaped(const QByteArray &text)
{
    return QString::fromUtf8(text).toHtmlEscaped().toUtf8();
}

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 204:
        return "No Content";
    case 207:
        return "Multi-Status";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 409:
        return "Conflict";
    case 412:
        return "Precondition Failed";
    default:
        return "Status";
    }
}

QByteArray multistatus(const QByteArray &responses)
{
    return R"(<?xml version="1.0" encoding="utf-8"?><d:multistatus xmlns:d="DAV:" )"
           R"(xmlns:c="urn:ietf:params:xml:ns:caldav" xmlns:card="urn:ietf:params:xml:ns:carddav" )"
           R"(xmlns:cs="http://calendarserver.org/ns/">)"
        + responses + "</d:multistatus>";
}

QByteArray found(const QByteArray &href, const QByteArray &properties)
{
    return "<d:response><d:href>" + escaped(href) + "</d:href><d:propstat><d:prop>" + properties
        + "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
}

QByteArray missing(const QByteArray &href)
{
    return "<d:response><d:href>" + escaped(href)
        + "</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>";
}

class StandIn : public QObject
{
public:
    bool listen(quint16 port)
    {
        connect(&m_listener, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_listener.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                    m_buffers.remove(socket);
                    socket->deleteLater();
                });
            }
        });
        return m_listener.listen(QHostAddress::LocalHost, port);
    }
    quint16 port() const { return m_listener.serverPort(); }

private:
    // Answers every whole request the socket's buffer holds, in order (HTTP/1.1 keep-alive).
    void serve(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        for (;;) {
            const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
            if (headEnd < 0)
                return;
            Request request;
            const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
            const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
            request.verb = first.value(0);
            request.path = first.value(1);
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const qsizetype colon = lines[i].indexOf(':');
                if (colon > 0)
                    request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                        lines[i].mid(colon + 1).trimmed());
            }
            const qsizetype length = request.headers.value("content-length", "0").toLongLong();
            if (buffer.size() < headEnd + 4 + length)
                return;
            request.body = buffer.mid(headEnd + 4, length);
            buffer.remove(0, headEnd + 4 + length);
            const Response response = answer(request);
            QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' '
                + reason(response.status)
                + "\r\nContent-Length: " + QByteArray::number(response.body.size()) + "\r\n";
            if (!response.body.isEmpty())
                head += "Content-Type: " + response.type + "\r\n";
            if (!response.etag.isEmpty())
                head += "ETag: " + response.etag + "\r\n";
            socket->write(head + "\r\n" + response.body);
        }
    }

    Response answer(const Request &request)
    {
        if (request.verb == "GET" && request.path == StatsPath)
            return { 200, stats(), {}, "text/plain" };
        ++m_requests;
        ++m_byVerb[request.verb];
        const QByteArray path = QUrl::fromPercentEncoding(request.path).toUtf8();
        if (path.endsWith('/'))
            return collectionRequest(request, path);
        const qsizetype slash = path.lastIndexOf('/');
        const auto collection = m_collections.find(path.left(slash + 1));
        if (collection == m_collections.end())
            return { request.verb == "PUT" ? 409 : 404 };
        return memberRequest(request, *collection, path.left(slash + 1), path.mid(slash + 1));
    }

    Response collectionRequest(const Request &request, const QByteArray &path)
    {
        const auto collection = m_collections.find(path);
        if (request.verb == "MKCALENDAR" || request.verb == "MKCOL") {
            if (collection != m_collections.end())
                return { 405 };
            Collection made;
            made.calendar = request.verb == "MKCALENDAR" || request.body.contains("calendar/>");
            made.addressBook = request.body.contains("addressbook/>");
            made.displayName = textOf(request.body, u"displayname").value(0).toUtf8();
            m_collections.insert(path, made);
            return { 201 };
        }
        if (collection == m_collections.end())
            return { 404 };
        if (request.verb == "PROPFIND")
            return { 207, propfind(path, *collection, request.headers.value("depth") == "1") };
        if (request.verb == "REPORT")
            return report(request, path, *collection);
        if (request.verb == "DELETE") {
            m_collections.erase(collection);
            return { 204 };
        }
        return { 405 };
    }

    Response memberRequest(const Request &request, Collection &collection,
        const QByteArray &collectionPath, const QByteArray &name)
    {
        const auto member = collection.members.find(name);
        const bool exists = member != collection.members.end();
        const QByteArray ifMatch = request.headers.value("if-match");
        if (!ifMatch.isEmpty() && (!exists || (ifMatch != "*" && ifMatch != member->etag)))
            return { 412 };
        if (request.verb == "GET")
            return exists ? Response { 200, member->data, member->etag, "text/plain" }
                          : Response { 404 };
        if (request.verb == "PROPFIND") {
            if (!exists)
                return { 404 };
            return { 207, multistatus(found(collectionPath + name, etagProperty(member->etag))) };
        }
        if (request.verb == "PUT") {
            if (request.headers.value("if-none-match") == "*" && exists)
                return { 412 };
            Member stored { request.body, '"' + QByteArray::number(++m_tags) + '"',
                ++collection.revision };
            collection.removed.remove(name);
            collection.members.insert(name, stored);
            return { exists ? 204 : 201, {}, stored.etag };
        }
        if (request.verb == "DELETE") {
            if (!exists)
                return { 404 };
            collection.members.erase(member);
            collection.removed.insert(name, ++collection.revision);
            return { 204 };
        }
        return { 405 };
    }

    static QByteArray etagProperty(const QByteArray &etag)
    {
        return "<d:getetag>" + escaped(etag) + "</d:getetag>";
    }

    static QByteArray token(const Collection &collection)
    {
        return TokenPrefix.toByteArray() + QByteArray::number(collection.revision);
    }

    static QByteArray propfind(const QByteArray &path, const Collection &collection, bool members)
    {
        QByteArray body = found(path,
            "<d:resourcetype><d:collection/>"
                + QByteArray(collection.calendar ? "<c:calendar/>" : "")
                + QByteArray(collection.addressBook ? "<card:addressbook/>" : "")
                + "</d:resourcetype><d:displayname>" + escaped(collection.displayName)
                + "</d:displayname><cs:getctag>\"" + QByteArray::number(collection.revision)
                + "\"</cs:getctag><d:sync-token>" + token(collection) + "</d:sync-token>");
        if (members) {
            for (auto it = collection.members.cbegin(); it != collection.members.cend(); ++it)
                body += found(hrefOf(path, it.key()), etagProperty(it->etag));
        }
        return multistatus(body);
    }

    static QByteArray hrefOf(const QByteArray &collectionPath, const QByteArray &name)
    {
        return collectionPath + QUrl::toPercentEncoding(QString::fromUtf8(name), "@");
    }

    // The texts of every element of that local name in body.
    static QStringList textOf(const QByteArray &body, QStringView name)
    {
        QStringList texts;
        QXmlStreamReader xml(body);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == name)
                texts << xml.readElementText().trimmed();
        }
        return texts;
    }

    Response report(const Request &request, const QByteArray &path, const Collection &collection)
    {
        QByteArray body;
        if (request.body.contains("sync-collection")) {
            const QString given = textOf(request.body, u"sync-token").value(0);
            qint64 since = 0;
            bool known = given.isEmpty();
            if (given.startsWith(QLatin1StringView(TokenPrefix))) {
                since = given.mid(TokenPrefix.size()).toLongLong(&known);
                known = known && since <= collection.revision;
            }
            if (!known)
                return { 403,
                    R"(<?xml version="1.0" encoding="utf-8"?><d:error xmlns:d="DAV:">)"
                    "<d:valid-sync-token/></d:error>" };
            for (auto it = collection.members.cbegin(); it != collection.members.cend(); ++it) {
                if (it->revision > since)
                    body += found(hrefOf(path, it.key()), etagProperty(it->etag));
            }
            for (auto it = collection.removed.cbegin(); it != collection.removed.cend(); ++it) {
                if (*it > since)
                    body += missing(hrefOf(path, it.key()));
            }
            return { 207,
                multistatus(body + "<d:sync-token>" + token(collection) + "</d:sync-token>") };
        }
        if (!request.body.contains("multiget"))
            return { 403 };
        const QByteArray data = collection.addressBook ? "card:address-data" : "c:calendar-data";
        for (const QString &href : textOf(request.body, u"href")) {
            const QByteArray name =
                QUrl::fromPercentEncoding(href.section(u'/', -1).toUtf8()).toUtf8();
            const auto member = collection.members.constFind(name);
            body += member == collection.members.cend()
                ? missing(href.toUtf8())
                : found(href.toUtf8(),
                    etagProperty(member->etag) + '<' + data + '>' + escaped(member->data) + "</"
                        + data + '>');
        }
        return { 207, multistatus(body) };
    }

    QByteArray stats() const
    {
        QByteArray text = "requests " + QByteArray::number(m_requests) + '\n';
        for (auto it = m_byVerb.cbegin(); it != m_byVerb.cend(); ++it)
            text += it.key() + ' ' + QByteArray::number(*it) + '\n';
        for (auto it = m_collections.cbegin(); it != m_collections.cend(); ++it)
            text += it.key() + ' ' + QByteArray::number(it->members.size()) + '\n';
        return text;
    }

    QTcpServer m_listener;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QHash<QByteArray, Collection> m_collections; // by path, '/' at its end
    QMap<QByteArray, qint64> m_byVerb;
    qint64 m_requests = 0;
    qint64 m_tags = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addOption({ u"port"_s, u"port on 127.0.0.1 (0 picks a free one)"_s, u"PORT"_s, u"0"_s });
    parser.process(application);
    StandIn server;
    if (!server.listen(quint16(parser.value(u"port"_s).toUInt()))) {
        std::fprintf(stderr, "davstandin: cannot listen\n");
        return 1;
    }
    std::printf("port %u\n", unsigned(server.port()));
    std::fflush(stdout);
    return application.exec();
}
