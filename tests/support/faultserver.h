#pragma once

// fault_server.py beside this file on two loopback ports of its own, given fault_server.py's
// options; ended with the object.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace natalis::test {

struct FaultServer
{
    explicit FaultServer(const QStringList &options = {})
    {
        process.start(QStringLiteral("/usr/bin/python3"),
            QStringList { QStringLiteral(NATALIS_TEST_SUPPORT_DIR "/fault_server.py"), log() }
                + options);
        process.waitForReadyRead(10'000);
        port = process.readLine().trimmed().split(' ').first();
    }
    ~FaultServer() { process.closeWriteChannel(), process.waitForFinished(); }

    QString log() const { return dir.filePath(QStringLiteral("requests")); }
    // "<port> <verb> <path>[ with password]" a line for each request so far.
    QByteArray requests() const
    {
        QFile file(log());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QProcess process;
    QByteArray port; // the first origin's; empty when the server did not start
};

} // namespace natalis::test
