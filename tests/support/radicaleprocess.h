#pragma once

// A Radicale calendar server of one test's own, anyone let in under any name. It is
// radicale_server.py beside this file run as a program, which the Python checks use as well:
// Radicale writing without fsync.

#include "support/serverprocess.h"

#include <QFile>

namespace natalis::test {

class RadicaleProcess : public ServerProcess
{
public:
    RadicaleProcess()
    {
        m_process.setProgram(QStringLiteral("/usr/bin/python3"));
        m_process.setArguments({ QStringLiteral(NATALIS_TEST_SUPPORT_DIR "/radicale_server.py"),
            QStringLiteral("--config"), QString(), QStringLiteral("--server-hosts"),
            QStringLiteral("127.0.0.1:%1").arg(m_port),
            QStringLiteral("--storage-filesystem-folder"), m_dir.path(),
            QStringLiteral("--auth-type"), QStringLiteral("none") });
        start();
    }

    QUrl home() const override { return url().resolved(QUrl(QStringLiteral("/alice/"))); }
    void writeStored(const QUrl &collection, const QString &file, const QByteArray &bytes) override
    {
        QFile stored(storedPath(QStringLiteral("collection-root"), collection, file));
        if (stored.open(QIODevice::WriteOnly))
            stored.write(bytes);
    }
};

} // namespace natalis::test
