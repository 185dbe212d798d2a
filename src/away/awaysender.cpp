#include "away/awaysender.h"

#include "away/awaypass.h"
#include "away/storedaway.h"
#include "sync/credentials.h"

#include <QThread>

namespace natalis::away {

namespace {

// Long enough for a network that comes up after the login, short enough for the morning.
constexpr int RetrySeconds = 10 * 60;

} // namespace

AwaySender::AwaySender(
    QString dbPath, QString computerName, std::shared_ptr<sync::PasswordStore> passwords)
    : m_dbPath(std::move(dbPath)), m_computerName(std::move(computerName)),
      m_passwords(std::move(passwords))
{
}

AwaySender::~AwaySender()
{
    if (m_thread) {
        m_stop = true;
        m_thread->wait();
        delete m_thread;
    }
}

bool AwaySender::wanted(const QDateTime &now) const
{
    return !m_thread && m_doneDay != now.date() && !(m_retryAfter.isValid() && now < m_retryAfter);
}

void AwaySender::look(const QDateTime &now, int hour, bool startUp)
{
    if (!wanted(now) || !awayDueAt(now, hour, startUp))
        return;
    m_thread = QThread::create([this, now] {
        const AwayReport report =
            runStoredAwayPass(m_dbPath, m_computerName, *m_passwords, now, &m_stop);
        QMetaObject::invokeMethod(this, [this, report, now] { finished(report, now); });
    });
    m_thread->start();
}

void AwaySender::finished(const AwayReport &report, const QDateTime &started)
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    if (report.exit == AwayUnreachable) {
        m_retryAfter = started.addSecs(RetrySeconds);
    } else {
        m_doneDay = started.date();
        m_retryAfter = QDateTime();
    }
    if (!report.lines.isEmpty())
        showStatus(report.lines.join(u"; "));
}

} // namespace natalis::away
