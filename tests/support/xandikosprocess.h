#pragma once

// A xandikos server of one test's own: one principal, /user/, whose calendar and address-book
// homes it makes at its start; it lets anyone in under any name.

#include "support/serverprocess.h"

#include <QFile>
#include <QFileInfo>

namespace natalis::test {

class XandikosProcess : public ServerProcess
{
public:
    XandikosProcess()
    {
        m_process.setProgram(QStringLiteral("/usr/bin/xandikos"));
        m_process.setArguments({ QStringLiteral("-d"), m_dir.path(), QStringLiteral("--autocreate"),
            QStringLiteral("-l"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
            QString::number(m_port) });
        start();
    }

    QUrl home() const override { return url().resolved(QUrl(QStringLiteral("/user/"))); }
    // Each collection is a git repository whose committed tree is what the server serves.
    void writeStored(const QUrl &collection, const QString &file, const QByteArray &bytes) override
    {
        const QString path = storedPath({}, collection, file);
        QFile stored(path);
        if (stored.open(QIODevice::WriteOnly))
            stored.write(bytes);
        stored.close();
        QProcess::execute(QStringLiteral("/usr/bin/python3"),
            { QStringLiteral("-c"),
                QStringLiteral("import sys; from dulwich import porcelain as p; "
                               "p.add(sys.argv[1], [sys.argv[2]]); "
                               "p.commit(sys.argv[1], b'test', author=b't <t@t>', "
                               "committer=b't <t@t>')"),
                QFileInfo(path).path(), path });
    }
};

} // namespace natalis::test
