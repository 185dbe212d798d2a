#pragma once

#include "sync/davclient.h"
#include "sync/multistatus.h"

#include <QList>
#include <QString>
#include <QUrl>

namespace natalis::sync {

struct CalendarInfo
{
    QUrl url;
    QString displayName;
};

struct CalendarHome
{
    QUrl home; // invalid when discovery failed, with the reason in error
    QList<CalendarInfo> calendars;
    QString error;
    // Where the server sent discovery on another origin, which gets the password only once the
    // user accepts that address; invalid when it did not.
    QUrl elsewhere;
};

// Finds the user's calendars from any address of the server (RFC 6764 and RFC 4791 6.2.1): the
// address itself, then /.well-known/caldav, asked for current-user-principal, that principal
// for calendar-home-set, and the home for its calendar collections.
CalendarHome discoverCalendars(DavClient &client, const QUrl &server);

// What tells one kind of collection from another while it is being discovered.
struct CollectionKind
{
    QString wellKnown; // "/.well-known/caldav"
    QByteArray homeSet; // the home-set property as the body names it: "c:calendar-home-set"
    QString homeSetName; // the same as the reply names it: "calendar-home-set"
    QByteArray (*propfind)(const QList<QByteArray> &properties); // declares the prefixes
    bool DavResource::*isOne; // &DavResource::calendar
    QString notFound; // "服务器上找不到日历"
};

// The discovery of discoverCalendars for any kind of collection.
CalendarHome discoverCollections(DavClient &client, const QUrl &server, const CollectionKind &kind);

// The calendar of home named name (display name or last path segment), or, when none is, the
// address a new one of that name gets.
QUrl calendarUrlIn(const CalendarHome &home, const QString &name);

// Text for a reply that failed: "服务器无法连接", "服务器响应超时", "服务器回复过大",
// "证书无效: <Qt's reason>", "用户名或密码错误", "服务器拒绝(HTTP 403)" ...
QString replyFailure(const DavReply &reply);

// A PROPFIND body whose properties may use the prefixes d (DAV:), cs (calendarserver.org) and
// the one that kindPrefix declares, e.g. R"(xmlns:c="urn:ietf:params:xml:ns:caldav")".
QByteArray propfindBodyWith(QByteArrayView kindPrefix, const QList<QByteArray> &properties);

// The XML bodies of the requests that discovery and the push share.
QByteArray propfindBody(const QList<QByteArray> &properties); // e.g. "d:getetag", "cs:getctag"
// The changes since token (RFC 6578), by ETag, for calendars and address books alike.
QByteArray syncCollectionBody(const QString &token);

enum class CollectionType { None, Calendar, AddressBook };

// What a missing collection is made as: nothing (type None, for a sync that only clears), or a
// calendar or address book named displayName.
struct NewCollection
{
    CollectionType type = CollectionType::None;
    QString displayName;
};

// The collection at url asked with a Depth 0 PROPFIND of body. When the server has none (a 404,
// or a multistatus whose response for it is 404, as xandikos answers) and make names a type, it
// is made as every server we know accepts (RFC 4791 5.3.1, RFC 5689, RFC 6352 6.3.1): MKCALENDAR
// or extended MKCOL, then the other form of making when the server refuses the first, then a
// PROPPATCH of the resourcetype when the collection came out of the wrong kind. The reply is the
// last read, with status 404 when the collection is missing, or the make that failed; whether
// the collection is of the right kind the caller sees in it.
DavReply readOrMakeCollection(
    DavClient &client, const QUrl &url, const QByteArray &body, const NewCollection &make);

// What tells a later sync whether the collection changed: its sync-token (which also tells what
// did, RFC 6578), or its ctag marked as one ("ctag " and the value) where it keeps none; empty
// when neither.
QString collectionVersion(const DavResource &collection);

// Whether a version of collectionVersion's is a sync-token the server can be asked what changed
// since. A server's tokens need not be URIs (xandikos sends bare hashes); versions stored before
// ctags were marked count as tokens, which the server refuses once.
bool isSyncToken(const QString &version);

} // namespace natalis::sync
