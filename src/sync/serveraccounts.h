#pragma once

#include "sync/credentials.h"
#include "sync/syncservice.h"

#include <QList>
#include <QObject>
#include <functional>
#include <memory>

class QThread;

namespace natalis::sync {

// The settings pages' dealings with the servers' accounts, off the window thread: keeping a
// typed password in the secret store and testing a connection. The pages only draw and forward;
// they hear the outcomes as signals, and a page closed meanwhile hears nothing.
class ServerAccounts : public QObject
{
    Q_OBJECT

public:
    explicit ServerAccounts(std::shared_ptr<PasswordStore> passwords);
    ~ServerAccounts() override; // waits for the work under way

    // Deletes this object once the work under way is done: a dialog that made it for its own life
    // closes without waiting for the secret store or a server.
    void retire();

    // Keeps password under account (passwordAccount); passwordKept tells how it went.
    void keepPassword(const QString &account, const QString &password);

    // A page's connection test: discovery and the collections found.
    using Test = ConnectionTest (*)(
        const SyncConfig &config, const QString &password, const std::function<void()> &waiting);
    // Runs test with typed, or when it is empty with the password kept for config's user and
    // server. Returns the number the test's signals carry.
    int testConnection(Test test, const SyncConfig &config, const QString &typed);

Q_SIGNALS:
    void passwordKept(const QString &account, bool ok, const QString &error);
    // The server keeps test number `test` waiting (DavClient::waitingForServer).
    void waitingForServer(int test);
    // password: the one the test used, for the page to keep when it moves to result.elsewhere.
    void connectionTested(int test, const sync::ConnectionTest &result, const QString &password);

private:
    void startWorker(std::function<void()> work);

    std::shared_ptr<PasswordStore> m_passwords;
    QList<QThread *> m_workers;
    int m_tests = 0;
    bool m_retired = false;
};

} // namespace natalis::sync
