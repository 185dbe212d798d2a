#include "app/singleinstance.h"

#include <QDir>
#include <QLocalServer>

using namespace Qt::StringLiterals;

namespace natalis::app {

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
    m_server->listen(m_serverName);
    return true;
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

} // namespace natalis::app
