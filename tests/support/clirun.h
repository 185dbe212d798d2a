#pragma once

// Runs natalis-cli as a user would and collects what it printed.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace natalis::test {

struct CliResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

// outputFile, when given, receives standard output instead of CliResult::out.
inline CliResult runCli(const QString &program, const QStringList &arguments,
    const QStringList &environment = {}, const QString &outputFile = {})
{
    QProcess process;
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    if (!environment.isEmpty()) {
        QStringList merged = QProcess::systemEnvironment();
        merged += environment;
        process.setEnvironment(merged);
    }
    process.start(program, arguments);
    process.waitForFinished(120000);
    CliResult result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace natalis::test
