#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

class QProgressBar;
class QPushButton;
class QThread;
class QTimer;

namespace natalis::widgets {

// What a worker tells the window thread and hears back from it, without locks.
class WorkerProgress
{
public:
    // Records the work done of the total; false once the user asked to stop.
    bool report(qint64 done, qint64 total)
    {
        m_done = done;
        m_total = total;
        return !m_cancelled;
    }
    void cancel() { m_cancelled = true; }
    bool isCancelled() const { return m_cancelled; }
    // Done in thousandths of the total.
    int permille() const;

private:
    std::atomic<qint64> m_done { 0 };
    std::atomic<qint64> m_total { 0 };
    std::atomic<bool> m_cancelled { false };
};

using WorkerJob = std::function<void(WorkerProgress &progress)>;

// One job on a thread of its own while the window thread goes on. It belongs to the owner given
// to startOnWorker: done is called on the window thread once the job has returned, while the
// owner still lives, and the run then deletes itself. When the owner goes first, the run asks
// the job to stop, waits for its thread and never calls done, so that nothing reaches a widget
// that is gone. The jobs look at WorkerProgress often, which keeps that wait short.
class WorkerRun : public QObject
{
public:
    WorkerRun(QObject *owner, WorkerJob job, std::function<void()> done);
    ~WorkerRun() override;

    // Shows the work done on bar and stops the job when stop is clicked; either may be null.
    void follow(QProgressBar *bar, QPushButton *stop);
    // Asks the job to stop; done still comes, after the job has seen it.
    void stop();

private:
    void finish();

    std::shared_ptr<WorkerProgress> m_progress;
    std::unique_ptr<QThread> m_thread;
    QTimer *m_poll = nullptr;
    QPointer<QProgressBar> m_bar;
    QMetaObject::Connection m_stopping;
    std::function<void()> m_done;
};

// Starts job (WorkerProgress & → a result) on a worker and returns at once; done(result) follows
// on the window thread as WorkerRun says. job must not touch widgets and takes what it needs by
// value: the caller's stack is gone by the time it runs.
template<typename Job, typename Done>
WorkerRun *startOnWorker(QObject *owner, QProgressBar *bar, QPushButton *stop, Job job, Done done)
{
    using Result = std::invoke_result_t<Job &, WorkerProgress &>;
    auto result = std::make_shared<std::optional<Result>>();
    auto *run = new WorkerRun(
        owner,
        [job = std::move(job), result](
            WorkerProgress &progress) mutable { result->emplace(job(progress)); },
        [done = std::move(done), result]() mutable { done(std::move(**result)); });
    run->follow(bar, stop);
    return run;
}

// A small window of its own, titled title, with a bar and a stop button, for work that no window
// of the program shows; modal to parent, without an event loop of its own. Closing it stops the
// job as the button does. Sets bar and stop.
QWidget *progressWindow(
    QWidget *parent, const QString &title, QProgressBar *&bar, QPushButton *&stop);

// startOnWorker in such a window, shown at once and gone once the job is done. The window is a
// child of parent, so that parent's end stops the job without a call of done.
template<typename Job, typename Done>
WorkerRun *startInWindow(QWidget *parent, const QString &title, Job job, Done done)
{
    QProgressBar *bar = nullptr;
    QPushButton *stop = nullptr;
    QWidget *window = progressWindow(parent, title, bar, stop);
    return startOnWorker(
        window, bar, stop, std::move(job), [window, done = std::move(done)](auto result) mutable {
            window->deleteLater();
            done(std::move(result));
        });
}

// Runs job in such a window and returns once it is done, in an event loop of its own. Only for
// the start, before the program's event loop runs: there is no window yet that could wait.
void runOnWorker(QWidget *owner, const QString &title, const WorkerJob &job);

} // namespace natalis::widgets
