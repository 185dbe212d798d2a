#pragma once

#include "sms/httpsmsgateway.h"

#include <QObject>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

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
    // Told (on the window thread) whenever isBusy() changes.
    std::function<void(bool busy)> busyChanged;

    // No new jobs; the one under way may finish (it is bound by the deadline), the queued ones
    // are dropped, and the results that came back are delivered before this returns.
    void finish();
    bool isFinishing() const { return m_finishing; }

    std::chrono::milliseconds deadline() const { return m_deadline; }

private:
    void setPending(int pending);

    std::unique_ptr<HttpSmsGateway> m_gateway;
    std::chrono::milliseconds m_deadline;
    QThread m_thread;
    QObject *m_inThread = nullptr; // lives on m_thread; the jobs' context
    QObject m_home; // lives on the thread that made the worker; where results come back
    std::shared_ptr<std::atomic<bool>> m_dropQueued;
    int m_pending = 0;
    bool m_finishing = false;
};

// call made with the client pointed at `address` (a base address as the settings dialog tries it
// before it is saved), the client pointed back at `restore` afterwards.
std::function<GatewayResult(HttpSmsGateway &)> atAddress(
    QString address, QString restore, GatewayCall call);

} // namespace natalis::sms
