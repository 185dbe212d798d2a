#pragma once

// fault_server.py beside this file on two loopback ports of its own, ended with the object.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace natalis::test {

class FaultServer
{
public:
    // options: fault_server.py's, e.g. {"--refuse-puts", url}.
    explicit FaultServer(const QStringList &options = {})
    {
        m_process.start(QStringLiteral("/usr/bin/python3"),
            QStringList { QStringLiteral(NATALIS_TEST_SUPPORT_DIR "/fault_server.py"), log() }
                + options);
        if (m_process.waitForReadyRead(10'000))
            m_ports = m_process.readLine().trimmed().split(' ');
    }
    FaultServer(const FaultServer &) = delete;
    FaultServer &operator=(const FaultServer &) = delete;
    ~FaultServer() { stop(); }

    void stop()
    {
        m_process.closeWriteChannel();
        m_process.waitForFinished();
    }
    // The first origin's port, or the second's; empty when the server did not start.
    QByteArray port(int which = 0) const { return m_ports.value(which); }
    // "<port> <verb> <path>[ with password]" of each request so far.
    QList<QByteArray> requests() const
    {
        QFile file(log());
        QList<QByteArray> lines =
            file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
        lines.removeAll(QByteArray());
        return lines;
    }

private:
    QString log() const { return m_dir.filePath(QStringLiteral("requests")); }

    QTemporaryDir m_dir;
    QProcess m_process;
    QList<QByteArray> m_ports;
};

} // namespace natalis::test
