#pragma once

#include <QHostAddress>
#include <QString>
#include <QUrl>
#include <optional>

namespace natalis::sync {

// Whether a URL may carry the password. https always (verified against the system's CA store,
// never with errors ignored); plain http only when the name resolves to this computer or the
// local network, where `warning` then says so; nothing else. Resolves the name, so it blocks:
// never on the window thread.
struct TransportCheck
{
    bool allowed = false;
    QString warning; // for the sync result, empty for https
    QString refusal; // why not, empty when allowed
};
TransportCheck checkTransport(const QUrl &url);

// Why plain http was refused, for the user.
QString insecureRefusal();

// Loopback, private (RFC 1918), link-local (169.254/16, fe80::/10) or unique local (fc00::/7),
// IPv4 mapped into IPv6 included: where a password sent in clear stays in the house.
bool isLocalAddress(const QHostAddress &address);

// The address plain http to host connects to: host itself when it is an address, else the
// first local one it resolves to, IPv4 before IPv6; nullopt when it resolves to none of those.
// Blocks while the name is looked up.
std::optional<QHostAddress> localAddressOf(const QString &host);

// Whether a and b share scheme, host and port (a missing port read as the scheme's own).
bool sameOrigin(const QUrl &a, const QUrl &b);

} // namespace natalis::sync
