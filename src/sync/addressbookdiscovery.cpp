#include "sync/addressbookdiscovery.h"

#include "sync/multistatus.h"

using namespace Qt::StringLiterals;

namespace natalis::sync {

QByteArray cardPropfindBody(const QList<QByteArray> &properties)
{
    return propfindBodyWith(R"(xmlns:card="urn:ietf:params:xml:ns:carddav")", properties);
}

CalendarHome discoverAddressBooks(DavClient &client, const QUrl &server)
{
    return discoverCollections(client, server,
        { u"/.well-known/carddav"_s, "card:addressbook-home-set", u"addressbook-home-set"_s,
            cardPropfindBody, &DavResource::addressBook, u"服务器上找不到通讯录"_s });
}

} // namespace natalis::sync
