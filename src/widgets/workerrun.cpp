#include "widgets/workerrun.h"

#include "widgets/dialogparts.h"

#include <QDialog>
#include <QEventLoop>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

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

void runOnWorker(QProgressBar *bar, QPushButton *cancel, const WorkerJob &job)
{
    WorkerProgress progress;
    std::unique_ptr<QThread> thread(QThread::create([&job, &progress] { job(progress); }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer poll;
    poll.setInterval(PollMs);
    bar->setRange(0, 1000);
    bar->setValue(0);
    QObject::connect(
        &poll, &QTimer::timeout, bar, [bar, &progress] { bar->setValue(progress.permille()); });
    const QMetaObject::Connection cancelling =
        QObject::connect(cancel, &QPushButton::clicked, bar, [&progress] { progress.cancel(); });
    poll.start();
    thread->start();
    // The finished signal may already have gone out before the loop listens.
    if (!thread->isFinished())
        loop.exec();
    thread->wait();
    QObject::disconnect(cancelling);
    bar->setValue(1000);
}

void runOnWorker(QWidget *owner, const QString &title, const WorkerJob &job)
{
    QDialog window(owner);
    window.setObjectName(QStringLiteral("frmReading"));
    window.setWindowTitle(title);
    window.setWindowModality(Qt::WindowModal);
    auto *bar = new QProgressBar(&window);
    bar->setObjectName(QStringLiteral("prgRead"));
    bar->setMinimumWidth(360);
    auto *buttons = new QDialogButtonBox(&window);
    QPushButton *cancel = actButton(buttons, QStringLiteral("cmdCancel"), WindowAct::Reject);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(bar);
    layout->addWidget(buttons);
    // Closing the window asks the job to stop as the button does.
    QObject::connect(&window, &QDialog::rejected, cancel, &QPushButton::click);
    window.show();
    runOnWorker(bar, cancel, job);
}

} // namespace natalis::widgets
