#pragma once

#include <QString>
#include <atomic>
#include <functional>

class QProgressBar;
class QPushButton;
class QWidget;

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

// Runs job on a worker thread and returns once it is done. Meanwhile the window thread keeps
// answering, bar follows the reported progress and cancel asks the job to stop. job must not
// touch widgets.
void runOnWorker(QProgressBar *bar, QPushButton *cancel, const WorkerJob &job);

// The same with a small window of its own, titled title, for work before any window shows it.
void runOnWorker(QWidget *owner, const QString &title, const WorkerJob &job);

} // namespace natalis::widgets
