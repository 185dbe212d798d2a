#pragma once

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace natalis::sync {
class PasswordStore;
}

namespace natalis::away {

struct AwayReport;

// The running program's reminders away from the desk: the day's reminder goes out at start-up
// or from the chosen hour on, whichever comes first, in a pass on a thread of its own with its
// own connection to dbPath (runStoredAwayPass); the window thread only hears showStatus. One
// pass a day once a pass went through; a server that could not be reached is tried again 10
// minutes later. The send records keep each send to once even across runs and natalis-cli.
class AwaySender : public QObject
{
public:
    AwaySender(
        QString dbPath, QString computerName, std::shared_ptr<sync::PasswordStore> passwords);
    ~AwaySender() override; // stops a pass under way and waits for it (a mail within a second)

    // The outcome of a pass that sent or held something back, one line per send.
    std::function<void(const QString &)> showStatus = [](const QString &) {};

    // Whether a pass at now may be due, so the caller reads the settings' hour only then.
    bool wanted(const QDateTime &now) const;
    // Starts a pass when awayDueAt(now, hour, startUp) says so and none is under way; hour is
    // the settings' 0..23.
    void look(const QDateTime &now, int hour, bool startUp);
    bool isRunning() const { return m_thread != nullptr; }

private:
    void finished(const AwayReport &report, const QDateTime &started);

    QString m_dbPath;
    QString m_computerName;
    std::shared_ptr<sync::PasswordStore> m_passwords;
    QThread *m_thread = nullptr;
    std::atomic_bool m_stop { false };
    QDate m_doneDay; // the day a pass went through
    QDateTime m_retryAfter; // after a server could not be reached
};

} // namespace natalis::away
