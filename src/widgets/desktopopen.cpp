#include "widgets/desktopopen.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace natalis::widgets {

namespace {

// xdg-open waits for a browser it started itself: a failure reported after this long came from
// a program the user had in front of them, not from a missing one.
constexpr qint64 OpenerReportMilliseconds = 60'000;

} // namespace

void openWithDesktop(const QString &path, QObject *owner, std::function<void()> failed)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            failed();
        return;
    }
    auto *process = new QProcess(owner);
    process->setProgram(opener);
    process->setArguments({ path });
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer running;
    running.start();
    QObject::connect(process, &QProcess::finished, owner,
        [process, running, failed](int code, QProcess::ExitStatus status) {
            process->deleteLater();
            if ((code != 0 || status != QProcess::NormalExit)
                && running.elapsed() < OpenerReportMilliseconds)
                failed();
        });
    QObject::connect(
        process, &QProcess::errorOccurred, owner, [process, failed](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            process->deleteLater();
            failed();
        });
    process->start();
}

} // namespace natalis::widgets
