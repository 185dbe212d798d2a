// Reading a collection, and making it when missing, in the forms each server accepts.
#include "sync/discovery.h"
#include "sync/multistatus.h"

using namespace Qt::StringLiterals;

namespace natalis::sync {

namespace {

const QByteArray Namespaces = R"(xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav" )"
                              R"(xmlns:card="urn:ietf:params:xml:ns:carddav")";

const QString CtagMark = QStringLiteral("ctag ");

// The properties a new collection is made with, as the <d:prop> of a MKCALENDAR, an extended
// MKCOL or a PROPPATCH. The resourcetype is named in each: Radicale and SabreDAV (Nextcloud,
// Baikal) read it from a MKCALENDAR too, and an extended MKCOL or PROPPATCH needs it.
QByteArray collectionProperties(const NewCollection &make)
{
    const bool calendar = make.type == CollectionType::Calendar;
    QByteArray prop = "<d:prop><d:resourcetype><d:collection/>"
        + (calendar ? "<c:calendar/>"_ba : "<card:addressbook/>"_ba) + "</d:resourcetype>"
        + "<d:displayname>" + make.displayName.toHtmlEscaped().toUtf8() + "</d:displayname>";
    if (calendar)
        prop += "<c:supported-calendar-component-set><c:comp name=\"VEVENT\"/>"
                "</c:supported-calendar-component-set>";
    return prop + "</d:prop>";
}

// element is "c:mkcalendar", "d:mkcol" or "d:propertyupdate".
QByteArray collectionBody(QByteArrayView element, const NewCollection &make)
{
    return R"(<?xml version="1.0" encoding="utf-8"?><)" + element.toByteArray() + ' ' + Namespaces
        + "><d:set>" + collectionProperties(make) + "</d:set></" + element.toByteArray() + '>';
}

// A server that does not know a way of making a collection refuses it with one of these: not
// allowed here, not implemented, forbidden, or a body it cannot read (RFC 4918 9.3.1, RFC 5689).
bool refusedForm(const DavReply &reply)
{
    return reply.status == 400 || reply.status == 403 || reply.status == 405 || reply.status == 415
        || reply.status == 422 || reply.status == 501;
}

// The first way of making the collection, and the one tried when the server refuses it: a
// calendar by MKCALENDAR, else by extended MKCOL; an address book by extended MKCOL, else by a
// plain MKCOL, which the PROPPATCH after it turns into one.
QList<DavRequest> makings(const QUrl &url, const NewCollection &make)
{
    if (make.type == CollectionType::Calendar)
        return { { "MKCALENDAR", url, collectionBody("c:mkcalendar", make), {} },
            { "MKCOL", url, collectionBody("d:mkcol", make), {} } };
    return { { "MKCOL", url, collectionBody("d:mkcol", make), {} }, { "MKCOL", url, {}, {} } };
}

bool isKind(const DavResource &resource, CollectionType type)
{
    return type == CollectionType::Calendar ? resource.calendar : resource.addressBook;
}

// The reply to a Depth 0 PROPFIND with a missing collection's 404 taken out of its multistatus.
DavReply asRead(DavReply reply)
{
    if (reply.status == 207) {
        const QList<DavResource> found = parseMultistatus(reply.body);
        if (!found.isEmpty() && found.first().gone)
            reply.status = 404;
    }
    return reply;
}

} // namespace

DavReply readOrMakeCollection(
    DavClient &client, const QUrl &url, const QByteArray &body, const NewCollection &make)
{
    const DavRequest read { "PROPFIND", url, body, { { "Depth", "0" } } };
    const DavReply before = asRead(client.send(read));
    if (before.status != 404 || make.type == CollectionType::None)
        return before;
    DavReply made;
    for (const DavRequest &making : makings(url, make)) {
        made = client.send(making);
        if (!refusedForm(made))
            break;
    }
    if (!made.ok())
        return made;
    DavReply after = asRead(client.send(read));
    const QList<DavResource> found = parseMultistatus(after.body);
    if (after.status != 207 || found.isEmpty() || isKind(found.first(), make.type))
        return after;
    // Made, but as a plain collection: a server that ignores the resourcetype of an extended
    // MKCOL, or the plain MKCOL of the fallback. The collection is ours, just made.
    client.send({ "PROPPATCH", url, collectionBody("d:propertyupdate", make), {} });
    return asRead(client.send(read));
}

QString collectionVersion(const DavResource &collection)
{
    const QString token = collection.text.value(u"sync-token"_s);
    if (!token.isEmpty())
        return token;
    const QString ctag = collection.text.value(u"getctag"_s);
    return ctag.isEmpty() ? QString() : CtagMark + ctag;
}

bool isSyncToken(const QString &version)
{
    return !version.isEmpty() && !version.startsWith(CtagMark);
}

} // namespace natalis::sync
