#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

class QLocalServer;

namespace natalis::app {

// Keeps a second copy of the program from starting. The lock file decides; the first instance
// also listens on a local socket beside it, so a later start can reach it.
class SingleInstance
{
public:
    // folder: where the lock and the socket live (per user); it must exist.
    explicit SingleInstance(const QString &folder);
    ~SingleInstance();

    // True when no other instance holds the lock; this object then holds it until destroyed.
    // False leaves the running instance, its lock and its socket untouched.
    bool acquire();

    bool isListening() const;
    QString serverName() const { return m_serverName; }

private:
    QLockFile m_lock;
    QString m_serverName;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace natalis::app
