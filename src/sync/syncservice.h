#pragma once

#include "sync/calendarpush.h"
#include "sync/cardsync.h"
#include "sync/credentials.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace natalis::sync {

// What the settings page stores; the server's address alone turns the sync on.
struct SyncConfig
{
    QString server; // any address of the server, or the calendar's own
    QString user;
    QString calendar; // a calendar's name or address; made when missing
    int years = DefaultSyncYears;
    bool festivals = false;

    bool enabled() const { return !server.trimmed().isEmpty(); }
};

// One sync of the database at dbPath with its stored settings, as the worker runs it: its own
// connection, the password from passwords, the calendar found by discovery once and then kept.
// The outcome is stored as the last sync's time and result. A database without settings, or one
// that does not open, gives a result with ok false and an empty error. waiting is called while
// the server keeps a request waiting (DavClient::waitingForServer).
SyncResult runStoredSync(const QString &dbPath, PasswordStore &passwords, const QDateTime &now,
    const std::atomic_bool *stop, const SyncProgress &progress,
    const std::function<void()> &waiting = {});

// What a connection test found: discovery and the collections found, as one line, and the
// address on another origin the server sent discovery to, which the page offers the user to
// accept (invalid when none).
struct ConnectionTest
{
    QString text;
    QUrl elsewhere;
};

// A connection test for the settings page: "连接成功, 日历: 生日提醒". waiting is called while
// the server keeps a request waiting (DavClient::waitingForServer).
ConnectionTest testConnection(
    const SyncConfig &config, const QString &password, const std::function<void()> &waiting = {});
// The same for address books: "连接成功, 通讯录: 生日, 联系人".
ConnectionTest testAddressBookConnection(
    const SyncConfig &config, const QString &password, const std::function<void()> &waiting = {});

// Keeps the address book and the calendar current while the program runs: soon after the
// start, once a day, a few seconds after the last change to the birthdays, and after a failure
// again after 10 minutes, doubling up to four hours. Each run syncs the address book first, so
// that what it brings in reaches the calendar in the same run, on a thread of its own; the
// window thread only hears starting, the status texts and databaseWritten.
class SyncService : public QObject
{
    Q_OBJECT

public:
    SyncService(
        QString dbPath, std::function<QDateTime()> now, std::shared_ptr<PasswordStore> passwords);
    ~SyncService() override; // stops a sync under way and waits for it

    // The status bar's text: progress, "通讯录同步中: 等待服务器回复…", "通讯录同步完成…",
    // "日历同步完成…" or "通讯录同步失败: …, 10分钟后重试".
    std::function<void(const QString &)> showStatus = [](const QString &) {};
    // Called before a run begins to write, so that changes made before it by other programs can
    // still be told from the run's own.
    std::function<void()> starting = [] {};

    void begin(); // the first sync, a few seconds from now
    void birthdaysChanged(); // debounced
    void syncNow();
    // Syncs now with the user's answer to deletions a sync held back; the syncs after it ask
    // again.
    void resolveDeletions(DeletionChoice choice);
    // Stops a sync under way after its current batch; what the server confirmed is kept.
    void stop();
    // The back-off after a failure of this many in a row, in minutes: 10, 20, 40 … 240.
    static int retryMinutes(int failures);

Q_SIGNALS:
    // A run has written to the database: the syncs' own records always, and when birthdaysWritten
    // rows the address book brought in, which leave the lists out of date, but not the servers.
    void databaseWritten(bool birthdaysWritten);

private:
    void finished(const CardSyncResult &cards, const SyncResult &calendar);
    // The status texts a run's part shows from its thread, carried to the window thread.
    SyncProgress progressReporter(QStringView part);
    std::function<void()> waitingReporter(QStringView part);

    QString m_dbPath;
    std::function<QDateTime()> m_now;
    std::shared_ptr<PasswordStore> m_passwords;
    QTimer m_debounce;
    QTimer m_next;
    QThread *m_thread = nullptr;
    std::atomic_bool m_stop { false };
    bool m_again = false; // a change came while a sync was under way
    DeletionChoice m_deletions = DeletionChoice::Ask; // for the next run only
    int m_failures = 0;
};

} // namespace natalis::sync
