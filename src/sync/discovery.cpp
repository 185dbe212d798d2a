#include "sync/discovery.h"

#include "sync/multistatus.h"

using namespace Qt::StringLiterals;

namespace natalis::sync {

namespace {

QUrl firstHref(const QUrl &base, const QList<DavResource> &resources, const QString &property)
{
    for (const DavResource &resource : resources) {
        const QStringList hrefs = resource.hrefs.value(property);
        if (!hrefs.isEmpty())
            return base.resolved(QUrl(hrefs.first()));
    }
    return {};
}

QUrl asFolder(QUrl url)
{
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

} // namespace

QString replyFailure(const DavReply &reply)
{
    switch (reply.failure) {
    case DavFailure::None:
    case DavFailure::Unreachable:
        break;
    case DavFailure::TimedOut:
        return u"服务器响应超时"_s;
    case DavFailure::TooLarge:
        return u"服务器回复过大"_s;
    case DavFailure::Certificate:
        return u"证书无效: "_s + reply.error;
    case DavFailure::OtherOrigin:
        return u"服务器转到了另一地址: %1, 确认可信后请改用该地址"_s.arg(reply.location.toString());
    case DavFailure::Insecure:
        return insecureRefusal();
    case DavFailure::Stopped:
        return u"已停止"_s;
    }
    if (reply.status == 0)
        return u"服务器无法连接"_s;
    if (reply.status == 401)
        return u"用户名或密码错误"_s;
    return u"服务器拒绝(HTTP %1)"_s.arg(reply.status);
}

QByteArray propfindBodyWith(QByteArrayView kindPrefix, const QList<QByteArray> &properties)
{
    return R"(<?xml version="1.0" encoding="utf-8"?><d:propfind xmlns:d="DAV:" )"
        + kindPrefix.toByteArray() + R"( xmlns:cs="http://calendarserver.org/ns/"><d:prop><)"
        + properties.join("/><") + "/></d:prop></d:propfind>";
}

QByteArray propfindBody(const QList<QByteArray> &properties)
{
    return propfindBodyWith(R"(xmlns:c="urn:ietf:params:xml:ns:caldav")", properties);
}

QByteArray syncCollectionBody(const QString &token)
{
    return R"(<?xml version="1.0" encoding="utf-8"?><d:sync-collection xmlns:d="DAV:">)"
           "<d:sync-token>"
        + token.toHtmlEscaped().toUtf8()
        + "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop>"
          "</d:sync-collection>";
}

CalendarHome discoverCollections(DavClient &client, const QUrl &server, const CollectionKind &kind)
{
    CalendarHome result;
    const QByteArray body = kind.propfind({ "d:current-user-principal", kind.homeSet });
    QUrl home;
    for (const QUrl &candidate : { server, server.resolved(QUrl(kind.wellKnown)) }) {
        const DavReply reply = client.send({ "PROPFIND", candidate, body, { { "Depth", "0" } } });
        if (reply.status == 0 || reply.status == 401) {
            result.error = replyFailure(reply);
            if (reply.failure == DavFailure::OtherOrigin)
                result.elsewhere = reply.location;
            return result;
        }
        const QList<DavResource> found = parseMultistatus(reply.body);
        home = firstHref(candidate, found, kind.homeSetName);
        const QUrl principal = firstHref(candidate, found, u"current-user-principal"_s);
        if (!home.isValid() && principal.isValid()) {
            const DavReply asked =
                client.send({ "PROPFIND", principal, body, { { "Depth", "0" } } });
            if (asked.failure == DavFailure::OtherOrigin) {
                result.error = replyFailure(asked);
                result.elsewhere = asked.location;
                return result;
            }
            home = firstHref(principal, parseMultistatus(asked.body), kind.homeSetName);
        }
        if (home.isValid())
            break;
        result.error = replyFailure(reply);
    }
    if (!home.isValid()) {
        if (result.error.isEmpty())
            result.error = kind.notFound;
        return result;
    }
    const DavReply listing = client.send({ "PROPFIND", home,
        kind.propfind({ "d:resourcetype", "d:displayname" }), { { "Depth", "1" } } });
    if (!listing.ok()) {
        result.error = replyFailure(listing);
        if (listing.failure == DavFailure::OtherOrigin)
            result.elsewhere = listing.location;
        return result;
    }
    result.home = asFolder(home);
    result.error.clear();
    for (const DavResource &resource : parseMultistatus(listing.body)) {
        if (resource.*kind.isOne)
            result.calendars << CalendarInfo { asFolder(home.resolved(QUrl(resource.href))),
                resource.text.value(u"displayname"_s) };
    }
    return result;
}

CalendarHome discoverCalendars(DavClient &client, const QUrl &server)
{
    return discoverCollections(client, server,
        { u"/.well-known/caldav"_s, "c:calendar-home-set", u"calendar-home-set"_s, propfindBody,
            &DavResource::calendar, u"服务器上找不到日历"_s });
}

QUrl calendarUrlIn(const CalendarHome &home, const QString &name)
{
    for (const CalendarInfo &calendar : home.calendars) {
        const QStringList segments = calendar.url.path().split(u'/', Qt::SkipEmptyParts);
        if (calendar.displayName == name || (!segments.isEmpty() && segments.last() == name))
            return calendar.url;
    }
    return home.home.resolved(QUrl(QString::fromLatin1(QUrl::toPercentEncoding(name)) + u'/'));
}

} // namespace natalis::sync
