#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace natalis::sync {

// One <response> of a WebDAV multistatus (RFC 4918 13), with the properties the server found.
struct DavResource
{
    QString href; // as sent: usually an absolute path, percent-encoded
    // Properties of a 200 propstat by local name (getetag, getctag, sync-token, displayname),
    // their text trimmed.
    QHash<QString, QString> text;
    // The <href> elements inside properties that hold some (current-user-principal,
    // calendar-home-set), by the property's local name.
    QHash<QString, QStringList> hrefs;
    bool collection = false; // resourcetype holds DAV:collection
    bool calendar = false; // resourcetype holds CalDAV's calendar
    // The response's own status is 404: a member removed since the sync-token asked about
    // (RFC 6578 3.5.2).
    bool gone = false;
    bool addressBook = false; // resourcetype holds CardDAV's addressbook
};

// The responses of a multistatus body; empty when the body is none or malformed.
QList<DavResource> parseMultistatus(const QByteArray &body);

} // namespace natalis::sync
