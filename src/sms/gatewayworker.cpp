#include "sms/gatewayworker.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace natalis::sms {

namespace {

// The thread may take a little longer than one call's deadline to wind down.
constexpr std::chrono::milliseconds FinishMargin { 2000 };

} // namespace

GatewayWorker::GatewayWorker(
    std::unique_ptr<HttpSmsGateway> gateway, std::chrono::milliseconds deadline)
    : m_gateway(std::move(gateway)), m_deadline(deadline),
      m_dropQueued(std::make_shared<std::atomic<bool>>(false))
{
    m_thread.setObjectName(QStringLiteral("gateway"));
    m_inThread = new QObject;
    m_inThread->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_inThread, &QObject::deleteLater);
    m_thread.start();
}

GatewayWorker::~GatewayWorker()
{
    finish();
}

bool GatewayWorker::run(QObject *receiver, Job job, std::function<void()> done)
{
    if (m_finishing)
        return false;
    setPending(m_pending + 1);
    HttpSmsGateway *gateway = m_gateway.get();
    const QPointer<QObject> back(receiver);
    const std::shared_ptr<std::atomic<bool>> dropped = m_dropQueued;
    QMetaObject::invokeMethod(
        m_inThread,
        [this, gateway, back, dropped, job = std::move(job), done = std::move(done)] {
            if (*dropped)
                return;
            job(*gateway);
            QMetaObject::invokeMethod(
                &m_home,
                [this, back, done] {
                    setPending(m_pending - 1);
                    if (back)
                        done();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return true;
}

void GatewayWorker::waitFor(Job job)
{
    QEventLoop loop;
    bool delivered = false;
    if (!run(&loop, std::move(job), [&delivered, &loop] {
            delivered = true;
            loop.quit();
        }))
        return;
    m_loops.push_back(&loop);
    while (!delivered && !m_finishing)
        loop.exec();
    std::erase(m_loops, &loop);
}

void GatewayWorker::setPending(int pending)
{
    const bool wasBusy = isBusy();
    m_pending = pending;
    if (busyChanged && wasBusy != isBusy())
        busyChanged(isBusy());
}

void GatewayWorker::finish()
{
    if (m_finishing)
        return;
    m_finishing = true;
    *m_dropQueued = true;
    m_thread.quit();
    if (m_thread.wait(QDeadlineTimer(m_deadline + FinishMargin))) {
        // The answers that came back before the thread ended are still to be written down.
        QCoreApplication::sendPostedEvents(&m_home, QEvent::MetaCall);
    } else {
        // A call that ignores its deadline: leave it the client rather than pull it away.
        (void)m_gateway.release();
    }
    // An await whose job was dropped ends now, empty-handed.
    for (QEventLoop *loop : m_loops)
        loop->quit();
}

AwaitingGateway::AwaitingGateway(
    GatewayWorker &worker, std::optional<QString> address, QString restore)
    : m_worker(worker), m_address(std::move(address)), m_restore(std::move(restore))
{
}

std::function<GatewayResult(HttpSmsGateway &)> atAddress(
    QString address, QString restore, GatewayCall call)
{
    return [address, restore, call = std::move(call)](HttpSmsGateway &gateway) {
        gateway.setBaseAddress(address);
        const GatewayResult result = call(gateway);
        gateway.setBaseAddress(restore);
        return result;
    };
}

GatewayResult AwaitingGateway::call(std::function<GatewayResult(SmsGateway &)> job)
{
    std::function<GatewayResult(HttpSmsGateway &)> onWorker = job;
    if (m_address)
        onWorker = atAddress(*m_address, m_restore, std::move(job));
    return m_worker.await<GatewayResult>(std::move(onWorker))
        .value_or(GatewayResults::NetworkFailure);
}

GatewayResult AwaitingGateway::fill(
    BufferOperation operation, const QString &account, QString &buffer)
{
    auto filled = std::make_shared<QString>(buffer);
    const GatewayResult result = call([operation, account, filled](SmsGateway &gateway) {
        return (gateway.*operation)(account, *filled);
    });
    buffer = *filled;
    return result;
}

GatewayResult AwaitingGateway::GetBalance(const QString &account, QString &buffer)
{
    return fill(&SmsGateway::GetBalance, account, buffer);
}

GatewayResult AwaitingGateway::GetPrice(const QString &account, QString &buffer)
{
    return fill(&SmsGateway::GetPrice, account, buffer);
}

GatewayResult AwaitingGateway::SendSMS(const QString &account, const QString &numbers,
    const QString &text, const QString &priority, const SendUnit &unit)
{
    return call([=](SmsGateway &gateway) {
        return gateway.SendSMS(account, numbers, text, priority, unit);
    });
}

GatewayResult AwaitingGateway::SendScheSMS(const QString &account, const QString &numbers,
    const QString &text, const QString &sendTime, const QString &priority, const SendUnit &unit)
{
    return call([=](SmsGateway &gateway) {
        return gateway.SendScheSMS(account, numbers, text, sendTime, priority, unit);
    });
}

GatewayResult AwaitingGateway::Register(
    const QString &account, const QString &registrationKey, const QString &password)
{
    return call(
        [=](SmsGateway &gateway) { return gateway.Register(account, registrationKey, password); });
}

GatewayResult AwaitingGateway::UnRegister(const QString &account)
{
    return call([=](SmsGateway &gateway) { return gateway.UnRegister(account); });
}

GatewayResult AwaitingGateway::SetProxy(
    const QString &address, const QString &port, const QString &user, const QString &password)
{
    return call(
        [=](SmsGateway &gateway) { return gateway.SetProxy(address, port, user, password); });
}

GatewayResult AwaitingGateway::QueryUnit(const QString &account, const QString &requestId)
{
    return call([=](SmsGateway &gateway) { return gateway.QueryUnit(account, requestId); });
}

} // namespace natalis::sms
