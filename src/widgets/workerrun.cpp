#include "widgets/workerrun.h"

#include "widgets/dialogparts.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace natalis::widgets {

namespace {

// How often the bar is brought up to date, in milliseconds.
constexpr int PollMs = 100;

} // namespace

int WorkerProgress::permille() const
{
    const qint64 total = m_total;
    const qint64 done = m_done;
    return total <= 0 ? 0 : int(qBound(qint64(0), done * 1000 / total, qint64(1000)));
}

WorkerRun::WorkerRun(QObject *owner, WorkerJob job, std::function<void()> done)
    : QObject(owner), m_progress(std::make_shared<WorkerProgress>()), m_poll(new QTimer(this)),
      m_done(std::move(done))
{
    // The thread holds the progress and the job itself: nothing of the caller's stack.
    m_thread.reset(
        QThread::create([progress = m_progress, job = std::move(job)] { job(*progress); }));
    // Queued: the thread says it is finished from its own side, done must come on ours.
    connect(m_thread.get(), &QThread::finished, this, &WorkerRun::finish, Qt::QueuedConnection);
    m_poll->setInterval(PollMs);
    connect(m_poll, &QTimer::timeout, this, [this] {
        if (m_bar)
            m_bar->setValue(m_progress->permille());
    });
    m_poll->start();
    m_thread->start();
}

WorkerRun::~WorkerRun()
{
    m_progress->cancel();
    m_thread->wait();
}

void WorkerRun::follow(QProgressBar *bar, QPushButton *stop)
{
    m_bar = bar;
    if (bar) {
        bar->setRange(0, 1000);
        bar->setValue(0);
    }
    if (stop)
        m_stopping = connect(stop, &QPushButton::clicked, this, &WorkerRun::stop);
}

void WorkerRun::stop()
{
    m_progress->cancel();
}

void WorkerRun::finish()
{
    // Finished has gone out, so this returns at once; it also makes the job's writes ours to read.
    m_thread->wait();
    m_poll->stop();
    disconnect(m_stopping);
    if (m_bar)
        m_bar->setValue(1000);
    // done may end the owner: by then this run no longer belongs to it.
    setParent(nullptr);
    deleteLater();
    const std::function<void()> done = std::move(m_done);
    done();
}

QWidget *progressWindow(
    QWidget *parent, const QString &title, QProgressBar *&bar, QPushButton *&stop)
{
    auto *window = new QDialog(parent);
    window->setObjectName(QStringLiteral("frmReading"));
    window->setWindowTitle(title);
    // The window it serves takes no clicks meanwhile: no second run on top of this one.
    window->setWindowModality(Qt::WindowModal);
    bar = new QProgressBar(window);
    bar->setObjectName(QStringLiteral("prgRead"));
    bar->setMinimumWidth(360);
    auto *buttons = new QDialogButtonBox(window);
    stop = actButton(buttons, QStringLiteral("cmdCancel"), WindowAct::Reject);
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(bar);
    layout->addWidget(buttons);
    // Closing the window asks the job to stop as the button does.
    QObject::connect(window, &QDialog::rejected, stop, &QPushButton::click);
    window->show();
    return window;
}

void runOnWorker(QWidget *owner, const QString &title, const WorkerJob &job)
{
    QEventLoop loop;
    bool finished = false;
    startInWindow(
        owner, title,
        [job](WorkerProgress &progress) {
            job(progress);
            return true;
        },
        [&](bool) {
            finished = true;
            loop.quit();
        });
    if (!finished)
        loop.exec();
    // The run and its window went by deleteLater; no loop may come to delete them when the start
    // ends the program.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace natalis::widgets
