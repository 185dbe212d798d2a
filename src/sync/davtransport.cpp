#include "sync/davtransport.h"

#include <QHostInfo>
#include <QList>
#include <QPair>

using namespace Qt::StringLiterals;

namespace natalis::sync {

bool isLocalAddress(const QHostAddress &address)
{
    static const QList<QPair<QHostAddress, int>> Subnets = {
        QHostAddress::parseSubnet(u"10.0.0.0/8"_s),
        QHostAddress::parseSubnet(u"172.16.0.0/12"_s),
        QHostAddress::parseSubnet(u"192.168.0.0/16"_s),
        QHostAddress::parseSubnet(u"169.254.0.0/16"_s),
        QHostAddress::parseSubnet(u"fc00::/7"_s),
        QHostAddress::parseSubnet(u"fe80::/10"_s),
    };
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    const QHostAddress plain = isV4 ? QHostAddress(v4) : address;
    if (plain.isNull() || plain.isLoopback())
        return !plain.isNull();
    for (const auto &subnet : Subnets) {
        if (plain.isInSubnet(subnet))
            return true;
    }
    return false;
}

std::optional<QHostAddress> localAddressOf(const QString &host)
{
    if (const QHostAddress literal(host); !literal.isNull())
        return isLocalAddress(literal) ? std::optional(literal) : std::nullopt;
    std::optional<QHostAddress> v6;
    for (const QHostAddress &address : QHostInfo::fromName(host).addresses()) {
        if (!isLocalAddress(address))
            continue;
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address;
        if (!v6)
            v6 = address;
    }
    return v6;
}

bool sameOrigin(const QUrl &a, const QUrl &b)
{
    const auto defaultPort = [](const QUrl &url) {
        return url.port(url.scheme().compare(u"https", Qt::CaseInsensitive) == 0 ? 443 : 80);
    };
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0
        && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && defaultPort(a) == defaultPort(b);
}

TransportCheck checkTransport(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return { false, {}, u"服务器地址无效"_s };
    const QString scheme = url.scheme().toLower();
    if (scheme == u"https")
        return { true, {}, {} };
    if (scheme != u"http")
        return { false, {}, u"服务器地址须以https://开头"_s };
    if (!localAddressOf(url.host()))
        return { false, {}, insecureRefusal() };
    return { true, u"注意: 与服务器的连接未加密(http)"_s, {} };
}

QString insecureRefusal()
{
    return u"未加密的http连接只允许本机或局域网服务器, 请使用https"_s;
}

} // namespace natalis::sync
