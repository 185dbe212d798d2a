#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace natalis::cli {

// Exit codes every command keeps, so that scripts can tell refusals from bad input.
enum ExitCode {
    Success = 0,
    Refused = 1, // a check said no, or the database could not do what was asked
    BadInput = 2, // malformed arguments, or input the program's own checks refuse
};

// The texts --help prints, in the user's language where there is a translation.
class Help
{
    Q_DECLARE_TR_FUNCTIONS(Help)
};

struct Command
{
    QString name;
    QString summary;
    // Receives the arguments after the command name; returns the process exit code.
    std::function<int(const QStringList &arguments)> run;
};

QList<Command> calendarCommands();
QList<Command> birthdayCommands();
QList<Command> datesCommands();
QList<Command> transferCommands();
QList<Command> smsCommands();
QList<Command> phoneCommands();
QList<Command> syncCommands();
QList<Command> remindCommands();

// Parses a command's arguments; prints help and returns Success for --help, prints the error
// and returns BadInput for anything the parser refuses, returns nullopt to go on.
std::optional<int> parseCommandLine(
    QCommandLineParser &parser, const QString &command, const QStringList &arguments);

// Output helpers: UTF-8 on stdout, one-line errors on stderr.
void printText(const QString &text);
void printLine(const QString &line);
int fail(const QString &message, int code = BadInput);

// Flushes stdout and returns the exit code the process ends with: code, or Refused instead of
// Success when any output was lost (a full disk, a closed pipe), said so on stderr.
int finishOutput(int code);

} // namespace natalis::cli
