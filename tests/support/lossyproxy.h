#pragma once

// The lossy stand-in (lossy_proxy.py) in front of a gateway on loopback, for one test: the
// gateway acts on every request, and the answers chosen are lost on the way back.

#include <QProcess>
#include <QString>

namespace natalis::test {

class LossyProxy
{
public:
    explicit LossyProxy(int gatewayPort)
    {
        m_process.start(QStringLiteral("/usr/bin/python3"),
            { QStringLiteral(NATALIS_TEST_SUPPORT_DIR "/lossy_proxy.py"),
                QString::number(gatewayPort) });
        m_port = nextLine().toInt();
    }
    ~LossyProxy()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5'000))
            m_process.kill();
    }

    // "http://127.0.0.1:port"; the port is 0 when the stand-in did not start.
    QString address() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

    // Of the requests to come, `times` answers are lost after `after` handed on. True when the
    // stand-in took it.
    bool loseAnswers(int times, int after = 0)
    {
        m_process.write(QByteArray::number(after) + ' ' + QByteArray::number(times) + '\n');
        return nextLine() == "ok";
    }

private:
    QByteArray nextLine()
    {
        while (!m_process.canReadLine() && m_process.waitForReadyRead(10'000)) { }
        return m_process.readLine().trimmed();
    }

    QProcess m_process;
    int m_port = 0;
};

} // namespace natalis::test
