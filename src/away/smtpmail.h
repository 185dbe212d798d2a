#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>
#include <atomic>

namespace natalis::away {

// One mail to the user's own mailbox over SMTP, through libcurl.
//
// smtps:// is TLS from the first byte; smtp:// must be upgraded by STARTTLS, and a server that
// does not offer it is refused, except on this computer or the local network, where plain is
// allowed as for the calendar servers (the address checked is the one connected to). The
// server's certificate is checked against the system's CA store, or caFile alone when set.

struct MailServer
{
    QUrl url; // smtps://host[:port] or smtp://host[:port]
    QString user;
    QString password; // an app password or mailbox authorisation code
    QString caFile; // empty: the system's CA store
};

struct OutgoingMail
{
    QString to; // also the sender: the user mails themselves
    QString subject;
    QString body; // lines ended by "\n"
    QDateTime date; // the Date header, in its own offset
    QString messageId; // without angle brackets, e.g. "uuid@natalis"
};

enum class MailOutcome {
    Sent,
    Refused, // the server said no (login, recipient, TLS not offered) or the address is refused
    Unreachable, // nothing went out: no answer, no connection
    Unknown, // the message went to the server and its answer was lost
};

struct MailResult
{
    MailOutcome outcome = MailOutcome::Unreachable;
    QString text; // for the user: why, in Chinese; empty when sent
};

// Blocks until the server answers or gives up (30 s to connect, 2 minutes in all), or until *stop
// is set (within a second; Unreachable, or Unknown once the message went out): never on the
// window thread.
MailResult sendMail(
    const MailServer &server, const OutgoingMail &mail, const std::atomic_bool *stop = nullptr);

// The message as it goes over the wire: headers (the subject RFC 2047 encoded), a base64 UTF-8
// text body, CRLF line ends.
QByteArray mailBytes(const OutgoingMail &mail);

} // namespace natalis::away
