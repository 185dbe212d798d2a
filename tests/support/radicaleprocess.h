#pragma once

// A Radicale calendar server of one test's own on a free loopback port, storage in a temporary
// folder, anyone let in under any name; ended with the object. It is radicale_server.py beside
// this file run as a program, which the Python checks use as well: Radicale writing without fsync.

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

namespace natalis::test {

class RadicaleProcess
{
public:
    RadicaleProcess()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        m_port = probe.serverPort();
        probe.close();
        m_process.setProgram(QStringLiteral("/usr/bin/python3"));
        m_process.setArguments({ QStringLiteral(NATALIS_TEST_SUPPORT_DIR "/radicale_server.py"),
            QStringLiteral("--config"), QString(), QStringLiteral("--server-hosts"),
            QStringLiteral("127.0.0.1:%1").arg(m_port),
            QStringLiteral("--storage-filesystem-folder"), m_dir.path(),
            QStringLiteral("--auth-type"), QStringLiteral("none") });
        start();
    }
    RadicaleProcess(const RadicaleProcess &) = delete;
    RadicaleProcess &operator=(const RadicaleProcess &) = delete;
    ~RadicaleProcess() { stop(); }

    // Down and up again on the same port over the same storage: a server out of reach a while.
    void stop()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    void start()
    {
        m_process.start();
        for (int tries = 0; tries < 200; ++tries) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(100))
                return;
            QThread::msleep(50);
        }
    }

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_port)); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace natalis::test
