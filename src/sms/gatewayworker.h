#pragma once

#include "sms/httpsmsgateway.h"

#include <QObject>
#include <QPointer>
#include <QThread>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QEventLoop;

namespace natalis::sms {

// The process's one gateway client and the one thread that talks to it. Jobs run there one at a
// time, in the order they were given; each result comes back to the thread that gave the job
// through a queued call (the same event a queued signal posts), so the window thread never
// waits on the network and the database is only touched there.
class GatewayWorker
{
public:
    // deadline: what one gateway call may take at most; finish() waits about that long.
    GatewayWorker(std::unique_ptr<HttpSmsGateway> gateway, std::chrono::milliseconds deadline);
    ~GatewayWorker();
    GatewayWorker(const GatewayWorker &) = delete;
    GatewayWorker &operator=(const GatewayWorker &) = delete;

    using Job = std::function<void(HttpSmsGateway &gateway)>;

    // Runs job on the gateway thread after the jobs before it, then done on the worker's own
    // (the window) thread, unless receiver is gone by then. False, and nothing runs, once
    // finish() was called.
    bool run(QObject *receiver, Job job, std::function<void()> done);

    // job's result, waiting for it with the calling thread's events flowing (windows paint,
    // timers fire). nullopt once finish() was called.
    template<typename R>
    std::optional<R> await(std::function<R(HttpSmsGateway &)> job)
    {
        auto result = std::make_shared<std::optional<R>>();
        waitFor(
            [result, job = std::move(job)](HttpSmsGateway &gateway) { *result = job(gateway); });
        return std::move(*result);
    }

    // job on the gateway thread, then done(its result) on the worker's own thread, as run() does.
    template<typename R>
    bool ask(QObject *receiver, std::function<R(HttpSmsGateway &)> job, std::function<void(R)> done)
    {
        auto result = std::make_shared<R>();
        return run(
            receiver,
            [result, job = std::move(job)](HttpSmsGateway &gateway) { *result = job(gateway); },
            [result, done = std::move(done)] { done(std::move(*result)); });
    }

    // Jobs given and not yet delivered.
    bool isBusy() const { return m_pending > 0; }
    // Awaits under way on the calling thread.
    int awaiting() const { return int(m_loops.size()); }
    // Told (on the window thread) whenever isBusy() changes.
    std::function<void(bool busy)> busyChanged;

    // No new jobs; the one under way may finish (it is bound by the deadline), the queued ones
    // are dropped, and the results that came back are delivered before this returns.
    void finish();
    bool isFinishing() const { return m_finishing; }

    std::chrono::milliseconds deadline() const { return m_deadline; }

private:
    void waitFor(Job job);
    void setPending(int pending);

    std::unique_ptr<HttpSmsGateway> m_gateway;
    std::chrono::milliseconds m_deadline;
    QThread m_thread;
    QObject *m_inThread = nullptr; // lives on m_thread; the jobs' context
    QObject m_home; // lives on the thread that made the worker; where results come back
    std::shared_ptr<std::atomic<bool>> m_dropQueued;
    int m_pending = 0;
    std::vector<QEventLoop *> m_loops; // the awaits under way, innermost last
    bool m_finishing = false;
};

// call made with the client pointed at `address` (a base address as the settings dialog tries it
// before it is saved), the client pointed back at `restore` afterwards.
std::function<GatewayResult(HttpSmsGateway &)> atAddress(
    QString address, QString restore, GatewayCall call);

// An SmsGateway whose every call runs on the worker's thread while the caller waits with its
// events flowing. For the windows' actions that read as one sequence (register, proxy, balance,
// a group send): their database work stays on the window thread between the calls. After
// finish() every call answers 101 without a request.
class AwaitingGateway : public SmsGateway
{
public:
    // address: when set, the calls go to this base address (the settings dialog tries an address
    // before it is saved); the process client returns to `restore` afterwards.
    explicit AwaitingGateway(
        GatewayWorker &worker, std::optional<QString> address = std::nullopt, QString restore = {});

    GatewayResult GetBalance(const QString &account, QString &buffer) override;
    GatewayResult GetPrice(const QString &account, QString &buffer) override;
    GatewayResult SendSMS(const QString &account, const QString &numbers, const QString &text,
        const QString &priority, const SendUnit &unit) override;
    GatewayResult SendScheSMS(const QString &account, const QString &numbers, const QString &text,
        const QString &sendTime, const QString &priority, const SendUnit &unit) override;
    GatewayResult Register(
        const QString &account, const QString &registrationKey, const QString &password) override;
    GatewayResult UnRegister(const QString &account) override;
    GatewayResult SetProxy(const QString &address, const QString &port, const QString &user,
        const QString &password) override;
    GatewayResult QueryUnit(const QString &account, const QString &requestId) override;

private:
    using BufferOperation = GatewayResult (SmsGateway::*)(const QString &, QString &);

    GatewayResult call(std::function<GatewayResult(SmsGateway &)> job);
    // GetBalance or GetPrice: the buffer travels to the worker and back.
    GatewayResult fill(BufferOperation operation, const QString &account, QString &buffer);

    GatewayWorker &m_worker;
    std::optional<QString> m_address;
    QString m_restore;
};

} // namespace natalis::sms
