#pragma once

// A calendar and address-book server of one test's own on a free loopback port, storage in a
// temporary folder, anyone let in under any name; ended with the object. Radicale is
// radicale_server.py beside this file run as a program, which the Python checks use as well:
// Radicale writing without fsync. xandikos serves one principal, /user/, whose homes it makes.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

namespace natalis::test {

using namespace Qt::StringLiterals;

// The servers every server-backed sync test runs against, as the parameter of its suite.
enum class DavServer { Radicale, Xandikos };
inline const auto EveryDavServer = testing::Values(DavServer::Radicale, DavServer::Xandikos);
inline std::string serverName(DavServer kind)
{
    return kind == DavServer::Radicale ? "Radicale" : "Xandikos";
}

class DavServerProcess
{
public:
    explicit DavServerProcess(DavServer kind = DavServer::Radicale) : m_kind(kind)
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        m_port = probe.serverPort();
        probe.close();
        const QString port = QString::number(m_port);
        m_process.setProgram(
            kind == DavServer::Xandikos ? u"/usr/bin/xandikos"_s : u"/usr/bin/python3"_s);
        m_process.setArguments(kind == DavServer::Xandikos
                ? QStringList { u"-d"_s, m_dir.path(), u"--autocreate"_s, u"-l"_s, u"127.0.0.1"_s,
                    u"-p"_s, port }
                : QStringList { QStringLiteral(NATALIS_TEST_SUPPORT_DIR "/radicale_server.py"),
                    u"--config"_s, u""_s, u"--server-hosts"_s, u"127.0.0.1:"_s + port,
                    u"--storage-filesystem-folder"_s, m_dir.path(), u"--auth-type"_s, u"none"_s });
        start();
    }
    DavServerProcess(const DavServerProcess &) = delete;
    DavServerProcess &operator=(const DavServerProcess &) = delete;
    ~DavServerProcess() { stop(); }

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
    QUrl home() const
    {
        return url().resolved(QUrl(m_kind == DavServer::Radicale ? u"/alice/"_s : u"/user/"_s));
    }

    // Puts bytes as a file into collection's storage as a program on the server would, past
    // every check of the server's. xandikos serves what is committed to the collection's git.
    void writeStored(const QUrl &collection, const QString &file, const QByteArray &bytes)
    {
        const bool radicale = m_kind == DavServer::Radicale;
        QFile stored(m_dir.path() + (radicale ? u"/collection-root"_s : QString())
            + collection.path() + file);
        if (stored.open(QIODevice::WriteOnly) && stored.write(bytes) && stored.flush() && !radicale)
            QProcess::execute(u"/usr/bin/python3"_s,
                { u"-c"_s,
                    u"import sys; from dulwich import porcelain as p; p.add(*sys.argv[1:]); "
                    u"p.commit(sys.argv[1], b'test', author=b't <t@t>', committer=b't <t@t>')"_s,
                    QFileInfo(stored).path(), QFileInfo(stored).filePath() });
    }

private:
    DavServer m_kind;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

using RadicaleProcess = DavServerProcess;

} // namespace natalis::test
