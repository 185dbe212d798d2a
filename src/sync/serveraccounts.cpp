#include "sync/serveraccounts.h"

#include <QThread>
#include <QUrl>

namespace natalis::sync {

ServerAccounts::ServerAccounts(std::shared_ptr<PasswordStore> passwords)
    : m_passwords(std::move(passwords))
{
}

ServerAccounts::~ServerAccounts()
{
    for (QThread *worker : std::as_const(m_workers)) {
        worker->wait();
        delete worker;
    }
}

void ServerAccounts::retire()
{
    m_retired = true;
    if (m_workers.isEmpty())
        deleteLater();
}

void ServerAccounts::startWorker(std::function<void()> work)
{
    QThread *worker = QThread::create(std::move(work));
    m_workers.append(worker);
    connect(worker, &QThread::finished, this, [this, worker] {
        m_workers.removeOne(worker);
        worker->wait();
        delete worker;
        if (m_retired && m_workers.isEmpty())
            deleteLater();
    });
    worker->start();
}

void ServerAccounts::keepPassword(const QString &account, const QString &password)
{
    startWorker([this, passwords = m_passwords, account, password] {
        QString error;
        const bool ok = passwords->write(account, password, &error);
        QMetaObject::invokeMethod(
            this, [this, account, ok, error] { Q_EMIT passwordKept(account, ok, error); });
    });
}

int ServerAccounts::testConnection(Test test, const SyncConfig &config, const QString &typed)
{
    const int number = ++m_tests;
    startWorker([this, number, test, config, typed, passwords = m_passwords] {
        QString password = typed;
        if (password.isEmpty())
            password =
                passwords->read(passwordAccount(config.user, QUrl(config.server).host()), nullptr)
                    .value_or(QString());
        // Discovery on a server that computes its listings first may wait a while.
        const ConnectionTest result = test(config, password, [this, number] {
            QMetaObject::invokeMethod(this, [this, number] { Q_EMIT waitingForServer(number); });
        });
        QMetaObject::invokeMethod(this, [this, number, result, password] {
            Q_EMIT connectionTested(number, result, password);
        });
    });
    return number;
}

} // namespace natalis::sync
