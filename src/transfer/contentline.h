#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace natalis::transfer {

// The content lines iCalendar (RFC 5545) and vCard 3.0/4.0 (RFC 2426, RFC 6350) share.

// Longest physical line, in octets, without its CR LF.
inline constexpr qsizetype MaxContentLineOctets = 75;

// One content line in UTF-8, folded so that no physical line exceeds MaxContentLineOctets:
// each continuation starts with one blank. A fold never falls inside a UTF-8 sequence. Every
// physical line, the last one too, ends with CR LF.
QByteArray foldContentLine(QStringView line);

// A TEXT value with backslash, semicolon and comma escaped and every line break written "\n".
QString escapeText(QStringView text);

// The reverse of escapeText: "\n" and "\N" become a line feed, "\x" becomes x.
QString unescapeText(QStringView text);

} // namespace natalis::transfer
