#pragma once

// A self-signed certificate for 127.0.0.1 and localhost, made by Debian's openssl into folder as
// cert.pem (also the CA a client is told to trust) and key.pem. False when openssl failed.

#include <QDir>
#include <QProcess>

namespace natalis::test {

inline bool makeTestCertificate(const QString &folder)
{
    const QDir dir(folder);
    return QProcess::execute(QStringLiteral("/usr/bin/openssl"),
               { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost"),
                   QStringLiteral("-keyout"), dir.filePath(QStringLiteral("key.pem")),
                   QStringLiteral("-out"), dir.filePath(QStringLiteral("cert.pem")) })
        == 0;
}

} // namespace natalis::test
