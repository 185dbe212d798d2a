#pragma once

// A server of one test's own, a program run on a free loopback port with its storage in a
// temporary folder; ended with the object. RadicaleProcess and XandikosProcess say which.

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

namespace natalis::test {

class ServerProcess
{
public:
    ServerProcess()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        m_port = probe.serverPort();
        probe.close();
    }
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;
    virtual ~ServerProcess() { stop(); }

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
    // A folder of the user's in which a test may make collections of its own.
    virtual QUrl home() const = 0;
    // Puts bytes as the file of a card or event into collection's storage, as a program on the
    // server would, past every check the server makes of what it is sent.
    virtual void writeStored(
        const QUrl &collection, const QString &file, const QByteArray &bytes) = 0;

protected:
    QString storedPath(const QString &root, const QUrl &collection, const QString &file) const
    {
        return m_dir.path() + u'/' + root + collection.path() + file;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace natalis::test
