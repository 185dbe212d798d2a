#include "sync/addressbookdiscovery.h"

#include "sync/multistatus.h"

using namespace Qt::StringLiterals;

namespace natalis::sync {

QByteArray cardPropfindBody(const QList<QByteArray> &properties)
{
    return propfindBodyWith(R"(xmlns:card="urn:ietf:params:xml:ns:carddav")", properties);
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
    return discoverCollections(client, server,
        { u"/.well-known/carddav"_s, "card:addressbook-home-set", u"addressbook-home-set"_s,
            cardPropfindBody, &DavResource::addressBook, u"服务器上找不到通讯录"_s });
}

} // namespace natalis::sync
