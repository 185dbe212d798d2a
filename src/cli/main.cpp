#include "clicommand.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <algorithm>
#include <sys/stat.h>

using namespace natalis::cli;

namespace {

QList<Command> allCommands()
{
    return calendarCommands() + birthdayCommands() + datesCommands() + transferCommands()
        + smsCommands() + phoneCommands() + syncCommands() + remindCommands();
}

void printUsage(const QList<Command> &commands)
{
    QString text = Help::tr("Usage: natalis-cli COMMAND [ARGUMENTS]") + QStringLiteral("\n\n")
        + Help::tr("Commands:") + u'\n';
    // Names are ASCII, so their length is their width on a terminal.
    qsizetype width = 0;
    for (const Command &command : commands)
        width = std::max(width, command.name.size());
    for (const Command &command : commands)
        text += QStringLiteral("  %1  %2\n").arg(command.name, -int(width)).arg(command.summary);
    text += u'\n' + Help::tr("'natalis-cli COMMAND --help' describes a command.") + u'\n';
    printText(text);
}

int runCommandLine(QStringList arguments)
{
    const QList<Command> commands = allCommands();
    if (arguments.isEmpty()) {
        printUsage(commands);
        return BadInput;
    }
    const QString name = arguments.takeFirst();
    if (name == u"--help" || name == u"-h" || name == u"help") {
        printUsage(commands);
        return Success;
    }
    if (name == u"--version") {
        printLine(QCoreApplication::applicationVersion());
        return Success;
    }
    for (const Command &command : commands) {
        if (command.name == name)
            return command.run(arguments);
    }
    return fail(QStringLiteral("unknown command '%1' (see natalis-cli --help)").arg(name));
}

} // namespace

int main(int argc, char *argv[])
{
    // The birthday list and its backups are the user's own: no one else may read them.
    ::umask(077);
    QCoreApplication application(argc, argv);
    // The companion shares the program's name so that both find the same per-user data folder.
    QCoreApplication::setApplicationName(QStringLiteral("natalis"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NATALIS_VERSION));
    // The help speaks the user's language where it has a translation, English otherwise. Qt's
    // own lines of it ("Options:", the --help option) follow from Qt's catalogue, only where ours
    // is translated, so that no help is half one language and half another.
    QTranslator translator;
    if (translator.load(QLocale(), QStringLiteral("natalis-cli"), QStringLiteral("_"),
            QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(&translator);
    QTranslator qtTranslator;
    if (!translator.isEmpty()
        && qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);
    return finishOutput(runCommandLine(QCoreApplication::arguments().mid(1)));
}
