#pragma once

#include "sync/discovery.h"

namespace natalis::sync {

// Finds the user's address books as discoverCalendars finds calendars (RFC 6764, RFC 6352
// 7.1.1): the address itself, then /.well-known/carddav, the principal and its
// addressbook-home-set, whose address-book collections are listed in calendars. Pick one with
// calendarUrlIn.
CalendarHome discoverAddressBooks(DavClient &client, const QUrl &server);

// A PROPFIND body whose properties may use the prefixes d (DAV:), card (CardDAV) and cs.
QByteArray cardPropfindBody(const QList<QByteArray> &properties);

} // namespace natalis::sync
