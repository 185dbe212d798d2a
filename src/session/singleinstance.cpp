#include "session/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>
#include <optional>

using namespace Qt::StringLiterals;

namespace natalis::session {

namespace {

// "show" alone, or "show " and the percent-encoded UTF-8 path of the database asked for.
constexpr QByteArrayView ShowRequest = "show";
constexpr QByteArrayView ShownAnswer = "shown\n";

QByteArray showRequest(const QString &dbPath)
{
    QByteArray line = ShowRequest.toByteArray();
    if (!dbPath.isEmpty())
        line += ' ' + QUrl::toPercentEncoding(dbPath);
    return line + '\n';
}

// The database of a show request; nullopt when the line is not one.
std::optional<QString> requestedDatabase(QByteArray line)
{
    if (!line.endsWith('\n'))
        return std::nullopt;
    line.chop(1);
    if (line == ShowRequest)
        return QString();
    if (!line.startsWith(ShowRequest.toByteArray() + ' '))
        return std::nullopt;
    return QUrl::fromPercentEncoding(line.mid(ShowRequest.size() + 1));
}

} // namespace

SingleInstance::SingleInstance(const QString &folder)
    : m_lock(QDir(folder).filePath(u"natalis.lock"_s)),
      m_serverName(QDir(folder).filePath(u"natalis.socket"_s))
{
    // The program runs for days: only a lock whose process is gone counts as stale, never an
    // old one.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire()
{
    if (!m_lock.tryLock(0))
        return false;
    // We hold the lock, so a socket file left there belongs to a crashed instance.
    QLocalServer::removeServer(m_serverName);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(
        m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] { answer(); });
    m_server->listen(m_serverName);
    return true;
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (const auto dbPath = requestedDatabase(socket->readLine())) {
                if (showRequested)
                    showRequested(*dbPath);
                socket->write(ShownAnswer.data(), ShownAnswer.size());
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

bool SingleInstance::askRunningToShow(const QString &dbPath) const
{
    const QByteArray request = showRequest(dbPath);
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(AnswerMilliseconds))
        return false;
    socket.write(request);
    if (!socket.waitForBytesWritten(AnswerMilliseconds))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(AnswerMilliseconds))
            return false;
    }
    return socket.readLine() == ShownAnswer;
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

} // namespace natalis::session
