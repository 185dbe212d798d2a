#pragma once

#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace natalis::session {

// Keeps a second copy of the program from starting. The lock file decides; the first instance
// also listens on a local socket beside it, through which a later start asks it to show its
// main window.
class SingleInstance
{
public:
    static constexpr int AnswerMilliseconds = 3000;

    // folder: where the lock and the socket live (per user); it must exist.
    explicit SingleInstance(const QString &folder);
    ~SingleInstance();

    // True when no other instance holds the lock; this object then holds it until destroyed.
    // False leaves the running instance, its lock and its socket untouched.
    bool acquire();

    // From a second start: asks the running instance to show itself; true when it answered.
    // dbPath: the database the second start was given (absolute), empty for the default one.
    bool askRunningToShow(const QString &dbPath = QString()) const;

    // Called in the running instance when a later start asked to see it, with the database
    // that start was given (empty for none).
    std::function<void(const QString &dbPath)> showRequested;

    bool isListening() const;
    QString serverName() const { return m_serverName; }

private:
    void answer();

    QLockFile m_lock;
    QString m_serverName;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace natalis::session
