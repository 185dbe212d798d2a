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
QByteArray mkcalendarBody(const QString &displayName);
// The changes since token (RFC 6578), by ETag, for calendars and address books alike.
QByteArray syncCollectionBody(const QString &token);

// The collection at url asked with a Depth 0 PROPFIND of body, made with make first when the
// server has none (404) and make has a verb. The reply is the last one: 207 with the collection,
// or the one that failed.
DavReply readOrMakeCollection(
    DavClient &client, const QUrl &url, const QByteArray &body, const DavRequest &make);

// What tells a later sync whether the collection changed: its sync-token (which also tells what
// did, RFC 6578), or its ctag where it keeps none; empty when neither.
QString collectionVersion(const DavResource &collection);

} // namespace natalis::sync
