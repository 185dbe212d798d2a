#include "sync/addressbookdiscovery.h"

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

QByteArray cardPropfindBody(const QList<QByteArray> &properties)
{
    return R"(<?xml version="1.0" encoding="utf-8"?><d:propfind xmlns:d="DAV:" )"
           R"(xmlns:card="urn:ietf:params:xml:ns:carddav" xmlns:cs="http://calendarserver.org/ns/">)"
           "<d:prop><"
        + properties.join("/><") + "/></d:prop></d:propfind>";
}

QByteArray mkcolAddressBookBody(const QString &displayName)
{
    return R"(<?xml version="1.0" encoding="utf-8"?><d:mkcol xmlns:d="DAV:" )"
           R"(xmlns:card="urn:ietf:params:xml:ns:carddav"><d:set><d:prop><d:resourcetype>)"
           "<d:collection/><card:addressbook/></d:resourcetype><d:displayname>"
        + displayName.toHtmlEscaped().toUtf8() + "</d:displayname></d:prop></d:set></d:mkcol>";
}

CalendarHome discoverAddressBooks(DavClient &client, const QUrl &server)
{
    CalendarHome result;
    const QByteArray body =
        cardPropfindBody({ "d:current-user-principal", "card:addressbook-home-set" });
    QUrl home;
    for (const QUrl &candidate : { server, server.resolved(QUrl(u"/.well-known/carddav"_s)) }) {
        const DavReply reply = client.send({ "PROPFIND", candidate, body, { { "Depth", "0" } } });
        if (reply.status == 0 || reply.status == 401) {
            result.error = replyFailure(reply);
            return result;
        }
        const QList<DavResource> found = parseMultistatus(reply.body);
        home = firstHref(candidate, found, u"addressbook-home-set"_s);
        const QUrl principal = firstHref(candidate, found, u"current-user-principal"_s);
        if (!home.isValid() && principal.isValid()) {
            const DavReply asked =
                client.send({ "PROPFIND", principal, body, { { "Depth", "0" } } });
            home = firstHref(principal, parseMultistatus(asked.body), u"addressbook-home-set"_s);
        }
        if (home.isValid())
            break;
        result.error = replyFailure(reply);
    }
    if (!home.isValid()) {
        if (result.error.isEmpty())
            result.error = u"服务器上找不到通讯录"_s;
        return result;
    }
    const DavReply listing = client.send({ "PROPFIND", home,
        cardPropfindBody({ "d:resourcetype", "d:displayname" }), { { "Depth", "1" } } });
    if (!listing.ok()) {
        result.error = replyFailure(listing);
        return result;
    }
    result.home = asFolder(home);
    result.error.clear();
    for (const DavResource &resource : parseMultistatus(listing.body)) {
        if (resource.addressBook)
            result.calendars << CalendarInfo { asFolder(home.resolved(QUrl(resource.href))),
                resource.text.value(u"displayname"_s) };
    }
    return result;
}

} // namespace natalis::sync
