#include "sms/gatewayworker.h"

#include <QCoreApplication>

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

} // namespace natalis::sms
